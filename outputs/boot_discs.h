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
// its conversion, which must outlive the call.
struct Slide {
    std::string name;
    const Conversion* conversion = nullptr;
};

// Discs that show `slides` in turn when booted, filled in order, as many
// as are needed. A key moves on; with `delaySeconds` above 0, so does that
// much time. After the last picture of a disc it starts again. Fails,
// before any disc is made, on a delay out of range or names that cannot be
// told apart (see dfsNames).
Result<std::vector<DiscImage>> slideshowDiscs(std::span<const Slide> slides, int tracks, int delaySeconds);
