#pragma once

#include "platform/failure.h"

#include <string>
#include <vector>

// The BBC Micro names a screen file and its companions go by, as their .inf
// lines give them to host filing systems and disc tools.
struct ScreenNames {
    std::string screen;  // "$.SCREEN"
    std::string nula;    // the .nula file's, "$.NULA"
    std::string packed;  // the .zx02 file's, "$.SCREENZ"
    friend bool operator==(const ScreenNames&, const ScreenNames&) = default;
};

// A file named "$.screen", as the window writes, keeps the names it has
// always had: $.SCREEN, $.NULA and $.SCREENZ. Any other screen file is
// $.NAME, its .nula N.NAME and its .zx02 Z.NAME, NAME made from the file's
// own name (without its folder, a leading "$." and its last extension) as
// disc names are made from pictures' names (see dfsNames): "Aqua.screen"
// is $.AQUA, N.AQUA and Z.AQUA.
ScreenNames screenNames(const std::string& screenFile);

// The names of every screen file of a batch, in the same order, each NAME
// different from the others' as on a disc; fails as dfsNames does when more
// than nine files come down to one name.
Result<std::vector<ScreenNames>> screenNames(const std::vector<std::string>& screenFiles);
