#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The naming rules that Vistrel and the app extension share: where the pipes
// live, what they are called and what the request lines say.
class VistrelPlusService {
public:
    // The app extension's identity, also the server component of the folder.
    static constexpr char ServerIdentifier[] = "com.zentrovo.system.VistrelPlus";
    static constexpr char ApplicationGroup[] = "K7QW2ZL9XM.com.zentrovo.vistrel";

    // <base>/<group>/<server>/PipeComm, where the base is the user's runtime
    // folder ($XDG_RUNTIME_DIR), or ~/.local/share without one; without a
    // group the server folder sits in the base itself. Empty when there is
    // no base or the server identifier is empty.
    static QString pathOfPipeFolderForServerWithIdentifier(const QString& serverIdentifier, const QString& applicationGroup);
    static QString nameOfServerRequestPipe() { return QStringLiteral("Server"); }
    static QString nameOfPipeForClientIdentifier(quint32 identifier);
    static QByteArray stringForConnectRequest();
    static QByteArray stringForDisconnectRequest();
    static QByteArray payloadMarker() { return QByteArrayLiteral("+++VistrelPlus+++"); }
    // Full paths of the data pipes (FIFOs named "out…") in a folder; none for
    // an empty path or a folder that cannot be listed.
    static std::optional<QStringList> clientPipePathsAtFolderPath(const QString& folder);
};
