#include "instruments/QRNWANIPFetcher.h"

#include "platform/log/Log.h"

#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

std::unique_ptr<QRNWANIPFetcher> QRNWANIPFetcher::initWithHostName(const QString& hostName, const QString& responseMarker,
    const QString& acceptedCharacters, double timeout, QObject* target, Setter setter)
{
    if (hostName.isEmpty() || acceptedCharacters.isEmpty() || !(timeout > 0) || !target || !setter)
        return nullptr;
    const QUrl url(QStringLiteral("http://%1/").arg(hostName));
    if (!url.isValid())
        return nullptr;
    std::unique_ptr<QRNWANIPFetcher> fetcher(new QRNWANIPFetcher);
    fetcher->m_responseMarker = responseMarker;
    fetcher->m_acceptedCharacters = acceptedCharacters;
    fetcher->m_target = target;
    fetcher->m_setter = std::move(setter);
    fetcher->m_downloadURL = url;
    fetcher->m_timeoutMs = int(timeout * 1000);
    fetcher->m_downloadSession = std::make_unique<QNetworkAccessManager>();
    return fetcher;
}

QRNWANIPFetcher::~QRNWANIPFetcher() = default;

void QRNWANIPFetcher::fetchResponse()
{
    QNetworkRequest request(m_downloadURL);
    request.setTransferTimeout(m_timeoutMs);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    QNetworkReply* reply = m_downloadSession->get(request);
    if (!reply) {
        Log::error("%{public}@: could not create download task!", {QStringLiteral("QRNWANIPFetcher")});
        return;
    }
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finished(reply); });
}

std::optional<QString> QRNWANIPFetcher::addressInResponse(const QByteArray& body, const QString& responseMarker,
    const QString& acceptedCharacters)
{
    const QString text = QString::fromUtf8(body);
    if (text.isEmpty())
        return std::nullopt;
    qsizetype start = 0;
    if (!responseMarker.isEmpty()) {
        const qsizetype marker = text.indexOf(responseMarker);
        if (marker < 0)
            return std::nullopt;
        start = marker + responseMarker.size();
    }
    qsizetype end = start;
    while (end < text.size() && acceptedCharacters.contains(text[end]))
        ++end;
    // An address that runs to the end of the text may have been cut off.
    if (end == start || end >= text.size())
        return std::nullopt;
    return text.mid(start, end - start);
}

void QRNWANIPFetcher::finished(QNetworkReply* reply)
{
    reply->deleteLater();
    std::optional<QString> address;
    if (reply->error() != QNetworkReply::NoError) {
        Log::error("Failed to determine WAN IP address: %{public}@\n", {reply->errorString()});
    } else {
        address = addressInResponse(reply->readAll(), m_responseMarker, m_acceptedCharacters);
        if (!address)
            Log::error("Received invalid response from IP reflector service.");
    }
    if (!m_target)
        return;
    // Delivered from the event loop, so the target may drop this fetcher in the setter.
    QMetaObject::invokeMethod(m_target, [target = m_target, setter = m_setter, address] {
        if (target)
            setter(address);
    }, Qt::QueuedConnection);
}
