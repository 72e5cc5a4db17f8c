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

inline constexpr const char* kBootDiscTitle = "RASTERINE";

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
// make a slideshow. A key moves on; with a delay above 0, so does that much
// time; after the last picture of a disc it starts again. Single-sided
// discs are filled in turn, as many as are needed; a double-sided disc's
// loader shows the pictures of both its sides; an MMB file holds every disc
// of the show, each booting on its own. Compressed discs also hold the
// unpacking routine, $.UNPACK; each packed picture's file is *RUN into
// place (see packScreen). Fails, before any disc is made, on a delay out of
// range, names that cannot be told apart (see dfsNames), a picture that
// fits no disc, or an MMB file that would need more than 511 discs.
Result<DiscSet> makeDiscSet(std::span<const Slide> slides, const DiscSettings& settings);

// A disc that shows `conversion` when booted (Shift+Break): !BOOT, run by
// *EXEC, selects BASIC, sets the mode and any palette that differs from the
// mode's default (or the NuLA colours), turns the cursor off, loads $.SCREEN
// into the I/O processor's screen memory (with `compress`, packed where that
// shows it sooner, see packScreen) and waits for a key, then returns to MODE
// 7. The catalogue carries `title` (see buildDisc for what DFS accepts);
// `stream` is the screen's ZX02 stream when it is made already. The disc
// makeDiscSet makes of one picture.
Result<DiscImage> bootDisc(const Conversion& conversion, int tracks, bool compress,
                           const std::string& title = kBootDiscTitle, std::span<const std::uint8_t> stream = {});
