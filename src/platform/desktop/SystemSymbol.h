#pragma once

#include <QIcon>
#include <QString>

// The desktop's icon theme standing in for the named system symbols of the
// configuration window ("cpu", "memorychip", "network"...). Every symbol has
// a fallback from the widget style, so an icon shows even without a theme.
class SystemSymbol {
public:
    // The icon for a symbol name; an unknown name gives the question-mark icon.
    static QIcon image(const QString& symbolName);
    // The theme names tried for a symbol, most specific first; empty when unknown.
    static QStringList themeNames(const QString& symbolName);
};
