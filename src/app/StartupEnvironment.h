#pragma once

#include "platform/desktop/ProgramLocation.h"

#include <QString>
#include <QStringList>

// The first, environment-related stage of start-up: the start log, the check
// of the resources compiled into the program, and a warning when the program
// runs from a temporary or read-only place.
class StartupEnvironment {
public:
    // Writes the start log and runs the checks; warnings are shown only with
    // a graphical interface, and the user may quit from the location warning.
    static void setupApplicationSupport(bool showWarnings);

    // The compiled-in resources that are missing or do not read; empty when all are sound.
    static QStringList damagedResources();
    // The location warning's title and text; empty for an ordinary place.
    static QString locationWarningTitle(ProgramLocation::Kind kind);
    static QString locationWarningText(ProgramLocation::Kind kind, const QString& folder);
};
