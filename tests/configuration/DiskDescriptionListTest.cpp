#include "configuration/DiskDescriptionList.h"

#include <gtest/gtest.h>

namespace {

QStringList rows(const DiskDescriptionList& list)
{
    QStringList text;
    for (const auto& d : list.descriptions())
        text.append(d.diskIdentification + (d.isSelected ? QStringLiteral(" selected") : QString()) + (d.isOnline ? QString() : QStringLiteral(" offline")));
    return text;
}

} // namespace

TEST(DiskDescriptionList, StoredDisksFirstInTheirOrderThenTheOthersUnselected)
{
    DiskDescriptionList list;
    list.recreate({"B", "Gone", "A", "B"}, {"A", "C", "B", "D"});
    EXPECT_EQ(rows(list), (QStringList{"B selected", "Gone selected offline", "A selected", "C", "D"}));
    EXPECT_EQ(list.monitoredDisks(), (QStringList{"B", "Gone", "A"}));

    // Deselecting shrinks the stored list; indexes past the end do nothing.
    EXPECT_TRUE(list.setEnabled(false, 0));
    EXPECT_FALSE(list.setEnabled(true, 5));
    EXPECT_EQ(list.monitoredDisks(), (QStringList{"Gone", "A"}));

    // A missing disk returns to its place; a new one joins at the end; a departure keeps the row.
    list.updateOnlineStatus(true, "Gone");
    list.updateOnlineStatus(true, "E");
    list.updateOnlineStatus(false, "A");
    list.updateOnlineStatus(false, "Never");
    list.updateOnlineStatus(true, {});
    EXPECT_EQ(rows(list), (QStringList{"B", "Gone selected", "A selected offline", "C", "D", "E"}));

    // Dragging rows C and D to the top keeps their order and stores the new order.
    list.enableMonitoringOfAllDisks(true);
    list.reorder({"C", "D", "B", "Gone", "A", "E"});
    EXPECT_EQ(list.monitoredDisks(), (QStringList{"C", "D", "B", "Gone", "A", "E"}));
    list.reorder({"E", "Unknown"});
    EXPECT_EQ(list.monitoredDisks(), (QStringList{"E", "C", "D", "B", "Gone", "A"}));
}
