#pragma once

#include <QtGlobal>

#include <optional>
#include <span>
#include <string_view>

// Kernel text files give their counters as unsigned decimals between blanks
// (a block device's stat line, the rows of /proc/net/dev, a sysfs counter).
namespace DecimalFields {

// Reads the first values.size() fields of the text into values, skipping the
// whitespace before each; returns the offset just past the last one. None when
// a field is missing, is not an unsigned decimal, runs on into other
// characters or does not fit 64 bits. Reads in place: the sampling ticks parse
// such lines many times a second.
std::optional<std::size_t> readLeading(std::string_view text, std::span<quint64> values);

// Whether the text is exactly values.size() such fields, with nothing but
// whitespace around them; reads them into values.
bool readExactly(std::string_view text, std::span<quint64> values);

} // namespace DecimalFields
