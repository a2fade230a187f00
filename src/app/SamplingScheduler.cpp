#include "app/SamplingScheduler.h"

#include "instruments/QRNSystemInstrument.h"
#include "items/QRNMonitorItem.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

SamplingScheduler::~SamplingScheduler()
{
    for (const auto& group : m_groups)
        group->timer->stop();
}

QRNMonitorItem& SamplingScheduler::add(std::unique_ptr<QRNMonitorItem> item, double interval)
{
    QRNMonitorItem& added = *item;
    if (SamplingGroup* group = groupWithInterval(interval)) {
        group->items.push_back(std::move(item));
        return added;
    }
    SamplingGroup& group = createGroup(interval);
    group.items.push_back(std::move(item));
    updateItems(group);
    return added;
}

std::unique_ptr<QRNMonitorItem> SamplingScheduler::remove(const QString& className, double interval)
{
    SamplingGroup* group = groupWithInterval(interval);
    if (!group)
        return nullptr;
    auto it = std::find_if(group->items.begin(), group->items.end(),
        [&](const auto& item) { return item->className() == className; });
    if (it == group->items.end())
        return nullptr;
    std::unique_ptr<QRNMonitorItem> item = std::move(*it);
    group->items.erase(it);
    // The instrument list is recomputed when an item next changes its instruments.
    if (group->items.empty())
        removeGroup(*group);
    return item;
}

SamplingGroup* SamplingScheduler::groupWithInterval(double interval) const
{
    for (const auto& group : m_groups) {
        if (group->interval == interval)
            return group.get();
    }
    return nullptr;
}

SamplingGroup& SamplingScheduler::createGroup(double interval)
{
    auto group = std::make_unique<SamplingGroup>();
    group->interval = interval;
    group->timer = new QTimer(this);
    // A coarse timer lets the system coalesce our wake-ups with others. A
    // whole number of seconds keeps to whole seconds, as Vistrel's other
    // periodic checks do, so that they share one wake-up with the tick.
    const bool wholeSeconds = interval >= 1 && interval == std::floor(interval);
    group->timer->setTimerType(wholeSeconds ? Qt::VeryCoarseTimer : Qt::CoarseTimer);
    group->timer->setInterval(int(interval * 1000));
    SamplingGroup* raw = group.get();
    connect(group->timer, &QTimer::timeout, this, [this, raw] { updateItems(*raw); });
    m_groups.push_back(std::move(group));
    raw->timer->start();
    return *raw;
}

void SamplingScheduler::removeGroup(SamplingGroup& group)
{
    group.timer->stop();
    group.timer->deleteLater();
    m_groups.erase(std::find_if(m_groups.begin(), m_groups.end(), [&](const auto& g) { return g.get() == &group; }));
}

void SamplingScheduler::updateItems(SamplingGroup& group)
{
    bool changed = false;
    for (const auto& item : group.items) {
        if (item->hasChangedInstruments()) {
            item->setHasChangedInstruments(false);
            changed = true;
        }
    }
    if (changed)
        refreshInstrumentation(group.instruments, group.items);
    for (const auto& instrument : group.instruments)
        instrument->collectNewSample();
    for (const auto& item : group.items)
        item->updateInterface();
}

void SamplingScheduler::refreshInstrumentation(std::vector<std::shared_ptr<QRNSystemInstrument>>& instruments,
    const std::vector<std::unique_ptr<QRNMonitorItem>>& items)
{
    std::unordered_set<const QRNSystemInstrument*> listed;
    for (const auto& item : items) {
        for (const auto& instrument : item->monitorInstruments())
            listed.insert(instrument.get());
    }
    std::unordered_set<const QRNSystemInstrument*> present;
    std::vector<std::shared_ptr<QRNSystemInstrument>> survivors;
    for (auto& instrument : instruments) {
        if (listed.count(instrument.get()) && present.insert(instrument.get()).second)
            survivors.push_back(std::move(instrument));
    }
    for (const auto& item : items) {
        for (const auto& instrument : item->monitorInstruments()) {
            if (present.insert(instrument.get()).second)
                survivors.push_back(instrument);
        }
    }
    instruments = std::move(survivors);
}

QRNMonitorItem* SamplingScheduler::activeMonitorItemWithClassName(const QString& className) const
{
    for (QRNMonitorItem* item : items()) {
        if (item->className() == className)
            return item;
    }
    return nullptr;
}

std::vector<QRNMonitorItem*> SamplingScheduler::items() const
{
    std::vector<QRNMonitorItem*> all;
    for (const auto& group : m_groups) {
        for (const auto& item : group->items)
            all.push_back(item.get());
    }
    return all;
}

QString SamplingScheduler::instrumentDescriptions() const
{
    QString report;
    for (const auto& group : m_groups) {
        for (const auto& instrument : group->instruments)
            report += instrument->description();
    }
    return report;
}
