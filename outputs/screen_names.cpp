#include "outputs/screen_names.h"

#include "outputs/dfs_names.h"

#include <algorithm>
#include <filesystem>
#include <numeric>

namespace {

constexpr const char* kWindowScreenFile = "$.screen";

std::string leafName(const std::string& screenFile)
{
    return std::filesystem::path(screenFile).filename().string();
}

bool isWindowScreenFile(const std::string& screenFile)
{
    return leafName(screenFile) == kWindowScreenFile;
}

// What NAME is made from: the file's name without a leading "$." (a host
// filing system's own way of naming files) and without its last extension.
std::string nameSource(const std::string& screenFile)
{
    std::string name = leafName(screenFile);
    if (name.starts_with("$."))
        name.erase(0, 2);
    const auto dot = name.rfind('.');
    return dot != std::string::npos && dot > 0 ? name.substr(0, dot) : name;
}

ScreenNames namesFor(const std::string& screenFile, const std::string& dfsName)
{
    if (isWindowScreenFile(screenFile) && dfsName == "SCREEN")
        return {"$.SCREEN", "$.NULA", "$.SCREENZ"};
    return {"$." + dfsName, "N." + dfsName, "Z." + dfsName};
}

}  // namespace

ScreenNames screenNames(const std::string& screenFile)
{
    // One name never collides with another.
    return screenNames(std::vector<std::string>{screenFile}).value().front();
}

Result<std::vector<ScreenNames>> screenNames(const std::vector<std::string>& screenFiles)
{
    // Files named "$.screen" are named first, so that they keep SCREEN.
    std::vector<std::size_t> order(screenFiles.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_partition(order.begin(), order.end(),
                          [&](std::size_t i) { return isWindowScreenFile(screenFiles[i]); });
    std::vector<std::string> sources;
    for (const std::size_t i : order)
        sources.push_back(nameSource(screenFiles[i]));
    const auto dfs = dfsNames(sources);
    if (!dfs)
        return dfs.failure();
    std::vector<ScreenNames> names(screenFiles.size());
    for (std::size_t k = 0; k < order.size(); ++k)
        names[order[k]] = namesFor(screenFiles[order[k]], dfs.value()[k]);
    return names;
}
