#pragma once

#include <QHash>
#include <QTranslator>

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
    bool isEmpty() const override { return m_messages.isEmpty(); }
    qsizetype count() const { return m_messages.size(); }

    // The table that ships with Vistrel, installed into the application.
    static bool installLinuxWording(QString* error = nullptr);

private:
    QHash<QString, QString> m_messages;
};
