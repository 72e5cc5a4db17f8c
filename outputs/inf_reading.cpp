#include "outputs/inf_reading.h"

#include <charconv>
#include <vector>

namespace {

std::vector<std::string_view> words(std::string_view line)
{
    std::vector<std::string_view> found;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        const std::size_t start = at;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t')
            ++at;
        if (at > start)
            found.push_back(line.substr(start, at - start));
    }
    return found;
}

// A hexadecimal address of up to 8 digits.
std::optional<std::uint32_t> hexWord(std::string_view word)
{
    std::uint32_t value = 0;
    if (word.empty() || word.size() > 8)
        return std::nullopt;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, 16);
    if (error != std::errc{} || end != word.data() + word.size())
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<InfFields> readInfLine(std::string_view text)
{
    const std::string_view line = text.substr(0, text.find_first_of("\r\n"));
    const auto found = words(line);
    if (found.size() < 3)
        return std::nullopt;
    const auto load = hexWord(found[1]);
    const auto exec = hexWord(found[2]);
    if (!load || !exec)
        return std::nullopt;
    InfFields fields{std::string(found[0]), *load, *exec, std::nullopt};
    if (found.size() >= 4)
        fields.length = hexWord(found[3]);
    return fields;
}
