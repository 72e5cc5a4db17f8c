#pragma once

#include "outputs/dfs_reading.h"
#include "outputs/screen_reading.h"
#include "platform/failure.h"

#include <span>
#include <string>
#include <vector>

// One DFS disc of an image: where it is in the container and its catalogue.
struct ListedDisc {
    std::string label;  // "" for an .ssd, "side 2", "disc 3 SLIDES 4"
    int drive = 0;
    ReadCatalogue catalogue;
    // For each catalogue entry, its place in DiscContents::screens, or -1
    // for a file that is no screen.
    std::vector<int> screenOfFile;
};

// What a disc image holds: every disc's catalogue and the files among them
// that are screens (of a screen's length, or our packed screens, unpacked),
// each with the mode and colours its disc's !BOOT gives it, when it does.
struct DiscContents {
    std::vector<ListedDisc> discs;
    std::vector<FoundScreen> screens;  // in catalogue order, disc by disc
};

// Reads a disc image of the kind `container`. Fails, saying why, when the
// image is too short, a catalogue is damaged or a file lies past the end of
// the image; a disc with no screen on it is not a failure.
Result<DiscContents> readDiscImage(std::span<const std::uint8_t> image, DiscContainer container);
