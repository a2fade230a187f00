#include "support/ApplicationName.h"

#include <QCoreApplication>

QString localizedApplicationName()
{
    return QCoreApplication::translate("Application", "Vistrel");
}
