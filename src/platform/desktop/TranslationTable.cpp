#include "platform/desktop/TranslationTable.h"

#include <QCoreApplication>
#include <QFile>
#include <QXmlStreamReader>

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
    std::vector<Context> contexts;
    QXmlStreamReader xml(data);
    QString context;
    QString source;
    QString translation;
    bool finished = true;
    bool sawRoot = false;
    while (!xml.atEnd()) {
        if (!xml.readNext() || !xml.isStartElement()) {
            if (xml.isEndElement() && xml.name() == QLatin1String("message") && finished && !translation.isEmpty())
                messagesOf(contexts, context.toUtf8()).insert(source.toUtf8(), translation);
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
    m_contexts = std::move(contexts);
    return true;
}

QString TranslationTable::translate(const char* context, const char* sourceText, const char*, int) const
{
    if (!context || !sourceText)
        return {};
    for (const Context& known : m_contexts) {
        if (qstrcmp(known.name, context) == 0)
            return known.messages.value(QByteArray::fromRawData(sourceText, qsizetype(qstrlen(sourceText))));
    }
    return {};
}

QHash<QByteArray, QString>& TranslationTable::messagesOf(std::vector<Context>& contexts, const QByteArray& name)
{
    for (Context& context : contexts) {
        if (context.name == name)
            return context.messages;
    }
    contexts.push_back({name, {}});
    return contexts.back().messages;
}

qsizetype TranslationTable::count() const
{
    qsizetype messages = 0;
    for (const Context& known : m_contexts)
        messages += known.messages.size();
    return messages;
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
