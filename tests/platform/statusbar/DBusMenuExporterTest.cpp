#include "platform/statusbar/DBusMenuExporter.h"
#include "platform/statusbar/PrivateSessionBus.h"

#include <QMenu>

#include <gtest/gtest.h>

namespace {

// Counts a signal's emissions and keeps the arguments of the last one.
template <typename Sender, typename... Args>
struct Recorder {
    Recorder(Sender* sender, void (Sender::*signal)(Args...))
    {
        QObject::connect(sender, signal, &context, [this](Args... arguments) {
            ++count;
            last = std::make_tuple(std::decay_t<Args>(arguments)...);
        });
    }
    QObject context;
    int count = 0;
    std::tuple<std::decay_t<Args>...> last;
};

class DBusMenuExporterTest : public ::testing::Test {
protected:
    QList<int> rowIds()
    {
        DBusMenuLayoutItem layout;
        EXPECT_TRUE(exporter.layout(0, -1, {}, layout));
        QList<int> ids;
        for (const DBusMenuLayoutItem& row : layout.children)
            ids.append(row.id);
        return ids;
    }

    QMenu menu;
    QAction* first = menu.addAction(QStringLiteral("First"));
    QAction* separator = menu.addSeparator();
    QAction* last = menu.addAction(QStringLiteral("Last"));
    DBusMenuExporter exporter{&menu};
};

TEST_F(DBusMenuExporterTest, RowsKeepTheirIdsAndChangesAreAnnouncedByKind)
{
    Recorder layouts(&exporter, &DBusMenuExporter::layoutUpdated);
    Recorder properties(&exporter, &DBusMenuExporter::itemsPropertiesUpdated);
    const QList<int> before = rowIds();
    ASSERT_EQ(before.size(), 3);

    // A changed text goes out as that one row's new label, nothing else.
    last->setText(QStringLiteral("Later"));
    ASSERT_TRUE(processEventsUntil([&] { return properties.count == 1; }));
    const auto updated = std::get<0>(properties.last);
    ASSERT_EQ(updated.size(), 1);
    EXPECT_EQ(updated.first().id, before[2]);
    EXPECT_EQ(updated.first().properties, (QVariantMap{{QStringLiteral("label"), QStringLiteral("Later")}}));
    // A property that goes away is named as removed.
    last->setEnabled(false);
    exporter.refresh();
    last->setEnabled(true);
    exporter.refresh();
    const auto removed = std::get<1>(properties.last);
    ASSERT_EQ(removed.size(), 1);
    EXPECT_EQ(removed.first().names, QStringList{QStringLiteral("enabled")});
    EXPECT_EQ(layouts.count, 0);

    // A new row changes the layout; the old rows keep their ids.
    const uint revision = exporter.revision();
    menu.insertAction(last, new QAction(QStringLiteral("Middle"), &menu));
    ASSERT_TRUE(processEventsUntil([&] { return layouts.count == 1; }));
    EXPECT_GT(exporter.revision(), revision);
    const QList<int> after = rowIds();
    ASSERT_EQ(after.size(), 4);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[3], before[2]);
    EXPECT_FALSE(before.contains(after[2]));
    // Nothing changed: reading again announces nothing.
    EXPECT_FALSE(exporter.refresh());
}

TEST_F(DBusMenuExporterTest, OpeningIsPassedOnOnceAndAnUnconfirmedOpenEnds)
{
    Recorder shown(&menu, &QMenu::aboutToShow);
    Recorder hidden(&menu, &QMenu::aboutToHide);
    exporter.setUnconfirmedOpenLimit(50);

    // A host that only calls AboutToShow may never say "closed".
    exporter.aboutToShow(0);
    exporter.aboutToShow(0);
    EXPECT_EQ(shown.count, 1);
    EXPECT_TRUE(exporter.isOpen());
    ASSERT_TRUE(processEventsUntil([&] { return hidden.count == 1; }));
    EXPECT_FALSE(exporter.isOpen());

    // One that sends "opened" also sends "closed": its menu stays open until then.
    exporter.aboutToShow(0);
    exporter.handleEvent(0, QStringLiteral("opened"));
    EXPECT_EQ(shown.count, 2);
    EXPECT_FALSE(processEventsUntil([&] { return !exporter.isOpen(); }, 150));
    exporter.handleEvent(0, QStringLiteral("closed"));
    EXPECT_EQ(hidden.count, 2);
}

} // namespace
