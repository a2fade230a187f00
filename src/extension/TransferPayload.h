#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVariantMap>

#include <optional>

// Decodes one payload of the app extension: a keyed archive whose root is a
// dictionary from class names to records. Only dictionaries, strings and
// the record classes may appear at its top, and each record field only the
// classes it is made for; any other class fails the whole payload.
class TransferPayload {
public:
    // The data set; none with the reason on any decoding error.
    static std::optional<QVariantMap> decode(QByteArrayView payload, QString* error = nullptr);
    // The records' descriptions, one after the other, for the diagnostics window.
    static QString description(const QVariantMap& dataSet);
};
