#pragma once

#include <QObject>
#include <QTimer>

#include <memory>
#include <vector>

class QRNMonitorItem;
class QRNSystemInstrument;

// One repeating timer per refresh interval with the items it drives and the
// instruments it samples (each at most once).
struct SamplingGroup {
    double interval = 1.0;
    QTimer* timer = nullptr;
    std::vector<std::unique_ptr<QRNMonitorItem>> items;
    std::vector<std::shared_ptr<QRNSystemInstrument>> instruments;
};

// Owns the live monitor items, grouped by refresh interval, and drives their
// sampling and redrawing: on each tick of a group its instruments are sampled
// once, then every item of the group updates its interface.
class SamplingScheduler : public QObject {
    Q_OBJECT
public:
    using Groups = std::vector<std::unique_ptr<SamplingGroup>>;

    SamplingScheduler() = default;
    ~SamplingScheduler() override;

    // Appends the item to the group of its interval. A new group ticks once
    // at once, so the item shows values before this returns.
    QRNMonitorItem& add(std::unique_ptr<QRNMonitorItem> item, double interval);
    // Takes the first item of that class out of the group of the interval; a
    // group left empty stops. Null when there is none.
    std::unique_ptr<QRNMonitorItem> remove(const QString& className, double interval);

    // One tick: instruments of changed items are recomputed, every instrument
    // sampled, every item updated.
    void updateItems(SamplingGroup& group);
    // Every instrument any item of the group lists, once, survivors first.
    static void refreshInstrumentation(std::vector<std::shared_ptr<QRNSystemInstrument>>& instruments,
        const std::vector<std::unique_ptr<QRNMonitorItem>>& items);

    QRNMonitorItem* activeMonitorItemWithClassName(const QString& className) const;
    // Every live item, groups in creation order, items in activation order.
    std::vector<QRNMonitorItem*> items() const;
    const Groups& groups() const { return m_groups; }
    bool isEmpty() const { return m_groups.empty(); }
    // What the instruments report about themselves, for the diagnostic report.
    QString instrumentDescriptions() const;

private:
    SamplingGroup* groupWithInterval(double interval) const;
    SamplingGroup& createGroup(double interval);
    void removeGroup(SamplingGroup& group);

    Groups m_groups;
};
