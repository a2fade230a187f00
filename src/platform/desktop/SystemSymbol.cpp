#include "platform/desktop/SystemSymbol.h"

#include <QApplication>
#include <QStyle>

namespace {

struct Symbol {
    QLatin1String name;
    QStringList themeNames;
    QStyle::StandardPixmap fallback;
};

const std::vector<Symbol>& symbols()
{
    static const std::vector<Symbol> table = {
        {QLatin1String("cpu"), {QStringLiteral("cpu"), QStringLiteral("computer")}, QStyle::SP_ComputerIcon},
        {QLatin1String("memorychip"), {QStringLiteral("media-flash"), QStringLiteral("drive-removable-media")}, QStyle::SP_DriveFDIcon},
        {QLatin1String("network"), {QStringLiteral("network-wired"), QStringLiteral("network-workgroup")}, QStyle::SP_DriveNetIcon},
        {QLatin1String("externaldrive"), {QStringLiteral("drive-harddisk")}, QStyle::SP_DriveHDIcon},
        {QLatin1String("cylinder.split.1x2"), {QStringLiteral("drive-multidisk"), QStringLiteral("folder")}, QStyle::SP_DirIcon},
        {QLatin1String("thermometer"), {QStringLiteral("temperature-normal"), QStringLiteral("sensors-temperature-symbolic")}, QStyle::SP_MessageBoxWarning},
        {QLatin1String("lightbulb"), {QStringLiteral("dialog-information")}, QStyle::SP_MessageBoxInformation},
        {QLatin1String("character.textbox"), {QStringLiteral("preferences-desktop-font"), QStringLiteral("format-text-bold")}, QStyle::SP_FileDialogDetailedView},
        {QLatin1String("textbox"), {QStringLiteral("preferences-desktop-font"), QStringLiteral("format-text-bold")}, QStyle::SP_FileDialogDetailedView},
        {QLatin1String("ellipsis.circle"), {QStringLiteral("preferences-system"), QStringLiteral("preferences-other")}, QStyle::SP_FileDialogInfoView},
        {QLatin1String("puzzlepiece"), {QStringLiteral("application-x-addon"), QStringLiteral("preferences-plugin")}, QStyle::SP_FileDialogContentsView},
        {QLatin1String("menubar.rectangle"), {QStringLiteral("view-list-details"), QStringLiteral("view-list")}, QStyle::SP_DesktopIcon},
        {QLatin1String("gearshape"), {QStringLiteral("preferences-system"), QStringLiteral("configure")}, QStyle::SP_FileDialogListView},
        {QLatin1String("questionmark.square"), {QStringLiteral("dialog-question"), QStringLiteral("help-about")}, QStyle::SP_MessageBoxQuestion},
    };
    return table;
}

const Symbol* find(const QString& name)
{
    for (const Symbol& symbol : symbols()) {
        if (symbol.name == name)
            return &symbol;
    }
    return nullptr;
}

} // namespace

QStringList SystemSymbol::themeNames(const QString& symbolName)
{
    const Symbol* symbol = find(symbolName);
    return symbol ? symbol->themeNames : QStringList();
}

QIcon SystemSymbol::image(const QString& symbolName)
{
    const Symbol* symbol = find(symbolName);
    if (!symbol)
        symbol = find(QStringLiteral("questionmark.square"));
    for (const QString& themeName : symbol->themeNames) {
        if (QIcon::hasThemeIcon(themeName))
            return QIcon::fromTheme(themeName);
    }
    return QApplication::style()->standardIcon(symbol->fallback);
}
