#include "configuration/TopicTree.h"

#include "items/MonitorItemClasses.h"
#include "platform/defaults/UserDefaults.h"
#include "settings/SettingNames.h"

#include <functional>

namespace {

void forEachLeaf(const ConfigurationTopic::List& topics, const std::function<void(ConfigurationTopic&)>& action)
{
    for (const auto& topic : topics) {
        if (topic->isLeafNode())
            action(*topic);
        else
            forEachLeaf(topic->children(), action);
    }
}

} // namespace

ConfigurationTopic* TopicTree::topicForClassName(const ConfigurationTopic::List& topics, const QString& className)
{
    const auto path = configurationIndexPathOfClassNamed(className, topics);
    return path ? topicAtIndexPath(topics, *path) : nullptr;
}

std::optional<ConfigurationTopic::IndexPath> TopicTree::configurationIndexPathOfClassNamed(const QString& className,
    const ConfigurationTopic::List& topics)
{
    for (size_t i = 0; i < topics.size(); ++i) {
        const ConfigurationTopic& topic = *topics[i];
        if (topic.className() == className)
            return ConfigurationTopic::IndexPath{int(i)};
        if (auto inner = configurationIndexPathOfClassNamed(className, topic.children())) {
            inner->prepend(int(i));
            return inner;
        }
    }
    return std::nullopt;
}

ConfigurationTopic* TopicTree::topicAtIndexPath(const ConfigurationTopic::List& topics, const ConfigurationTopic::IndexPath& path)
{
    const ConfigurationTopic::List* level = &topics;
    ConfigurationTopic* topic = nullptr;
    for (int index : path) {
        if (index < 0 || size_t(index) >= level->size())
            return nullptr;
        topic = (*level)[size_t(index)].get();
        level = &topic->children();
    }
    return topic;
}

void TopicTree::activateAllFeaturesOfAllTopicsInList(const ConfigurationTopic::List& topics)
{
    const UserDefaults& defaults = UserDefaults::standardUserDefaults();
    forEachLeaf(topics, [&](ConfigurationTopic& topic) {
        // A page whose item this version lacks keeps its cells for later
        // without claiming the item is shown. Settings written before the
        // first start (by hand, by a script) may already switch an item off;
        // that choice stands.
        const MonitorItemClass* itemClass = topic.monitorItemClass();
        const QString switchKey = topic.topicUserDefaultsKeyForKey(SettingName::IsActive);
        if (itemClass && !itemClass->isAvailable())
            topic.updateUserDefaultsForMenuBarConfiguration();
        else if (!defaults.hasKey(switchKey) || defaults.boolForKey(switchKey))
            topic.setIsFeatureActive(true);
        topic.setupInitialDefaultSetOfMonitoredItems();
    });
}

void TopicTree::completeLaunchSetupOfAllTopicsInList(const ConfigurationTopic::List& topics)
{
    forEachLeaf(topics, [](ConfigurationTopic& topic) { topic.completeLaunchSetup(); });
}

void TopicTree::refreshConfigurationCellsOfAllTopicsInList(const ConfigurationTopic::List& topics)
{
    forEachLeaf(topics, [](ConfigurationTopic& topic) { topic.refreshAllConfigurationViewCells(); });
}
