#pragma once

#include <QString>
#include <QVariant>

// Turns a value bound to a control into what the control shows; one way
// only. An invalid result means "no value".
class ValueTransformer {
public:
    virtual ~ValueTransformer() = default;
    virtual QString className() const = 0;
    virtual QVariant transformedValue(const QVariant& value) const = 0;

protected:
    // Booleans and every integer and floating-point type.
    static bool isNumber(const QVariant& value);
};
