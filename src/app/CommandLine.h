#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the user asked for on the command line.
struct CommandLine {
    enum class StatusBarMode { Auto, Bar, Tray, Offscreen };

    StatusBarMode statusBar = StatusBarMode::Auto;
    QString snapshotDirectory;  // non-empty: write a snapshot and quit
    int ticks = 3;              // seconds of sampling before the snapshot
    bool showHelp = false;
    bool showVersion = false;
    // For a test of quitting by signal: write the settings non-stop (not in the usage text).
    bool exerciseSettingsWrites = false;

    // Parses the arguments after the program name. On a bad option returns
    // none and sets the message to show the user.
    static std::optional<CommandLine> parse(const QStringList& arguments, QString* error);
    static QString usage();
};
