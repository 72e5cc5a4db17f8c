#include "outputs/disc_screens.h"

#include "outputs/boot_reading.h"

#include <algorithm>
#include <optional>

namespace {

// What a disc's !BOOT says of its screens; a .dsd's second side is shown by
// the loader on its first.
std::vector<BootScreen> bootScreensOf(const DiscSide& side, const ReadCatalogue& catalogue)
{
    const auto boot = std::find_if(catalogue.files.begin(), catalogue.files.end(), [](const CatalogueEntry& entry) {
        return entry.directory == '$' && entry.name == "!BOOT";
    });
    if (boot == catalogue.files.end())
        return {};
    const auto text = readDiscFile(side, *boot);
    return text ? bootScreens(text.value()) : std::vector<BootScreen>{};
}

std::optional<BootScreen> bootEntryFor(const std::vector<BootScreen>& boot, int drive, const CatalogueEntry& entry)
{
    if (entry.directory != '$')
        return std::nullopt;
    for (const BootScreen& screen : boot)
        if (screen.drive == drive && screen.name == entry.name)
            return screen;
    return std::nullopt;
}

std::string screenName(const DiscSide& side, const CatalogueEntry& entry)
{
    return side.label.empty() ? entry.fullName() : side.label + ": " + entry.fullName();
}

// The screen in `entry`, if it is one; its mode and colours from !BOOT
// when it names a mode that fits.
std::optional<FoundScreen> screenOf(const std::string& name, const std::vector<std::uint8_t>& bytes,
                                    const CatalogueEntry& entry, const std::optional<BootScreen>& boot)
{
    auto found = readScreenFile(name, bytes, InfFields{entry.fullName(), entry.load, entry.exec, entry.length});
    if (!found)
        return std::nullopt;
    FoundScreen screen = std::move(found).value();
    if (boot && std::find(screen.modes.begin(), screen.modes.end(), boot->mode) != screen.modes.end()) {
        screen.modes = {boot->mode};
        screen.colours = boot->colours;
    }
    return screen;
}

}  // namespace

Result<DiscContents> readDiscImage(std::span<const std::uint8_t> image, DiscContainer container)
{
    const auto sides = discSides(image, container);
    if (!sides)
        return sides.failure();
    DiscContents contents;
    std::vector<BootScreen> boot;
    for (const DiscSide& side : sides.value()) {
        auto catalogue = readCatalogue(side);
        if (!catalogue)
            return catalogue.failure();
        // An .ssd's or an MMB disc's own !BOOT; a .dsd's first side's serves both.
        if (side.drive == 0)
            boot = bootScreensOf(side, catalogue.value());
        std::vector<int> screenOfFile;
        for (const CatalogueEntry& entry : catalogue.value().files) {
            const auto bytes = readDiscFile(side, entry);
            if (!bytes)
                return Failure{screenName(side, entry), bytes.failure().reason};
            auto screen = screenOf(screenName(side, entry), bytes.value(), entry, bootEntryFor(boot, side.drive, entry));
            screenOfFile.push_back(screen ? static_cast<int>(contents.screens.size()) : -1);
            if (screen)
                contents.screens.push_back(std::move(*screen));
        }
        contents.discs.push_back({side.label, side.drive, std::move(catalogue).value(), std::move(screenOfFile)});
    }
    return contents;
}
