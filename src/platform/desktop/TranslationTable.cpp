#include "platform/desktop/TranslationTable.h"

#include <QCoreApplication>
#include <QFile>
#include <QXmlStreamReader>

namespace {

QString messageKey(QStringView context, QStringView source)
{
    return context.toString() + QChar(0) + source.toString();
}

} // namespace

bool TranslationTable::loadFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    if (loadData(file.readAll(), error))
        return true;
    if (error)
        *error = QStringLiteral("%1: %2").arg(path, *error);
    return false;
}

bool TranslationTable::loadData(const QByteArray& data, QString* error)
{
    QHash<QString, QString> messages;
    QXmlStreamReader xml(data);
    QString context;
    QString source;
    QString translation;
    bool finished = true;
    bool sawRoot = false;
    while (!xml.atEnd()) {
        if (!xml.readNext() || !xml.isStartElement()) {
            if (xml.isEndElement() && xml.name() == QLatin1String("message") && finished && !translation.isEmpty())
                messages.insert(messageKey(context, source), translation);
            continue;
        }
        const QStringView name = xml.name();
        if (name == QLatin1String("TS")) {
            sawRoot = true;
        } else if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            finished = true;
            source.clear();
            translation.clear();
        } else if (name == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            const QStringView type = xml.attributes().value(QLatin1String("type"));
            finished = type.isEmpty();
            translation = xml.readElementText();
        }
    }
    if (xml.hasError() || !sawRoot) {
        if (error) {
            *error = xml.hasError() ? QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString())
                                    : QStringLiteral("not a translation table");
        }
        return false;
    }
    m_messages = std::move(messages);
    return true;
}

QString TranslationTable::translate(const char* context, const char* sourceText, const char*, int) const
{
    if (!context || !sourceText)
        return {};
    return m_messages.value(messageKey(QString::fromUtf8(context), QString::fromUtf8(sourceText)));
}

bool TranslationTable::installLinuxWording(QString* error)
{
    auto* table = new TranslationTable;
    if (!table->loadFile(QStringLiteral(":/LinuxWording.ts"), error)) {
        delete table;
        return false;
    }
    table->setParent(QCoreApplication::instance());
    return QCoreApplication::installTranslator(table);
}
