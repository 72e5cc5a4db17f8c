#include "outputs/boot_discs.h"

#include "outputs/dfs_image.h"
#include "outputs/dfs_names.h"
#include "outputs/nula_setup.h"

#include <cassert>
#include <cstdio>

namespace {

// Files with &FF in the top byte of their load address go to the I/O
// processor's memory, so a machine with a second processor still shows them.
constexpr std::uint32_t kIoProcessor = 0xFF0000;

// EXEC text is read as if typed: each line ends with Return.
constexpr const char* kReturn = "\r";

// Turns the flashing cursor off: CRTC register 10 (cursor start) = &20.
constexpr const char* kCursorOff = "VDU23;8202;0;0;0;";

std::string hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
    return text;
}

std::vector<std::uint8_t> textBytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

DiscFile screenFile(const std::string& name, const Conversion& conversion)
{
    return {name, '$', false, kIoProcessor | conversion.screenStart, 0, conversion.bytes};
}

// VDU 19 for each logical colour whose physical colour is not the mode's
// default. Mode 7 has no palette to change.
std::string paletteChanges(const ScreenImage& image)
{
    std::string vdu;
    if (image.mode == nullptr)
        return vdu;
    for (int logical = 0; logical < image.mode->numcols; ++logical) {
        const auto slot = static_cast<std::size_t>(logical);
        const int physical = image.palette[slot];
        if (physical != physicalColour(image.mode->palette[slot]))
            vdu += "VDU19," + std::to_string(logical) + "," + std::to_string(physical) + ";0;:";
    }
    return vdu;
}

// What follows MODE is one line, so that only it is echoed onto the new
// screen, before the picture is loaded over it (two with NuLA colours,
// whose set-up is too long to share a line; neither scrolls the screen).
std::string singleBootText(const Conversion& conversion)
{
    const bool nula = conversion.image.nula.has_value();
    return std::string("*BASIC") + kReturn + "MODE" + std::to_string(conversion.mode) + kReturn +
           (nula ? nulaSetupStatements(conversion.image) + kReturn : paletteChanges(conversion.image)) + kCursorOff +
           ":OSCLI\"LOAD SCREEN " + hex(kIoProcessor | conversion.screenStart) + "\":A%=GET:" +
           (nula ? kNulaResetStatement : "") + "MODE7" + kReturn;
}

DiscCatalogue bootCatalogue(std::string title, int tracks, std::string bootText)
{
    DiscCatalogue catalogue{std::move(title), tracks, BootOption::Exec, {}};
    catalogue.files.push_back({"!BOOT", '$', false, 0, 0, textBytes(bootText)});
    return catalogue;
}

// The slideshow loader, typed into BASIC by *EXEC and run: one DATA line
// per picture (DFS name, mode, physical colour of each logical colour).
// VDU 22 changes mode without moving HIMEM, which is fixed below the
// lowest screen start first so BASIC's stack stays clear of the pictures.
std::string slideshowText(std::span<const Slide> slides, std::span<const std::string> names, int delaySeconds)
{
    std::string text = std::string("*BASIC") + kReturn + "NEW" + kReturn +
                       "10HIMEM=&3000:D%=" + std::to_string(delaySeconds * 100) + kReturn +
                       "20REPEAT:RESTORE:FORI%=1TO" + std::to_string(slides.size()) +
                       ":READF$,M%,P$" + kReturn + "30VDU22,M%:" + kCursorOff + kReturn +
                       "40IFP$>\"\" FORJ%=1TOLEN(P$):VDU19,J%-1,VAL(MID$(P$,J%,1));0;:NEXT" + kReturn +
                       "50OSCLI(\"LOAD \"+F$):OSCLI(\"FX15,1\")" + kReturn +
                       "60IFD%>0 THEN K%=INKEY(D%) ELSE K%=GET" + kReturn +
                       "70NEXT:UNTILFALSE" + kReturn;
    for (std::size_t i = 0; i < slides.size(); ++i) {
        const Conversion& conversion = *slides[i].conversion;
        std::string palette;
        for (int logical = 0; conversion.image.mode && logical < conversion.image.mode->numcols; ++logical)
            palette += std::to_string(conversion.image.palette[static_cast<std::size_t>(logical)]);
        text += std::to_string(100 + i) + "DATA" + names[i] + "," + std::to_string(conversion.mode) +
                "," + palette + kReturn;
    }
    return text + "RUN" + kReturn;
}

// The catalogue of one slideshow disc showing `shown`.
DiscCatalogue slideshowCatalogue(std::span<const Slide> shown, std::span<const std::string> names, int tracks,
                                 int delaySeconds)
{
    DiscCatalogue catalogue = bootCatalogue("SLIDES", tracks, slideshowText(shown, names, delaySeconds));
    for (std::size_t i = 0; i < shown.size(); ++i)
        catalogue.files.push_back(screenFile(names[i], *shown[i].conversion));
    return catalogue;
}

// Whether `shown` and their loader fit on one disc, worked out from sizes alone.
bool fitOnOneDisc(std::span<const Slide> shown, std::span<const std::string> names, int tracks, int delaySeconds)
{
    int sectors = kDfsCatalogueSectors + dfsSectors(slideshowText(shown, names, delaySeconds).size());
    for (const Slide& slide : shown)
        sectors += dfsSectors(slide.conversion->bytes.size());
    return shown.size() + 1 <= kDfsMaxFiles && sectors <= tracks * kDfsSectorsPerTrack;
}

// How many slides from the first on go on one disc: as many as fit with their loader.
std::size_t slidesOnDisc(std::span<const Slide> slides, std::span<const std::string> names, int tracks,
                         int delaySeconds)
{
    std::size_t count = 0;
    while (count < slides.size() &&
           fitOnOneDisc(slides.first(count + 1), names.first(count + 1), tracks, delaySeconds))
        ++count;
    return count;
}

std::vector<std::string> slideNames(std::span<const Slide> slides)
{
    std::vector<std::string> names;
    for (const Slide& slide : slides)
        names.push_back(slide.name);
    return names;
}

}  // namespace

Result<DiscImage> bootDisc(const Conversion& conversion, int tracks, const std::string& title)
{
    DiscCatalogue catalogue = bootCatalogue(title, tracks, singleBootText(conversion));
    catalogue.files.push_back(screenFile("SCREEN", conversion));
    auto bytes = buildDisc(catalogue);
    if (!bytes)
        return bytes.failure();
    return DiscImage{catalogue.title, std::move(bytes).value(), {{"", "SCREEN"}}};
}

Result<std::vector<DiscImage>> slideshowDiscs(std::span<const Slide> slides, int tracks, int delaySeconds)
{
    if (delaySeconds < 0 || delaySeconds > kMaxSlideDelaySeconds)
        return Failure{"delay", "must be 0 (wait for a key) to " + std::to_string(kMaxSlideDelaySeconds) +
                                    " seconds, not " + std::to_string(delaySeconds)};
    const auto names = dfsNames(slideNames(slides));
    if (!names)
        return names.failure();

    std::vector<DiscImage> discs;
    for (std::size_t first = 0; first < slides.size();) {
        const auto rest = slides.subspan(first);
        const auto restNames = std::span<const std::string>(names.value()).subspan(first);
        const std::size_t count = slidesOnDisc(rest, restNames, tracks, delaySeconds);
        if (count == 0)
            return Failure{slides[first].name, "does not fit on a disc of " + std::to_string(tracks) + " tracks"};
        DiscCatalogue catalogue = slideshowCatalogue(rest.first(count), restNames.first(count), tracks, delaySeconds);
        catalogue.title = std::string("SLIDES ").append(std::to_string(discs.size() + 1));
        auto bytes = buildDisc(catalogue);
        if (!bytes)
            return bytes.failure();
        DiscImage disc{catalogue.title, std::move(bytes).value(), {}};
        for (std::size_t i = 0; i < count; ++i)
            disc.pictures.emplace_back(rest[i].name, restNames[i]);
        discs.push_back(std::move(disc));
        first += count;
    }
    return discs;
}
