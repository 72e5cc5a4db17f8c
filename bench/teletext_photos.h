#pragma once

#include "conversion/classic/conversion_state.h"

#include <memory>
#include <string>
#include <vector>

// Made-up photographs for measuring mode 7: a landscape, a sunset, a face, a
// leafy texture, a sea, a street of houses and soft colour discs, each with a
// little grain, the same every run.
struct SyntheticPhoto {
    std::string name;
    std::unique_ptr<ConversionState> state;  // planes filled, start values set
};

std::vector<SyntheticPhoto> syntheticPhotos();
