// Decodes arbitrary bytes as the app extension's payload: no crash, no
// unbounded work, and a decoded data set describes itself.
#include "extension/TransferPayload.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    const std::optional<QVariantMap> dataSet = TransferPayload::decode(bytes, &error);
    if (dataSet)
        (void)TransferPayload::description(*dataSet).size();
    else if (error.isEmpty())
        std::abort();  // every refusal says why
    return 0;
}
