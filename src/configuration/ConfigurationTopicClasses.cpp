#include "configuration/ConfigurationTopicClasses.h"

#include "configuration/ActivityTopic.h"
#include "configuration/DiskTopic.h"
#include "configuration/FileSystemTopic.h"
#include "configuration/MemoryTopic.h"
#include "configuration/MenuBarLayoutTopic.h"
#include "configuration/NetworkTopic.h"
#include "configuration/PreferencesTopic.h"
#include "configuration/ProcessorTopic.h"
#include "configuration/SensorTopic.h"
#include "configuration/VistrelPlusTopic.h"

namespace {

struct TopicClass {
    QLatin1String name;
    std::unique_ptr<ConfigurationTopic> (*create)();
};

template <typename Topic>
TopicClass topicClass()
{
    return {QLatin1String(Topic::ClassName), [] { return std::unique_ptr<ConfigurationTopic>(std::make_unique<Topic>()); }};
}

const TopicClass Classes[] = {
    topicClass<ProcessorTopic>(),
    topicClass<MemoryTopic>(),
    topicClass<NetworkTopic>(),
    topicClass<DiskTopic>(),
    topicClass<FileSystemTopic>(),
    topicClass<SensorTopic>(),
    topicClass<ActivityTopic>(),
    topicClass<MenuBarLayoutTopic>(),
    topicClass<PreferencesTopic>(),
    topicClass<VistrelPlusTopic>(),
};

} // namespace

std::unique_ptr<ConfigurationTopic> ConfigurationTopicClasses::newTopicOfClassNamed(const QString& name)
{
    for (const TopicClass& topicClass : Classes) {
        if (topicClass.name == name) {
            std::unique_ptr<ConfigurationTopic> topic = topicClass.create();
            topic->init();
            return topic;
        }
    }
    return nullptr;
}

QStringList ConfigurationTopicClasses::classNames()
{
    QStringList names;
    for (const TopicClass& topicClass : Classes)
        names.append(topicClass.name);
    return names;
}
