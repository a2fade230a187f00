#include "app/StartupEnvironment.h"

#include "platform/bundle/BundleResources.h"
#include "platform/log/Log.h"
#include "support/ApplicationName.h"
#include "support/QRNProcessInfo.h"
#include "support/QRNSimpleCustomerSiteLogger.h"

#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>

namespace {

constexpr quint64 ProductCode = 1;
constexpr quint32 VersionCode = 0x0100;

QString text(const char* source)
{
    return QCoreApplication::translate("QRNApplicationSupport", source);
}

void warnOfDamagedResources(const QStringList& damaged)
{
    auto* alert = new QMessageBox(QMessageBox::Warning, localizedApplicationName(),
        text("Warning: The resources of this application have been damaged."));
    alert->setInformativeText(text("%1 may not work as intended: %2 could not be read. Please install %1 again.")
                                  .arg(localizedApplicationName(), damaged.join(QStringLiteral(", "))));
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->show();
}

void warnOfLocation(ProgramLocation::Kind kind, const QString& folder)
{
    auto* alert = new QMessageBox(QMessageBox::Warning, localizedApplicationName(), StartupEnvironment::locationWarningTitle(kind));
    alert->setInformativeText(StartupEnvironment::locationWarningText(kind, folder));
    alert->setObjectName(QStringLiteral("locationAlert"));
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->addButton(text("Continue"), QMessageBox::AcceptRole);
    QPushButton* quit = alert->addButton(text("Quit"), QMessageBox::RejectRole);
    QObject::connect(quit, &QPushButton::clicked, qApp, &QCoreApplication::quit);
    alert->show();
}

} // namespace

void StartupEnvironment::setupApplicationSupport(bool showWarnings)
{
    QRNSimpleCustomerSiteLogger& logger = QRNSimpleCustomerSiteLogger::sharedLogger();
    const int startLog = logger.beginLoggingForSubsystem(QStringLiteral("Application"), QStringLiteral("startup"));
    logger.log(startLog, QStringLiteral("Launching '%1' with personality %2-0x%3 OS limiter 0x%4, identifier %5, on 0x%6.")
                             .arg(localizedApplicationName())
                             .arg(ProductCode)
                             .arg(VersionCode, 0, 16)
                             .arg(0, 0, 16)
                             .arg(QStringLiteral("com.zentrovo.vistrel"))
                             .arg(QRNProcessInfo::processInfo().operatingSystemVersionCode(), 0, 16));
    logger.log(startLog, QStringLiteral("First stage of startup passed successfully."));

    const QStringList damaged = damagedResources();
    if (!damaged.isEmpty()) {
        Log::error("%{public}@: damaged resources: %{public}@", {QStringLiteral("StartupEnvironment"), damaged.join(u' ')});
        if (showWarnings)
            warnOfDamagedResources(damaged);
    }
    logger.log(startLog, QStringLiteral("OS environment checks completed."));

    const QString folder = ProgramLocation::executableFolder();
    const ProgramLocation::Kind kind = ProgramLocation::of(folder);
    if (kind != ProgramLocation::Kind::Ordinary) {
        logger.log(startLog, QStringLiteral("Application is still on a temporary or read-only location."));
        Log::notice("%{public}@: Application is currently stored at '%{public}@' which is %{public}@.",
            {QStringLiteral("StartupEnvironment"), folder,
                kind == ProgramLocation::Kind::Temporary ? QStringLiteral("a temporary folder") : QStringLiteral("read-only")});
        if (showWarnings)
            warnOfLocation(kind, folder);
    }
    logger.log(startLog, QStringLiteral("Update management setup completed."));
    logger.log(startLog, QStringLiteral("Application setup completed."));
    logger.synchronizeLog();
}

QStringList StartupEnvironment::damagedResources()
{
    QStringList damaged;
    for (const QString& name : {QStringLiteral("Configuration"), QStringLiteral("MenuBarCellConfigurations")}) {
        const std::optional<QVariant> list = BundleResources::propertyListNamed(name);
        // The topic tree is a list, the cell palettes a dictionary; neither is ever empty.
        if (!list || (list->toList().isEmpty() && list->toMap().isEmpty()))
            damaged << name;
    }
    for (const QString& name : {QStringLiteral("LinuxWording.ts"), QStringLiteral("Credits.html")}) {
        QFile resource(QStringLiteral(":/") + name);
        if (!resource.open(QIODevice::ReadOnly) || resource.size() == 0)
            damaged << name;
    }
    return damaged;
}

QString StartupEnvironment::locationWarningTitle(ProgramLocation::Kind kind)
{
    switch (kind) {
    case ProgramLocation::Kind::Temporary:
        return text("The application has been launched from a temporary folder.");
    case ProgramLocation::Kind::ReadOnly:
        return text("The application has been launched from a read-only medium.");
    case ProgramLocation::Kind::Ordinary:
        break;
    }
    return {};
}

QString StartupEnvironment::locationWarningText(ProgramLocation::Kind kind, const QString& folder)
{
    switch (kind) {
    case ProgramLocation::Kind::Temporary:
        return text("%1 can be used this way, but %2 is emptied when %3 restarts, and %1 would be gone. It is "
                    "recommended to install the application first, e.g. from its Debian package.")
            .arg(localizedApplicationName(), folder, QRNProcessInfo::processInfo().operatingSystemMarketingName());
    case ProgramLocation::Kind::ReadOnly:
        return text("%1 can be used this way, but %2 cannot be written, so the application cannot be updated there. "
                    "It is recommended to install the application first, e.g. from its Debian package.")
            .arg(localizedApplicationName(), folder);
    case ProgramLocation::Kind::Ordinary:
        break;
    }
    return {};
}
