#pragma once

#include <QHash>
#include <QTranslator>

#include <vector>

// A translator that reads a Qt Linguist source file (.ts) directly, so the
// English table that gives Linux wording for texts naming another platform's
// features needs no compile step. Only finished messages count.
class TranslationTable : public QTranslator {
    Q_OBJECT
public:
    // Reads the table; false, with a reason, on a file that cannot be read
    // or is not a well-formed table. The table keeps what it had on failure.
    bool loadFile(const QString& path, QString* error = nullptr);
    bool loadData(const QByteArray& data, QString* error = nullptr);

    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
        int n = -1) const override;
    bool isEmpty() const override { return m_contexts.empty(); }
    qsizetype count() const;

    // The table that ships with Vistrel, installed into the application.
    static bool installLinuxWording(QString* error = nullptr);

private:
    // Every tr() of the program asks, many on each tick: a context the table
    // does not know is turned away by comparing names, without allocating.
    struct Context {
        QByteArray name;
        QHash<QByteArray, QString> messages;
    };
    static QHash<QByteArray, QString>& messagesOf(std::vector<Context>& contexts, const QByteArray& name);

    std::vector<Context> m_contexts;
};
