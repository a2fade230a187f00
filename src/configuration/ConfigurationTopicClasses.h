#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class ConfigurationTopic;

// The topic classes a configuration description may name, looked up in one
// fixed table.
namespace ConfigurationTopicClasses {

// A new, started topic of that class; null when no topic class has the name.
std::unique_ptr<ConfigurationTopic> newTopicOfClassNamed(const QString& name);
// Every class name of the table.
QStringList classNames();

} // namespace ConfigurationTopicClasses
