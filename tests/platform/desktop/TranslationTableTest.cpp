#include "platform/desktop/TranslationTable.h"

#include "support/QStringPrinter.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QByteArray table(const QByteArray& contexts)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n<TS version=\"2.1\" language=\"en\">\n" + contexts
        + "</TS>\n";
}

TEST(TranslationTable, TranslatesFinishedMessagesOfTheirOwnContextOnly)
{
    TranslationTable translator;
    QString error;
    ASSERT_TRUE(translator.loadData(table(R"(
<context><name>Menu</name>
  <message><source>Launch &quot;it&quot;
now</source><translation>Open it</translation></message>
  <message><source>Draft</source><translation type="unfinished">Not yet</translation></message>
  <message><source>Gone</source><translation type="vanished">Old</translation></message>
  <message><source>Empty</source><translation></translation></message>
</context>
<context><name>Window</name>
  <message><source>Draft</source><translation>Window draft</translation></message>
</context>)"),
        &error))
        << qPrintable(error);
    EXPECT_EQ(translator.count(), 2);
    EXPECT_EQ(translator.translate("Menu", "Launch \"it\"\nnow"), "Open it");
    EXPECT_EQ(translator.translate("Window", "Draft"), "Window draft");
    // Unfinished, retired and empty translations leave the source text as it is.
    for (const char* source : {"Draft", "Gone", "Empty"})
        EXPECT_TRUE(translator.translate("Menu", source).isNull()) << source;
    EXPECT_TRUE(translator.translate("Other", "Launch \"it\"\nnow").isNull());
    EXPECT_TRUE(translator.translate(nullptr, "Draft").isNull());
}

TEST(TranslationTable, ABrokenTableIsReportedAndTheLoadedOneKept)
{
    TranslationTable translator;
    ASSERT_TRUE(translator.loadData(
        table("<context><name>A</name><message><source>x</source><translation>y</translation></message></context>")));
    QString error;
    EXPECT_FALSE(translator.loadData(table("<context><name>A</name><message><source>x</source>"), &error));
    EXPECT_TRUE(error.startsWith("line ")) << qPrintable(error);
    EXPECT_FALSE(translator.loadData("<plist><dict/></plist>", &error));
    EXPECT_EQ(error, "not a translation table");
    EXPECT_FALSE(translator.loadFile("/nonexistent/table.ts", &error));
    EXPECT_TRUE(error.startsWith("/nonexistent/table.ts: ")) << qPrintable(error);
    EXPECT_EQ(translator.translate("A", "x"), "y");
}

// Every text the code shows through tr(), with the shipped table installed
// as the application installs it, is free of the names of another
// platform's features. A source text the table no longer matches shows up
// here too, because its old wording comes back.
TEST(TranslationTable, NoShownTextNamesAnotherPlatformsFeatures)
{
    const QRegularExpression otherPlatform(
        QStringLiteral(R"(macOS|Mac OS|\bDock\b|System Preferences|Activity Monitor|Finder|\bApps?\b(?!:)|Users & Groups)"));
    const QRegularExpression shown(QStringLiteral(R"re(\btr\("((?:[^"\\]|\\.)*)"\))re"));
    int texts = 0;
    QDirIterator sources(QStringLiteral(VISTREL_SOURCE_DIR "/src"), {QStringLiteral("*.cpp")}, QDir::Files,
        QDirIterator::Subdirectories);
    while (sources.hasNext()) {
        QFile file(sources.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(file.fileName());
        // The translation context of a tr() is its class, named like its file.
        const QByteArray context = QFileInfo(file.fileName()).completeBaseName().toUtf8();
        const QString code = QString::fromUtf8(file.readAll());
        for (const QRegularExpressionMatch& match : shown.globalMatch(code)) {
            const QString source = match.captured(1)
                                       .replace(QLatin1String("\\n"), QLatin1String("\n"))
                                       .replace(QLatin1String("\\\""), QLatin1String("\""))
                                       .replace(QLatin1String("\\\\"), QLatin1String("\\"));
            const QString text = QCoreApplication::translate(context.constData(), source.toUtf8().constData());
            EXPECT_FALSE(otherPlatform.match(text).hasMatch()) << qPrintable(file.fileName()) << ": " << qPrintable(text);
            ++texts;
        }
    }
    EXPECT_GT(texts, 50);
}

} // namespace
