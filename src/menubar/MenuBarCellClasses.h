#pragma once

#include <QString>

#include <memory>

class QRNMenuBarCell;

// The cell classes a cell code may name, looked up in one fixed table.
namespace MenuBarCellClasses {

// Makes a cell of one class from a detail code, or null when the class does
// not know the detail.
using Initializer = std::unique_ptr<QRNMenuBarCell> (*)(const QString& detail);

// Null when no cell class has that name.
Initializer initializerForClassNamed(const QString& name);

} // namespace MenuBarCellClasses
