#pragma once

#include <QVariant>

// Whether a value read from the registry or a property list holds a number:
// every integer and floating-point type. A Boolean is not one.
bool isNumeric(const QVariant& value);
