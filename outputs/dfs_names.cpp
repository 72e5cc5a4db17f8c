#include "outputs/dfs_names.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace {

constexpr std::size_t kNameLength = 7;
constexpr std::size_t kKeptDigits = 4;

std::string lettersAndDigits(const std::string& pictureName)
{
    std::string kept;
    for (const char c : pictureName) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 128 && std::isalnum(byte))
            kept += static_cast<char>(std::toupper(byte));
    }
    return kept.empty() ? "PICTURE" : kept;
}

// The first letters and up to four trailing digits, which are what most
// often tell numbered pictures apart.
std::string baseName(const std::string& pictureName)
{
    const std::string kept = lettersAndDigits(pictureName);
    if (kept.size() <= kNameLength)
        return kept;
    const auto lastNonDigit = kept.find_last_not_of("0123456789");
    const std::size_t digits = std::min(kKeptDigits, kept.size() - (lastNonDigit == std::string::npos ? 0 : lastNonDigit + 1));
    return kept.substr(0, kNameLength - digits) + kept.substr(kept.size() - digits);
}

}  // namespace

Result<std::vector<std::string>> dfsNames(const std::vector<std::string>& pictureNames)
{
    std::vector<std::string> names;
    std::set<std::string> taken;
    for (const std::string& pictureName : pictureNames) {
        const std::string base = baseName(pictureName);
        std::string name = base;
        for (char number = '2'; taken.count(name) != 0 && number <= '9'; ++number)
            name = base.substr(0, kNameLength - 1) + number;
        if (taken.count(name) != 0)
            return Failure{pictureName, "more than nine pictures come down to the DFS name " + base +
                                            "; rename some of them"};
        taken.insert(name);
        names.push_back(name);
    }
    return names;
}
