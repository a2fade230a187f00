#include "platform/notifications/NotificationCenter.h"

#include <gtest/gtest.h>

TEST(NotificationCenter, DeliversByNameInOrderAndSurvivesRemovalDuringDelivery)
{
    NotificationCenter center;
    QStringList seen;
    NotificationCenter::Token second = 0;
    center.addObserver(QStringLiteral("Added"), [&](const QString&, const QVariantMap& info) {
        seen << QStringLiteral("first:") + info.value(QStringLiteral("ID")).toString();
        center.removeObserver(second);
    });
    second = center.addObserver(QStringLiteral("Added"), [&](const QString&, const QVariantMap&) { seen << QStringLiteral("second"); });
    center.addObserver(QString(), [&](const QString& name, const QVariantMap&) { seen << QStringLiteral("any:") + name; });

    center.post(QStringLiteral("Added"), {{QStringLiteral("ID"), QStringLiteral("disk2")}});
    center.post(QStringLiteral("Removed"));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("first:disk2"), QStringLiteral("any:Added"), QStringLiteral("any:Removed")}));
}
