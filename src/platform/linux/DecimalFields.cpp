#include "platform/linux/DecimalFields.h"

#include <algorithm>
#include <charconv>

namespace DecimalFields {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

std::optional<std::size_t> readLeading(std::string_view text, std::span<quint64> values)
{
    const char* at = text.data();
    const char* const end = at + text.size();
    for (quint64& value : values) {
        while (at < end && isSpace(*at))
            ++at;
        const auto [stop, error] = std::from_chars(at, end, value);
        if (error != std::errc() || (stop < end && !isSpace(*stop)))
            return std::nullopt;
        at = stop;
    }
    return std::size_t(at - text.data());
}

bool readExactly(std::string_view text, std::span<quint64> values)
{
    const std::optional<std::size_t> end = readLeading(text, values);
    return end && std::all_of(text.begin() + *end, text.end(), isSpace);
}

} // namespace DecimalFields
