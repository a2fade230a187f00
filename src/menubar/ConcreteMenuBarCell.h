#pragma once

#include "menubar/QRNMenuBarCell.h"

// What every concrete cell class does the same way: it is named by its
// ClassName and copies itself as its own class.
template <typename Cell>
class ConcreteMenuBarCell : public QRNMenuBarCell {
public:
    std::unique_ptr<QRNMenuBarCell> copy() const override
    {
        return std::make_unique<Cell>(static_cast<const Cell&>(*this));
    }
    QString className() const override { return QString::fromLatin1(Cell::ClassName); }
};
