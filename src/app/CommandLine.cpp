#include "app/CommandLine.h"

namespace {
// Splits "--name=value" and "--name value"; the second form takes the next argument.
bool takeValue(const QStringList& arguments, qsizetype& i, const QString& name, QString* value, QString* error)
{
    const QString& argument = arguments[i];
    if (argument.startsWith(name + u'=')) {
        *value = argument.mid(name.size() + 1);
        return true;
    }
    if (i + 1 >= arguments.size()) {
        *error = QStringLiteral("option %1 needs a value").arg(name);
        return false;
    }
    *value = arguments[++i];
    return true;
}

bool matches(const QString& argument, const QString& name)
{
    return argument == name || argument.startsWith(name + u'=');
}
} // namespace

std::optional<CommandLine> CommandLine::parse(const QStringList& arguments, QString* error)
{
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        QString value;
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            line.showHelp = true;
        } else if (argument == QLatin1String("--version")) {
            line.showVersion = true;
        } else if (argument == QLatin1String("--exercise-settings-writes")) {
            line.exerciseSettingsWrites = true;
        } else if (matches(argument, QStringLiteral("--status-bar"))) {
            if (!takeValue(arguments, i, QStringLiteral("--status-bar"), &value, error))
                return std::nullopt;
            if (value == QLatin1String("auto"))
                line.statusBar = StatusBarMode::Auto;
            else if (value == QLatin1String("bar"))
                line.statusBar = StatusBarMode::Bar;
            else if (value == QLatin1String("tray"))
                line.statusBar = StatusBarMode::Tray;
            else if (value == QLatin1String("offscreen"))
                line.statusBar = StatusBarMode::Offscreen;
            else {
                *error = QStringLiteral("unknown status bar '%1' (choose bar, tray, offscreen or auto)").arg(value);
                return std::nullopt;
            }
        } else if (matches(argument, QStringLiteral("--snapshot"))) {
            if (!takeValue(arguments, i, QStringLiteral("--snapshot"), &value, error))
                return std::nullopt;
            if (value.isEmpty()) {
                *error = QStringLiteral("option --snapshot needs a folder");
                return std::nullopt;
            }
            line.snapshotDirectory = value;
        } else if (matches(argument, QStringLiteral("--ticks"))) {
            if (!takeValue(arguments, i, QStringLiteral("--ticks"), &value, error))
                return std::nullopt;
            bool ok = false;
            line.ticks = value.toInt(&ok);
            if (!ok || line.ticks < 1 || line.ticks > 3600) {
                *error = QStringLiteral("--ticks needs a whole number from 1 to 3600, not '%1'").arg(value);
                return std::nullopt;
            }
        } else {
            *error = QStringLiteral("unknown option '%1'").arg(argument);
            return std::nullopt;
        }
    }
    if (!line.snapshotDirectory.isEmpty() && line.statusBar != StatusBarMode::Auto
        && line.statusBar != StatusBarMode::Offscreen) {
        *error = QStringLiteral("--snapshot runs offscreen and cannot be combined with --status-bar=%1")
                     .arg(line.statusBar == StatusBarMode::Bar ? QStringLiteral("bar") : QStringLiteral("tray"));
        return std::nullopt;
    }
    return line;
}

QString CommandLine::usage()
{
    return QStringLiteral(
        "Usage: vistrel [options]\n"
        "A system monitor in the menu bar.\n"
        "\n"
        "Options:\n"
        "  --status-bar=MODE   where status items show: tray (the desktop's system tray:\n"
        "                      StatusNotifierItem, or XEmbed when no StatusNotifierWatcher\n"
        "                      runs), bar (Vistrel's own bar at the top of the screen),\n"
        "                      offscreen (nowhere), or auto (the default: tray when a\n"
        "                      StatusNotifierWatcher runs, else bar on an X display,\n"
        "                      else offscreen)\n"
        "  --snapshot DIR      run offscreen, then write every status item's image (PNG)\n"
        "                      and menu (text) into DIR and quit\n"
        "  --ticks N           seconds of sampling before the snapshot (default 3)\n"
        "  --version           print the version and quit\n"
        "  -h, --help          print this help and quit\n"
        "\n"
        "Environment: VISTREL_LOG_LEVEL=debug|info|default|error|fault\n");
}
