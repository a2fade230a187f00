#include "support/CDP.h"

#include "platform/defaults/UserDefaults.h"

#include <QCoreApplication>
#include <QLocale>

#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace {
struct UnitScale {
    double base;
    std::array<const char*, 7> units;
};

// Unit names are the keys of the "CDP" translation context.
const UnitScale binaryUnits {1024, {" B", "KB", "MB", "GB", "TB", "PB", "EB"}};
const UnitScale binaryPrefixUnits {1024, {" B", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB"}};
const UnitScale decimalUnits {1000, {" B", "kB", "MB", "GB", "TB", "PB", "EB"}};
const UnitScale bitUnits {1000, {" Bit", "KBit", "MBit", "GBit", "TBit", "PBit", "EBit"}};
const UnitScale frequencyUnits {1000, {"Hz", "kHz", "MHz", "GHz", "THz", "PHz", "EHz"}};

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
    std::size_t exponent;
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
    return {value, exponent};
}

QString unitOf(const Scaled& scaled, const UnitScale& scale)
{
    return CDP::localizedUnitForKey(QString::fromLatin1(scale.units[scaled.exponent]));
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
QString columnNumber(const std::string& plain)
{
    const char fraction = plain.back();
    const qint64 whole = QByteArray::fromStdString(plain).chopped(2).toLongLong();
    QString text = QLocale().toString(whole);
    if (fraction != '0')
        text += QLocale().decimalPoint() + QChar::fromLatin1(fraction);
    return text.rightJustified(5, u' ');
}

QString columnText(double value, const UnitScale& scale, bool usingTabStopForUnitSeparation)
{
    // Sizes and rates are shown on every tick and mostly read as before (a
    // size that moved by a few kilobytes): the last texts are kept with what
    // they were made from, and only a new one is localized and translated.
    struct Kept {
        const UnitScale* scale = nullptr;
        std::size_t exponent = 0;
        bool tabbed = false;
        std::string plain;
        QLocale locale;
        QString text;
    };
    thread_local std::array<Kept, 4> kept;
    thread_local std::size_t next = 0;
    const Scaled s = scaled(value, scale);
    const std::string plain = plainNumber(s.value, std::chars_format::fixed, 1);
    const QLocale locale;
    for (const Kept& entry : kept) {
        if (entry.scale == &scale && entry.exponent == s.exponent && entry.tabbed == usingTabStopForUnitSeparation
            && entry.plain == plain && entry.locale == locale)
            return entry.text;
    }
    const QString text = columnNumber(plain) + (usingTabStopForUnitSeparation ? u'\t' : u' ')
        + unitOf(s, scale);
    kept[next] = Kept {&scale, s.exponent, usingTabStopForUnitSeparation, plain, locale, text};
    next = (next + 1) % kept.size();
    return text;
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
    const UnitScale& units = memoryUnits();
    const Scaled s = scaled(double(bytes), units);
    if (s.value == std::floor(s.value))
        return localizedNumber(plainNumber(s.value, std::chars_format::general, 6)) + u' ' + unitOf(s, units);
    const int fractionDigits = int(accuracy);
    return localizedNumber(plainNumber(s.value, std::chars_format::fixed, fractionDigits)).rightJustified(fractionDigits + 2)
        + u' ' + unitOf(s, units);
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
