#pragma once

#include "platform/failure.h"

#include <string>
#include <vector>

// A DFS name for each picture name, in the same order: its letters and
// digits in upper case, at most 7 of them (a long name keeps up to four
// trailing digits, so "scan-page-012" becomes "SCAN012"); a name
// already taken is shortened and numbered 2 to 9 ("HOLIDAY", "HOLIDA2").
// A name with no letters or digits counts as "PICTURE". More than nine
// pictures that come down to the same name cannot be told apart: a failure
// naming the tenth.
Result<std::vector<std::string>> dfsNames(const std::vector<std::string>& pictureNames);
