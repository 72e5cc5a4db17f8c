#pragma once

#include "conversion/conversion.h"
#include "platform/failure.h"

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

// The longest slideshow delay: BASIC's INKEY waits at most 32767 centiseconds.
inline constexpr int kMaxSlideDelaySeconds = 327;

// One finished disc image and what it holds.
struct DiscImage {
    std::string title;
    std::vector<std::uint8_t> bytes;  // the whole .ssd
    // (picture name, DFS name) of every picture on it, in showing order.
    std::vector<std::pair<std::string, std::string>> pictures;
};

// A disc that shows `conversion` when booted (Shift+Break): !BOOT, run by
// *EXEC, selects BASIC, sets the mode and any palette that differs from the
// mode's default, turns the cursor off, loads $.SCREEN into the I/O
// processor's screen memory and waits for a key, then returns to MODE 7.
// The catalogue carries `title` (see buildDisc for what DFS accepts).
inline constexpr const char* kBootDiscTitle = "RASTERINE";
Result<DiscImage> bootDisc(const Conversion& conversion, int tracks, const std::string& title = kBootDiscTitle);

// A picture for a slideshow: its name (from which its DFS name comes) and
// its conversion, which must outlive the call, as must `stream`: the
// screen's ZX02 stream when it was made already (with the picture, on the
// thread that converted it), else empty and made here when a compressed
// disc needs it.
struct Slide {
    std::string name;
    const Conversion* conversion = nullptr;
    std::span<const std::uint8_t> stream = {};
};

// Discs that show `slides` in turn when booted, filled in order, as many
// as are needed. A key moves on; with `delaySeconds` above 0, so does that
// much time. After the last picture of a disc it starts again. Fails,
// before any disc is made, on a delay out of range or names that cannot be
// told apart (see dfsNames).
Result<std::vector<DiscImage>> slideshowDiscs(std::span<const Slide> slides, int tracks, int delaySeconds);

// What kind of disc file: single-sided (.ssd), double-sided with a DFS disc
// on each side (.dsd, drives 0 and 2), or an MMB file of single-sided discs
// for MMFS (.mmb).
enum class DiscKind { Single, DoubleSided, Mmb };

struct DiscSettings {
    int tracks = 80;        // 40 or 80, per side
    int delaySeconds = 0;   // slideshow: 0 waits for a key
    bool compress = true;   // screens packed with ZX02 where that makes them smaller
    DiscKind kind = DiscKind::Single;
};

// Where one picture went: the disc file (0 for an .mmb or the only file,
// else FILE-1, FILE-2 ... in order), the DFS disc inside it (the side of a
// .dsd, the slot of an .mmb), its drive on that disc's show (0, or 2 for
// the second side) and its DFS name; packed when it is stored compressed.
struct PlacedPicture {
    std::string name;
    std::string dfsName;
    std::size_t file = 0;
    std::size_t disc = 0;
    int drive = 0;
    bool packed = false;
};

struct DiscSet {
    std::vector<std::vector<std::uint8_t>> files;  // each disc file's bytes
    std::vector<PlacedPicture> pictures;            // in showing order
    std::size_t discs = 0;                          // DFS discs (sides) made
};

// The disc files for `slides`: one picture boots straight into it, several
// make a slideshow. Single-sided discs are filled in turn as today; a
// double-sided disc's loader shows the pictures of both its sides; an MMB
// file holds every disc of the show, each booting on its own. Uncompressed
// .ssd discs are byte for byte those of bootDisc and slideshowDiscs.
// Compressed discs also hold the unpacking routine, $.UNPACK; each packed
// picture's file is *RUN into place (see packScreen). Fails as
// slideshowDiscs does, or when an MMB file would need more than 511 discs.
Result<DiscSet> makeDiscSet(std::span<const Slide> slides, const DiscSettings& settings);

// A boot disc for `conversion` as makeDiscSet makes it with `compress`.
Result<DiscImage> bootDisc(const Conversion& conversion, int tracks, bool compress);
// The same disc with the catalogue title `title` (see buildDisc), from the
// screen's ZX02 stream `stream` when it is already made.
Result<DiscImage> bootDisc(const Conversion& conversion, int tracks, bool compress, const std::string& title,
                           std::span<const std::uint8_t> stream = {});
