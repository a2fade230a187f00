#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

// Device names from the PCI id database (pci.ids: a vendor line "1002  Name",
// its devices below it as "\t73bf  Name", subsystems indented twice).
namespace PciIdNames {

// The device's name in the database text; none when vendor or device is not listed.
std::optional<QString> deviceName(const QByteArray& database, quint32 vendor, quint32 device);

// A short vendor prefix for display ("AMD", "Intel", "NVIDIA"), else the id in hex.
QString vendorPrefix(quint32 vendor);

} // namespace PciIdNames
