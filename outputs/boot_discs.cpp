#include "outputs/boot_discs.h"

#include "outputs/dfs_image.h"
#include "outputs/dfs_names.h"
#include "outputs/nula_setup.h"
#include "outputs/disc_containers.h"
#include "outputs/m6502/raster_routine.h"
#include "outputs/m6502/unpack_routine.h"
#include "outputs/raster_program.h"
#include "outputs/raster_writes.h"
#include "outputs/packed_screen.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <optional>

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
    return {name, '$', false, kIoProcessor | conversion.screenStart(), 0, conversion.bytes()};
}

// VDU 19 for each logical colour whose physical colour is not the mode's
// default. Mode 7 has no palette to change.
std::string paletteChanges(const Screen& image)
{
    std::string vdu;
    if (image.mode == nullptr)
        return vdu;
    for (int logical = 0; logical < image.mode->numcols; ++logical) {
        const auto slot = static_cast<std::size_t>(logical);
        const int physical = image.palette().physical[slot];
        if (physical != physicalColour(image.mode->palette[slot]))
            vdu += "VDU19," + std::to_string(logical) + "," + std::to_string(physical) + ";0;:";
    }
    return vdu;
}

// A picture's first appearance, typed in direct mode: the mode, its
// colours (VideoNuLA's, or VDU 19 for the standard ones; `resetNula` first
// puts back NuLA's standard colours and &FE20, for a picture in standard
// colours that may follow one in NuLA's), the cursor off, then `show`, the
// command that puts the screen in place. What follows MODE is one line, so
// that only it is echoed onto the new screen, before the picture is loaded
// over it (two with NuLA colours, whose set-up is too long to share a line;
// neither scrolls the screen). The last line is left open for more.
std::string directScreenText(const Conversion& conversion, const std::string& show, bool resetNula)
{
    const bool nula = conversion.screen.hasNula();
    const std::string colours = nula ? nulaSetupStatements(conversion.screen) + kReturn
                                     : (resetNula ? std::string(kNulaResetStatement) + "?&FE20=?&248:" : "") +
                                           paletteChanges(conversion.screen);
    return "MODE" + std::to_string(conversion.mode()) + kReturn + colours + kCursorOff + ":" + show;
}

bool changesLineByLine(const Conversion& conversion)
{
    return changesLineByLine(conversion.screen);
}

// The raster routine's address, where CALL enters it; BASIC's HIMEM goes
// there too, so that neither a loader's program nor BASIC's stack reaches
// the routine or its data.
std::string rasterAddress()
{
    std::string address("&");
    address += hex(kRasterOrigin);
    return address;
}

// Loads the raster routine and the picture's writes (the file `dataFile`),
// before the screen, for a picture whose palette changes line by line.
std::string rasterLoads(const std::string& dataFile)
{
    return "HIMEM=" + rasterAddress() + ":OSCLI\"LOAD RASTER\":OSCLI\"LOAD " + dataFile + "\":";
}

// Shows the picture until a key, or for `frames` frames (a BASIC
// expression) when that is above 0.
std::string rasterCall(const std::string& frames)
{
    return "X%=" + frames + " MOD256:Y%=" + frames + " DIV256:CALL" + rasterAddress();
}

// The boot text of one picture: it stays until a key (a picture whose
// palette changes line by line is shown by the raster routine meanwhile).
std::string bootTextAround(const Conversion& conversion, const std::string& show)
{
    const bool nula = conversion.screen.hasNula();
    const bool raster = changesLineByLine(conversion);
    return std::string("*BASIC") + kReturn +
           directScreenText(conversion, (raster ? rasterLoads("R.SCREEN") : "") + show, false) + ":" +
           (raster ? rasterCall("0") + ":" : "A%=GET:") + (nula ? kNulaResetStatement : "") + "MODE7" + kReturn;
}

std::string singleBootText(const Conversion& conversion)
{
    return bootTextAround(conversion, "OSCLI\"LOAD SCREEN " + hex(kIoProcessor | conversion.screenStart()) + "\"");
}

DiscCatalogue bootCatalogue(std::string title, int tracks, std::string bootText)
{
    DiscCatalogue catalogue{std::move(title), tracks, BootOption::Exec, {}};
    catalogue.files.push_back({"!BOOT", '$', false, 0, 0, textBytes(bootText)});
    return catalogue;
}

// The loader's program must fit between PAGE (&1900 on a disc machine) and
// the HIMEM it sets, &3000 (or the raster routine's start), with room left
// for its variables and stack.
constexpr std::size_t kLoaderProgramBytes = 0x3000 - 0x1900 - 512;
constexpr std::size_t kRasterLoaderProgramBytes = kRasterOrigin - 0x1900 - 512;

// Whether the loader typed by `bootText` fits: each numbered line takes
// its text and 4 bytes more, an upper bound, as BASIC's keywords are
// stored as one byte each.
bool loaderFitsInMemory(const std::string& bootText, bool raster)
{
    std::size_t bytes = 2;
    for (std::size_t start = 0; start < bootText.size();) {
        const std::size_t end = std::min(bootText.find(kReturn, start), bootText.size());
        if (bootText[start] >= '0' && bootText[start] <= '9')
            bytes += 4 + (end - start);
        start = end + 1;
    }
    return bytes <= (raster ? kRasterLoaderProgramBytes : kLoaderProgramBytes);
}

bool hasNula(const Conversion& conversion)
{
    return conversion.screen.hasNula();
}

// One picture of a show: where it goes and in what form.
struct ShowPicture {
    const Slide* slide = nullptr;
    std::string dfsName;
    std::optional<PackedScreen> packed;
    int drive = 0;
    bool soonerLoadingRoutine = false;  // packed, sooner even as the show's first packed picture
};

bool anyRaster(std::span<const ShowPicture> shown)
{
    return std::any_of(shown.begin(), shown.end(),
                       [](const ShowPicture& p) { return changesLineByLine(*p.slide->conversion); });
}

bool anyNula(std::span<const ShowPicture> shown)
{
    return std::any_of(shown.begin(), shown.end(),
                       [](const ShowPicture& p) { return hasNula(*p.slide->conversion); });
}

// The physical colour of each logical colour, one digit each: for a picture
// in NuLA colours, the standard colours a machine without NuLA shows.
std::string paletteDigits(const Conversion& conversion)
{
    if (hasNula(conversion))
        return nulaFallbackDigits(conversion.screen);
    std::string palette;
    for (int logical = 0; conversion.screen.mode && logical < conversion.screen.mode->numcols; ++logical)
        palette += std::to_string(conversion.screen.palette().physical[static_cast<std::size_t>(logical)]);
    return palette;
}

// A show with pictures in NuLA colours resets NuLA after each MODE (a
// picture in the standard colours must not show through a palette left by
// the one before), then, for a picture with NuLA colours, writes its 16
// entries (N$: red, green and blue of each) and turns on palette mode; it
// puts back &FE20, which the writes to &FE22 reach on a machine without
// NuLA, before the fallback colours of line 40. Escape resets NuLA too and
// returns to MODE 7.
std::string nulaLines()
{
    return std::string("35IFN$>\"\" FORJ%=0TO15:?&FE23=J%*16+EVAL(\"&\"+MID$(N$,J%*3+1,1)):"
                       "?&FE23=EVAL(\"&\"+MID$(N$,J%*3+2,2)):NEXT:?&FE22=&11") +
           kReturn + "38?&FE20=?&248" + kReturn;
}

// The loader of a show with packed pictures, with pictures on the second
// side or with pictures in NuLA colours: as slideshowText, with each DATA
// line also saying whether the file is packed (*RUN: it unpacks itself)
// and on which drive it is, and, in a show with NuLA colours, each
// picture's entries (empty for one in the standard colours). The unpacking
// routine is loaded before the first packed picture (U% says whether it
// is), so that a picture stored whole is not kept waiting for it.
//
// The first picture is put in place in direct mode, before the program is
// typed in, so that it is not kept waiting for the typing either: VDU 21
// then keeps the typed lines off it, the program turns the screen back on
// (VDU 6), and its first round (S%=0) goes straight to waiting on it.
// A% to Z% keep their values through NEW and RUN.
std::string showText(std::span<const ShowPicture> shown, int delaySeconds)
{
    const bool nula = anyNula(shown);
    const bool raster = anyRaster(shown);
    const ShowPicture& first = shown.front();
    assert(first.drive == 0);
    const std::string firstShown =
        (changesLineByLine(*first.slide->conversion) ? rasterLoads("R." + first.dfsName) : "") +
        (first.packed ? "OSCLI\"LOAD UNPACK\":OSCLI\"RUN " + first.dfsName + "\""
                      : "OSCLI\"LOAD " + first.dfsName + "\"");
    std::string text = std::string("*BASIC") + kReturn + "U%=" + (first.packed ? "1" : "0") + ":S%=0" + kReturn +
                       directScreenText(*first.slide->conversion, firstShown, nula) + ":VDU21" + kReturn + "NEW" +
                       kReturn + "10" + "HIMEM=" + (raster ? rasterAddress() : std::string("&3000")) + ":D%=" +
                       std::to_string(delaySeconds * 100) + ":VDU6" + kReturn;
    if (nula)
        text += std::string("15ONERROR") + kNulaResetStatement + "MODE7:REPORT:END" + kReturn;
    text += "20REPEAT:RESTORE:FORI%=1TO" + std::to_string(shown.size()) + ":READF$,M%,P$" +
            (nula ? ",N$" : "") + ",C%,V%" + (raster ? ",R%" : "") + kReturn + "25IFS%=0 S%=1:GOTO60" + kReturn + "30VDU22,M%:" + kCursorOff +
            (nula ? ":?&FE22=&40" : "") + kReturn;
    if (nula)
        text += nulaLines();
    text += std::string("40IFP$>\"\" FORJ%=1TOLEN(P$):VDU19,J%-1,VAL(MID$(P$,J%,1));0;:NEXT") + kReturn +
            (raster ? std::string("45IFR%=1 G$=\"R.\"+F$:IFV%>0 G$=\":\"+STR$V%+\".\"+G$") + kReturn +
                          "46IFR%=1 OSCLI(\"LOAD RASTER\"):OSCLI(\"LOAD \"+G$)" + kReturn
                    : "") +
            "50IFV%>0 F$=\":\"+STR$V%+\".\"+F$" + kReturn +
            "54IFC%=1ANDU%=0 OSCLI(\"LOAD UNPACK\"):U%=1" + kReturn +
            "55IFC%=1 THEN OSCLI(\"RUN \"+F$) ELSE OSCLI(\"LOAD \"+F$)" + kReturn +
            "56OSCLI(\"FX15,1\")" + kReturn +
            (raster ? "60IFR%=1 " + rasterCall("(D%DIV2)") + " ELSE IFD%>0 THEN K%=INKEY(D%) ELSE K%=GET"
                    : std::string("60IFD%>0 THEN K%=INKEY(D%) ELSE K%=GET")) +
            kReturn + "70NEXT:UNTILFALSE" + kReturn;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const Conversion& conversion = *shown[i].slide->conversion;
        text += std::to_string(100 + i) + "DATA" + shown[i].dfsName + "," + std::to_string(conversion.mode()) + "," +
                paletteDigits(conversion) + "," +
                (nula ? (hasNula(conversion) ? nulaEntryDigits(conversion.screen) : "") + "," : "") +
                (shown[i].packed ? "1" : "0") + "," + std::to_string(shown[i].drive) +
                (raster ? (changesLineByLine(conversion) ? ",1" : ",0") : "") + kReturn;
    }
    return text + "RUN" + kReturn;
}

// The slideshow loader, typed into BASIC by *EXEC and run: one DATA line
// per picture (DFS name, mode, physical colour of each logical colour).
// VDU 22 changes mode without moving HIMEM, which is fixed below the
// lowest screen start first so BASIC's stack stays clear of the pictures.
// A show with pictures in NuLA colours has showText's loader, which sets them.
std::string slideshowText(std::span<const Slide> slides, std::span<const std::string> names, int delaySeconds)
{
    if (std::any_of(slides.begin(), slides.end(), [](const Slide& s) { return hasNula(*s.conversion); })) {
        std::vector<ShowPicture> shown;
        for (std::size_t i = 0; i < slides.size(); ++i)
            shown.push_back({&slides[i], names[i], std::nullopt, 0});
        return showText(shown, delaySeconds);
    }
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
        text += std::to_string(100 + i) + "DATA" + names[i] + "," + std::to_string(conversion.mode()) + "," +
                paletteDigits(conversion) + kReturn;
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

// The compressed discs' unpacking routine, loaded once into the I/O processor.
DiscFile unpackFile()
{
    const Assembly& routine = unpackRoutine();
    return {"UNPACK", '$', false, kIoProcessor | routine.origin, kIoProcessor | routine.origin, routine.bytes};
}

// The raster routine, loaded into the I/O processor before each picture
// whose palette changes line by line, and entered by CALL.
DiscFile rasterFile()
{
    const Assembly& routine = rasterRoutine();
    return {"RASTER", '$', false, kIoProcessor | routine.origin, kIoProcessor | routine.address("entry"),
            routine.bytes};
}

// A picture's writes for the raster routine, under its DFS name in
// directory R. The screen fits the routine's budget (checked by
// checkRasterScreens before any disc is made).
DiscFile rasterDataFile(const std::string& name, const Conversion& conversion)
{
    auto data = rasterProgramData(conversion.screen);
    assert(data.ok());
    return {name, 'R', false, kIoProcessor | kRasterDataOrigin, 0, std::move(data).value()};
}

DiscFile pictureFile(const std::string& name, const Conversion& conversion, const std::optional<PackedScreen>& packed)
{
    if (!packed)
        return screenFile(name, conversion);
    return {name, '$', false, packed->load, packed->exec, packed->file};
}

// As singleBootText, but *RUN puts the packed screen in place and unpacks it.
std::string packedBootText(const Conversion& conversion)
{
    return bootTextAround(conversion, "OSCLI\"LOAD UNPACK\":OSCLI\"RUN SCREEN\"");
}

bool anyPacked(std::span<const ShowPicture> shown)
{
    return std::any_of(shown.begin(), shown.end(), [](const ShowPicture& p) { return p.packed.has_value(); });
}

std::vector<std::string> showNames(std::span<const ShowPicture> shown)
{
    std::vector<std::string> names;
    for (const ShowPicture& picture : shown)
        names.push_back(picture.dfsName);
    return names;
}

std::vector<Slide> showSlides(std::span<const ShowPicture> shown)
{
    std::vector<Slide> slides;
    for (const ShowPicture& picture : shown)
        slides.push_back(*picture.slide);
    return slides;
}

// The catalogues of a show's sides: the loader (and the routine, when a
// picture is packed) on the first, each picture on its drive's side. A show
// with nothing packed on one side has slideshowText's loader (today's, in
// the standard colours).
std::vector<DiscCatalogue> showCatalogues(std::span<const ShowPicture> shown, int tracks, int delaySeconds,
                                          const std::string& title, int sides)
{
    std::vector<DiscCatalogue> catalogues;
    const bool todays = !anyPacked(shown) && !anyRaster(shown) && sides == 1;
    if (todays) {
        const auto names = showNames(shown);
        const auto slides = showSlides(shown);
        catalogues.push_back(slideshowCatalogue(slides, names, tracks, delaySeconds));
    } else {
        catalogues.push_back(bootCatalogue("", tracks, showText(shown, delaySeconds)));
    }
    catalogues.front().title = title;
    if (sides == 2)
        catalogues.push_back(DiscCatalogue{title.substr(0, 10) + " B", tracks, BootOption::None, {}});
    if (todays)
        return catalogues;  // the pictures are in today's catalogue already
    if (anyRaster(shown))
        catalogues.front().files.push_back(rasterFile());
    // Files lie on the disc in catalogue order: the routine goes just
    // before the first packed picture (or after the first side's pictures,
    // when that is on the second), so that pictures stored whole ahead of
    // it are not read later for it.
    bool routinePlaced = !anyPacked(shown);
    for (const ShowPicture& picture : shown) {
        auto& files = catalogues[picture.drive == 0 ? 0 : 1].files;
        if (!routinePlaced && (picture.packed || picture.drive != 0)) {
            catalogues.front().files.push_back(unpackFile());
            routinePlaced = true;
        }
        if (changesLineByLine(*picture.slide->conversion))
            files.push_back(rasterDataFile(picture.dfsName, *picture.slide->conversion));
        files.push_back(pictureFile(picture.dfsName, *picture.slide->conversion, picture.packed));
    }
    return catalogues;
}

bool catalogueFits(const DiscCatalogue& catalogue)
{
    int sectors = kDfsCatalogueSectors;
    for (const DiscFile& file : catalogue.files)
        sectors += dfsSectors(file.bytes.size());
    return catalogue.files.size() <= kDfsMaxFiles && sectors <= catalogue.tracks * kDfsSectorsPerTrack;
}

bool showFits(std::span<const ShowPicture> shown, int tracks, int delaySeconds, int sides)
{
    const auto catalogues = showCatalogues(shown, tracks, delaySeconds, "", sides);
    const auto& loader = catalogues.front().files.front().bytes;  // !BOOT
    return std::all_of(catalogues.begin(), catalogues.end(), catalogueFits) &&
           loaderFitsInMemory({loader.begin(), loader.end()}, anyRaster(shown));
}

// `picture` as the next picture of `show`: stored whole when packing it is
// sooner only once the routine is in memory and no picture before it in
// the show loads the routine.
ShowPicture nextInShow(ShowPicture picture, std::span<const ShowPicture> show)
{
    if (picture.packed && !picture.soonerLoadingRoutine && !anyPacked(show))
        picture.packed.reset();
    return picture;
}

// Fills shows in order: the first side, then (double-sided) the second, as
// many pictures as fit with the loader.
std::vector<std::vector<ShowPicture>> fillShows(std::vector<ShowPicture> pictures, int tracks, int delaySeconds,
                                               int sides, std::string& tooLarge)
{
    std::vector<std::vector<ShowPicture>> shows(1);
    for (const ShowPicture& offered : pictures) {
        auto& show = shows.back();
        ShowPicture picture = nextInShow(offered, show);
        const int side = show.empty() ? 0 : show.back().drive;
        bool placed = false;
        for (int drive = side; drive <= (sides == 2 ? 2 : 0) && !placed; drive += 2) {
            picture.drive = drive;
            show.push_back(picture);
            placed = showFits(show, tracks, delaySeconds, sides);
            if (!placed)
                show.pop_back();
        }
        if (placed)
            continue;
        picture = nextInShow(offered, {});
        picture.drive = 0;
        shows.push_back({picture});
        if (!showFits(shows.back(), tracks, delaySeconds, sides)) {
            tooLarge = picture.slide->name;
            return {};
        }
    }
    return shows;
}


// The raster routine and the picture's writes, on a boot disc whose
// palette changes line by line.
void addRasterFiles(DiscCatalogue& catalogue, const Conversion& conversion)
{
    if (!changesLineByLine(conversion))
        return;
    catalogue.files.push_back(rasterFile());
    catalogue.files.push_back(rasterDataFile("SCREEN", conversion));
}

// Whether the raster routine can show every picture whose palette changes
// line by line.
Status checkRasterScreens(std::span<const Slide> slides)
{
    for (const Slide& slide : slides) {
        if (!changesLineByLine(*slide.conversion))
            continue;
        const auto data = rasterProgramData(slide.conversion->screen);
        if (!data)
            return Failure{slide.name.empty() ? data.failure().subject : slide.name, data.failure().reason};
    }
    return Done{};
}

// A boot disc that holds the screen whole.
Result<DiscImage> plainBootDisc(const Conversion& conversion, int tracks, const std::string& title)
{
    DiscCatalogue catalogue = bootCatalogue(title, tracks, singleBootText(conversion));
    addRasterFiles(catalogue, conversion);
    catalogue.files.push_back(screenFile("SCREEN", conversion));
    auto bytes = buildDisc(catalogue);
    if (!bytes)
        return bytes.failure();
    return DiscImage{catalogue.title, std::move(bytes).value(), {{"", "SCREEN"}}};
}

// Whether a slideshow can wait `delaySeconds` between pictures.
Status checkDelay(int delaySeconds)
{
    if (delaySeconds >= 0 && delaySeconds <= kMaxSlideDelaySeconds)
        return Done{};
    return Failure{"delay", "must be 0 (wait for a key) to " + std::to_string(kMaxSlideDelaySeconds) +
                                " seconds, not " + std::to_string(delaySeconds)};
}

// The boot disc of one picture, packed as `packed` says.
Result<DiscImage> bootDisc(const Conversion& conversion, int tracks, const std::string& title,
                           const std::optional<PackedScreen>& packed)
{
    if (!packed)
        return plainBootDisc(conversion, tracks, title);
    DiscCatalogue catalogue = bootCatalogue(title, tracks, packedBootText(conversion));
    addRasterFiles(catalogue, conversion);
    catalogue.files.push_back(unpackFile());
    catalogue.files.push_back(pictureFile("SCREEN", conversion, packed));
    auto bytes = buildDisc(catalogue);
    if (!bytes)
        return bytes.failure();
    return DiscImage{catalogue.title, std::move(bytes).value(), {{"", "SCREEN"}}};
}

}  // namespace

Result<DiscImage> bootDisc(const Conversion& conversion, int tracks, bool compress, const std::string& title,
                           std::span<const std::uint8_t> stream)
{
    const Slide slide{"", &conversion};
    if (const Status raster = checkRasterScreens({&slide, 1}); !raster)
        return raster.failure();
    return bootDisc(conversion, tracks, title, compress ? packScreen(conversion, stream) : std::nullopt);
}

namespace {

// The DFS discs of a slideshow (or of one boot disc) as makeDiscSet lays
// them out, each side's bytes with the pictures on it.
struct MadeShow {
    std::string title;
    std::vector<std::vector<std::uint8_t>> sides;
    std::vector<ShowPicture> pictures;
};

Result<std::vector<MadeShow>> makeShows(std::span<const Slide> slides, const DiscSettings& settings, int sides)
{
    if (const Status raster = checkRasterScreens(slides); !raster)
        return raster.failure();
    if (slides.size() == 1) {
        const Conversion& conversion = *slides.front().conversion;
        auto packed = settings.compress ? packScreen(conversion, slides.front().stream) : std::nullopt;
        auto disc = bootDisc(conversion, settings.tracks, kBootDiscTitle, packed);
        if (!disc)
            return disc.failure();
        MadeShow show{disc.value().title, {disc.value().bytes}, {{&slides.front(), "SCREEN", std::move(packed), 0, true}}};
        if (sides == 2) {
            auto blank = buildDisc(DiscCatalogue{"", settings.tracks, BootOption::None, {}});
            show.sides.push_back(std::move(blank).value());
        }
        return std::vector<MadeShow>{std::move(show)};
    }
    if (const Status delay = checkDelay(settings.delaySeconds); !delay)
        return delay.failure();
    std::vector<std::string> pictureNames;
    for (const Slide& slide : slides)
        pictureNames.push_back(slide.name);
    const auto names = dfsNames(pictureNames);
    if (!names)
        return names.failure();
    std::vector<ShowPicture> pictures;
    for (std::size_t i = 0; i < slides.size(); ++i) {
        SlidePacking packing = settings.compress ? packSlide(*slides[i].conversion, slides[i].stream) : SlidePacking{};
        pictures.push_back({&slides[i], names.value()[i], std::move(packing.packed), 0, packing.soonerLoadingRoutine});
    }
    std::string tooLarge;
    const auto filled = fillShows(std::move(pictures), settings.tracks, settings.delaySeconds, sides, tooLarge);
    if (!tooLarge.empty())
        return Failure{tooLarge, "does not fit on a disc of " + std::to_string(settings.tracks) + " tracks"};
    std::vector<MadeShow> shows;
    for (const auto& shown : filled) {
        const std::string title = "SLIDES " + std::to_string(shows.size() + 1);
        MadeShow show{title, {}, shown};
        for (const DiscCatalogue& catalogue : showCatalogues(shown, settings.tracks, settings.delaySeconds, title, sides)) {
            auto bytes = buildDisc(catalogue);
            if (!bytes)
                return bytes.failure();
            show.sides.push_back(std::move(bytes).value());
        }
        shows.push_back(std::move(show));
    }
    return shows;
}

}  // namespace

Result<DiscSet> makeDiscSet(std::span<const Slide> slides, const DiscSettings& settings)
{
    const int sides = settings.kind == DiscKind::DoubleSided ? 2 : 1;
    const auto shows = makeShows(slides, settings, sides);
    if (!shows)
        return shows.failure();
    DiscSet set;
    std::vector<MmbDisc> mmb;
    for (const MadeShow& show : shows.value()) {
        const std::size_t file = settings.kind == DiscKind::Mmb ? 0 : set.files.size();
        const std::size_t disc = settings.kind == DiscKind::Mmb ? mmb.size() : set.discs;
        for (const ShowPicture& picture : show.pictures)
            set.pictures.push_back({picture.slide->name, picture.dfsName, file,
                                    settings.kind == DiscKind::Mmb ? disc : disc + (picture.drive == 2 ? 1 : 0),
                                    picture.drive, picture.packed.has_value()});
        set.discs += show.sides.size();
        if (settings.kind == DiscKind::Mmb)
            mmb.push_back({show.title, show.sides.front()});
        else if (sides == 2)
            set.files.push_back(doubleSidedImage(show.sides[0], show.sides[1], settings.tracks));
        else
            set.files.push_back(show.sides.front());
    }
    if (settings.kind == DiscKind::Mmb) {
        auto file = mmbImage(mmb);
        if (!file)
            return file.failure();
        set.files.push_back(std::move(file).value());
    }
    return set;
}
