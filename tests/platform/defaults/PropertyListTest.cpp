#include "platform/defaults/PropertyList.h"
#include "platform/log/LogCapture.h"

#include <QDateTime>
#include <QFile>
#include <QPoint>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray xmlDocument(const QByteArray& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n" + body + "\n</plist>\n";
}

QVariant everyType()
{
    return QVariantMap{
        {QStringLiteral("yes"), true}, {QStringLiteral("no"), false}, {QStringLiteral("count"), qint64(-42)},
        {QStringLiteral("large"), qint64(1) << 40}, {QStringLiteral("ratio"), 0.25},
        {QStringLiteral("text"), QStringLiteral("Grüße & <tags>")},
        {QStringLiteral("bytes"), QByteArray("a\0b\xff", 4)},
        {QStringLiteral("when"), QDateTime::fromString(QStringLiteral("2024-03-01T09:30:15Z"), Qt::ISODate)},
        {QStringLiteral("list"), QVariantList{1, QStringLiteral("two"), QVariantList{}}},
        {QStringLiteral("nested"), QVariantMap{{QStringLiteral("empty"), QVariantMap{}}}},
    };
}

} // namespace

TEST(PropertyList, ReadsEveryValueTypeFromXML)
{
    const std::optional<QVariant> value = PropertyList::fromData(xmlDocument(
        "<dict><key>b</key><true/><key>i</key><integer>-7</integer><key>r</key><real>2.5</real>"
        "<key>s</key><string>disk0s2</string><key>d</key><data>AAEC/w==</data>"
        "<key>t</key><date>2001-01-01T00:01:40Z</date><key>a</key><array><false/><integer>3</integer></array>"
        "<key>m</key><dict><key>k</key><string>v</string></dict></dict>"));
    ASSERT_TRUE(value);
    const QVariantMap map = value->toMap();
    const std::pair<const char*, int> types[] = {{"b", QMetaType::Bool}, {"i", QMetaType::LongLong}, {"r", QMetaType::Double}};
    for (const auto& [key, type] : types)
        EXPECT_EQ(map.value(QLatin1String(key)).typeId(), type) << key;
    EXPECT_TRUE(map.value("b").toBool());
    EXPECT_EQ(map.value("i").toLongLong(), -7);
    EXPECT_DOUBLE_EQ(map.value("r").toDouble(), 2.5);
    EXPECT_EQ(map.value("s"), QVariant(QStringLiteral("disk0s2")));
    EXPECT_EQ(map.value("d"), QVariant(QByteArray("\x00\x01\x02\xff", 4)));
    EXPECT_EQ(map.value("t").toDateTime(), QDateTime::fromSecsSinceEpoch(978307200 + 100, Qt::UTC));
    EXPECT_EQ(map.value("a").toList(), (QVariantList{false, qint64(3)}));
    EXPECT_EQ(map.value("m").toMap().value("k"), QVariant(QStringLiteral("v")));
}

TEST(PropertyList, EveryTypeSurvivesXMLAndBinaryRoundTrips)
{
    const QVariant original = everyType();
    const std::optional<QByteArray> xml = PropertyList::toXML(original);
    ASSERT_TRUE(xml);
    const std::optional<QVariant> fromXML = PropertyList::fromData(*xml);
    ASSERT_TRUE(fromXML);
    EXPECT_EQ(*fromXML, original);

    plist_t node = PropertyList::fromVariant(original);
    ASSERT_NE(node, nullptr);
    char* binary = nullptr;
    uint32_t length = 0;
    plist_to_bin(node, &binary, &length);
    plist_free(node);
    const std::optional<QVariant> fromBinary = PropertyList::fromData(QByteArray(binary, length));
    plist_to_bin_free(binary);
    ASSERT_TRUE(fromBinary);
    EXPECT_EQ(*fromBinary, original);
}

TEST(PropertyList, DatesKeepMillisecondsAndUnsignedValuesTheirBits)
{
    for (const char* text : {"2024-03-01T09:30:15.250Z", "1999-12-31T23:59:58.750Z", "1970-01-01T00:00:00.001Z"}) {
        const QDateTime date = QDateTime::fromString(QString::fromLatin1(text), Qt::ISODateWithMs);
        plist_t node = PropertyList::fromVariant(date);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(PropertyList::toVariant(node).toDateTime(), date) << text;
        plist_free(node);
    }
    // Unsigned values above the signed range keep their bits.
    const quint64 huge = 18446744073709551610ULL;
    plist_t node = PropertyList::fromVariant(QVariant::fromValue(huge));
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(PropertyList::toVariant(node).toULongLong(), huge);
    plist_free(node);
}

TEST(PropertyList, ValuesWithoutPropertyListFormAreRefused)
{
    EXPECT_EQ(PropertyList::fromVariant(QPoint(1, 2)), nullptr);
    EXPECT_EQ(PropertyList::fromVariant(QVariant()), nullptr);
    // One bad member spoils the whole container.
    EXPECT_FALSE(PropertyList::toXML(QVariantList{1, QPoint(1, 2)}));
    EXPECT_FALSE(PropertyList::toXML(QVariantMap{{QStringLiteral("p"), QPoint(1, 2)}}));
    EXPECT_FALSE(PropertyList::fromData(QByteArray()));
    EXPECT_FALSE(PropertyList::fromData("not a property list"));
}

TEST(PropertyList, FilesAreWrittenAndReadBackAndFailuresLogged)
{
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("domain.plist"));
    ASSERT_TRUE(PropertyList::writeFile(path, everyType()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("<?xml"));
    EXPECT_EQ(PropertyList::readFile(path), std::optional<QVariant>(everyType()));

    LogCapture capture;
    EXPECT_FALSE(PropertyList::readFile(directory.filePath(QStringLiteral("missing.plist"))));
    EXPECT_FALSE(PropertyList::writeFile(directory.filePath(QStringLiteral("point.plist")), QPoint(1, 2)));
    EXPECT_FALSE(PropertyList::writeFile(directory.filePath(QStringLiteral("no/such/folder.plist")), true));
    EXPECT_EQ(capture.messages(LogLevel::Error).size(), 3);
    EXPECT_FALSE(QFile::exists(directory.filePath(QStringLiteral("point.plist"))));
}

TEST(PropertyList, DescriptionUsesTheOldStyleTextForm)
{
    const QVariantMap statistics{
        {QStringLiteral("Bytes (Read)"), 4096},
        {QStringLiteral("Name"), QStringLiteral("disk0")},
        {QStringLiteral("List"), QVariantList{true, QByteArray("\x0a\x0b", 2)}},
    };
    EXPECT_EQ(PropertyList::description(statistics),
        QStringLiteral("{\n"
                       "    \"Bytes (Read)\" = 4096;\n"
                       "    List = (\n"
                       "        1,\n"
                       "        <0a0b>\n"
                       "    );\n"
                       "    Name = disk0;\n"
                       "}"));
    EXPECT_EQ(PropertyList::description(QStringLiteral("say \"hi\"")), QStringLiteral("\"say \\\"hi\\\"\""));
    EXPECT_EQ(PropertyList::description(QString()), QStringLiteral("\"\""));
}
