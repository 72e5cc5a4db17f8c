#pragma once

#include "outputs/screen_decoding.h"

#include <span>
#include <string>
#include <vector>

// What a disc's !BOOT says of the screens it shows, as our boot discs and
// slideshows write it (see boot_discs.h): each screen's DFS name, its
// drive, its mode and its colours (VDU 19 changes, or the VideoNuLA
// entries it programs).
struct BootScreen {
    std::string name;  // without the directory: "SCREEN", "PHOTO"
    int drive = 0;
    int mode = 0;
    ScreenColours colours;
    friend bool operator==(const BootScreen&, const BootScreen&) = default;
};

// The screens `bootText` shows: the one a boot disc loads after MODE, and
// every DATA line of a slideshow's loader. Text of any other kind (someone
// else's !BOOT, a program) gives none; it is never an error.
std::vector<BootScreen> bootScreens(std::span<const std::uint8_t> bootText);
