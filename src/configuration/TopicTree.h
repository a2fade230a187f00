#pragma once

#include "configuration/ConfigurationTopic.h"

#include <optional>

// Walks over a list of topics and their groups, depth first.
namespace TopicTree {

// The first topic of that class anywhere in the list, or null.
ConfigurationTopic* topicForClassName(const ConfigurationTopic::List& topics, const QString& className);
// Where the first topic of that class lies; a group is searched only when
// its own class does not match. None when absent.
std::optional<ConfigurationTopic::IndexPath> configurationIndexPathOfClassNamed(const QString& className,
    const ConfigurationTopic::List& topics);
// The topic at a path, or null when the path leads nowhere.
ConfigurationTopic* topicAtIndexPath(const ConfigurationTopic::List& topics, const ConfigurationTopic::IndexPath& path);

// Every leaf: switched on with its initial set of monitored things; a leaf
// whose switch the settings already hold as off stays off.
void activateAllFeaturesOfAllTopicsInList(const ConfigurationTopic::List& topics);
void completeLaunchSetupOfAllTopicsInList(const ConfigurationTopic::List& topics);
void refreshConfigurationCellsOfAllTopicsInList(const ConfigurationTopic::List& topics);

} // namespace TopicTree
