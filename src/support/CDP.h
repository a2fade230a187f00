#pragma once

#include <QString>

// Display texts for byte counts, bit counts and frequencies. Byte counts
// follow the user's unit mode, read afresh on every call from the standard
// defaults under defaultsKeyForMemoryDisplayMode(): 0 (and anything unknown)
// binary steps with "KB", "MB" ..., 1 binary steps with "KiB", "MiB" ...,
// 2 decimal steps with "kB", "MB" .... Bits and frequencies always step by
// 1000. Numbers follow the default QLocale.
class CDP {
public:
    // Fraction digits shown for a size that is not a whole number of units.
    enum class Accuracy { One = 1, Two = 2, Three = 3 };

    static QString defaultsKeyForMemoryDisplayMode();

    // "1.5 KB", "1 MB", "512  B" (the byte unit carries its own blank so
    // that its letter lines up under the second letter of the others).
    static QString displayTextForMemorySize(quint64 bytes);
    static QString displayTextForMemorySize(quint64 bytes, Accuracy accuracy);
    // The number right-aligned in five characters with at most one fraction
    // digit ("  1.5", "    1"), then a tab (for menus with tab stops) or a
    // blank, then the unit.
    static QString displayTextForMemorySize(quint64 bytes, bool usingTabStopForUnitSeparation);
    static QString displayTextAsBitsForMemorySize(quint64 bytes);
    static QString displayTextAsBitsForMemorySize(quint64 bytes, bool usingTabStopForUnitSeparation);
    // What one unit step means in the current mode: "1024  B = 1.0 KB".
    static QString displayTextForMemorySizeLegend();
    static QString displayTextForFrequency(quint64 hertz);
    static QString displayTextForFrequency(quint64 hertz, bool usingTabStopForUnitSeparation);

    // The unit's name in the user's language; the name itself where there is
    // no translation, null for null.
    static QString localizedUnitForKey(const QString& key);
};
