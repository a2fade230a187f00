#pragma once

#include <QString>

// The application's name as users read it, translated; every title that
// names the application uses it.
QString localizedApplicationName();
