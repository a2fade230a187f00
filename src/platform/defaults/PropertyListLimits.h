#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

// Looks at a property list's bytes before libplist parses them. libplist and
// the conversion to Qt values go one call deeper per level of nesting, so a
// file of a few hundred kilobytes nested tens of thousands of levels deep
// overflows the stack; and a binary list may name one object from many
// places, which parsing expands into copies, so a small file can stand for
// billions of values. Neither shape occurs in a list this program wrote.
class PropertyListLimits {
public:
    // Levels of elements (XML) or containers (binary); settings use four.
    static constexpr int MaximumDepth = 128;
    // Values of a binary list once every shared object is expanded.
    static constexpr quint64 MaximumValueCount = 1'000'000;

    // Why the bytes must not be parsed, or none when they may.
    static std::optional<QString> violation(QByteArrayView data);
};
