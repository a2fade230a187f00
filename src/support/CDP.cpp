#include "support/CDP.h"

#include "platform/defaults/UserDefaults.h"

#include <QCoreApplication>
#include <QLocale>

#include <array>
#include <cmath>
#include <charconv>
#include <string>

namespace {
struct UnitScale {
    double base;
    std::array<const char*, 7> units;
};

const UnitScale binaryUnits {1024, {QT_TRANSLATE_NOOP("CDP", " B"), QT_TRANSLATE_NOOP("CDP", "KB"),
    QT_TRANSLATE_NOOP("CDP", "MB"), QT_TRANSLATE_NOOP("CDP", "GB"), QT_TRANSLATE_NOOP("CDP", "TB"),
    QT_TRANSLATE_NOOP("CDP", "PB"), QT_TRANSLATE_NOOP("CDP", "EB")}};
const UnitScale binaryPrefixUnits {1024, {QT_TRANSLATE_NOOP("CDP", " B"), QT_TRANSLATE_NOOP("CDP", "KiB"),
    QT_TRANSLATE_NOOP("CDP", "MiB"), QT_TRANSLATE_NOOP("CDP", "GiB"), QT_TRANSLATE_NOOP("CDP", "TiB"),
    QT_TRANSLATE_NOOP("CDP", "PiB"), QT_TRANSLATE_NOOP("CDP", "EiB")}};
const UnitScale decimalUnits {1000, {QT_TRANSLATE_NOOP("CDP", " B"), QT_TRANSLATE_NOOP("CDP", "kB"),
    QT_TRANSLATE_NOOP("CDP", "MB"), QT_TRANSLATE_NOOP("CDP", "GB"), QT_TRANSLATE_NOOP("CDP", "TB"),
    QT_TRANSLATE_NOOP("CDP", "PB"), QT_TRANSLATE_NOOP("CDP", "EB")}};
const UnitScale bitUnits {1000, {QT_TRANSLATE_NOOP("CDP", " Bit"), QT_TRANSLATE_NOOP("CDP", "KBit"),
    QT_TRANSLATE_NOOP("CDP", "MBit"), QT_TRANSLATE_NOOP("CDP", "GBit"), QT_TRANSLATE_NOOP("CDP", "TBit"),
    QT_TRANSLATE_NOOP("CDP", "PBit"), QT_TRANSLATE_NOOP("CDP", "EBit")}};
const UnitScale frequencyUnits {1000, {QT_TRANSLATE_NOOP("CDP", "Hz"), QT_TRANSLATE_NOOP("CDP", "kHz"),
    QT_TRANSLATE_NOOP("CDP", "MHz"), QT_TRANSLATE_NOOP("CDP", "GHz"), QT_TRANSLATE_NOOP("CDP", "THz"),
    QT_TRANSLATE_NOOP("CDP", "PHz"), QT_TRANSLATE_NOOP("CDP", "EHz")}};

const UnitScale& memoryUnits()
{
    switch (UserDefaults::standardUserDefaults().integerForKey(CDP::defaultsKeyForMemoryDisplayMode())) {
    case 1:
        return binaryPrefixUnits;
    case 2:
        return decimalUnits;
    default:
        return binaryUnits;
    }
}

struct Scaled {
    double value;
    QString unit;
};

// Divides by the base until the value is below it; exa is the largest unit,
// so anything beyond stays in exa.
Scaled scaled(double value, const UnitScale& scale)
{
    std::size_t exponent = 0;
    while (value >= scale.base && exponent < scale.units.size() - 1) {
        value /= scale.base;
        ++exponent;
    }
    return {value, CDP::localizedUnitForKey(QString::fromLatin1(scale.units[exponent]))};
}

// A double as printf writes it in the C locale: fixed with the given
// fraction digits, or with six significant digits ("%g"). Halves of exactly
// representable values round to even, as printf does.
std::string plainNumber(double value, std::chars_format format, int precision)
{
    std::array<char, 64> buffer {};
    const std::to_chars_result end = std::to_chars(buffer.begin(), buffer.end(), value, format, precision);
    return std::string(buffer.begin(), end.ptr);
}

QString localizedNumber(const std::string& plain)
{
    return QString::fromLatin1(plain).replace(u'.', QLocale().decimalPoint());
}

// Decimal style with grouping, at most one fraction digit, padded with
// blanks in front to five characters.
QString columnNumber(double value)
{
    const std::string plain = plainNumber(value, std::chars_format::fixed, 1);
    const char fraction = plain.back();
    const qint64 whole = QByteArray::fromStdString(plain).chopped(2).toLongLong();
    QString text = QLocale().toString(whole);
    if (fraction != '0')
        text += QLocale().decimalPoint() + QChar::fromLatin1(fraction);
    return text.rightJustified(5, u' ');
}

QString columnText(double value, const UnitScale& scale, bool usingTabStopForUnitSeparation)
{
    const Scaled s = scaled(value, scale);
    return columnNumber(s.value) + (usingTabStopForUnitSeparation ? u'\t' : u' ') + s.unit;
}
} // namespace

QString CDP::defaultsKeyForMemoryDisplayMode()
{
    return QStringLiteral("QRNMemoryDisplayMode");
}

QString CDP::displayTextForMemorySize(quint64 bytes)
{
    return displayTextForMemorySize(bytes, Accuracy::One);
}

QString CDP::displayTextForMemorySize(quint64 bytes, Accuracy accuracy)
{
    const Scaled s = scaled(double(bytes), memoryUnits());
    if (s.value == std::floor(s.value))
        return localizedNumber(plainNumber(s.value, std::chars_format::general, 6)) + u' ' + s.unit;
    const int fractionDigits = int(accuracy);
    return localizedNumber(plainNumber(s.value, std::chars_format::fixed, fractionDigits)).rightJustified(fractionDigits + 2)
        + u' ' + s.unit;
}

QString CDP::displayTextForMemorySize(quint64 bytes, bool usingTabStopForUnitSeparation)
{
    return columnText(double(bytes), memoryUnits(), usingTabStopForUnitSeparation);
}

QString CDP::displayTextAsBitsForMemorySize(quint64 bytes)
{
    return displayTextAsBitsForMemorySize(bytes, false);
}

QString CDP::displayTextAsBitsForMemorySize(quint64 bytes, bool usingTabStopForUnitSeparation)
{
    return columnText(double(bytes) * 8, bitUnits, usingTabStopForUnitSeparation);
}

QString CDP::displayTextForMemorySizeLegend()
{
    const UnitScale& scale = memoryUnits();
    return QStringLiteral("%1 %2 = %3 %4")
        .arg(qint64(scale.base))
        .arg(localizedUnitForKey(QString::fromLatin1(scale.units[0])), localizedNumber(plainNumber(1.0, std::chars_format::fixed, 1)),
            localizedUnitForKey(QString::fromLatin1(scale.units[1])));
}

QString CDP::displayTextForFrequency(quint64 hertz)
{
    return displayTextForFrequency(hertz, false);
}

QString CDP::displayTextForFrequency(quint64 hertz, bool usingTabStopForUnitSeparation)
{
    return columnText(double(hertz), frequencyUnits, usingTabStopForUnitSeparation);
}

QString CDP::localizedUnitForKey(const QString& key)
{
    if (key.isNull())
        return {};
    return QCoreApplication::translate("CDP", key.toUtf8().constData());
}
