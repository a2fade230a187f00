#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

// One question to an IP reflector service ("http://<host>/"): the answer's
// address, found after the response marker (or at the start without one) as
// a run of accepted characters that some other character ends, or nothing.
class QRNWANIPFetcher : public QObject {
    Q_OBJECT
public:
    using Setter = std::function<void(const std::optional<QString>& address)>;

    // None for an empty host name or accepted set, a time-out that is not
    // positive, or a missing target or setter. The setter is called on the
    // main thread, and only while the target lives.
    static std::unique_ptr<QRNWANIPFetcher> initWithHostName(const QString& hostName, const QString& responseMarker,
        const QString& acceptedCharacters, double timeout, QObject* target, Setter setter);
    ~QRNWANIPFetcher() override;

    void fetchResponse();

    // The address in a response body; none when the body is not a valid answer.
    static std::optional<QString> addressInResponse(const QByteArray& body, const QString& responseMarker,
        const QString& acceptedCharacters);

    const QString& responseMarker() const { return m_responseMarker; }
    const QUrl& downloadURL() const { return m_downloadURL; }

private:
    QRNWANIPFetcher() = default;
    void finished(QNetworkReply* reply);

    QString m_responseMarker;
    QString m_acceptedCharacters;
    QPointer<QObject> m_target;
    Setter m_setter;
    QUrl m_downloadURL;
    int m_timeoutMs = 0;
    std::unique_ptr<QNetworkAccessManager> m_downloadSession;
};
