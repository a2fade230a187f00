#pragma once

#include <QString>

// The primary interface: the one the IPv4 default route leaves through
// (the lowest metric wins), from /proc/net/route under a sysroot.
namespace DefaultRoute {
QString primaryInterface(const QString& sysroot = {});
// The same from the text of /proc/net/route; empty without a default route.
QString primaryInterfaceInRouteTable(const QByteArray& table);
} // namespace DefaultRoute
