#include "menubar/MenuBarCellClasses.h"

#include "menubar/QRNGraphMenuBarCell.h"
#include "menubar/QRNMenuBarCell.h"
#include "menubar/QRNNumericMenuBarCell.h"
#include "menubar/QRNSpacerMenuBarCell.h"
#include "menubar/QRNStateMenuBarCell.h"
#include "menubar/QRNTemperatureMenuBarCell.h"
#include "menubar/QRNTextMenuBarCell.h"

namespace {

struct CellClass {
    QLatin1String name;
    MenuBarCellClasses::Initializer initialize;
};

template <typename Cell>
std::unique_ptr<QRNMenuBarCell> initialize(const QString& detail)
{
    return Cell::initWithDetailStringCode(detail);
}

template <typename Cell>
CellClass cellClass()
{
    return {QLatin1String(Cell::ClassName), &initialize<Cell>};
}

const CellClass Classes[] = {
    cellClass<QRNMenuBarCell>(),
    cellClass<QRNGraphMenuBarCell>(),
    cellClass<QRNNumericMenuBarCell>(),
    cellClass<QRNStateMenuBarCell>(),
    cellClass<QRNTextMenuBarCell>(),
    cellClass<QRNTemperatureMenuBarCell>(),
    cellClass<QRNSpacerMenuBarCell>(),
};

} // namespace

MenuBarCellClasses::Initializer MenuBarCellClasses::initializerForClassNamed(const QString& name)
{
    for (const CellClass& cellClass : Classes) {
        if (cellClass.name == name)
            return cellClass.initialize;
    }
    return nullptr;
}
