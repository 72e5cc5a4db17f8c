// Fuzzes the conversion engine: arbitrary options and planes in, screen bytes
// and preview out, checked against the mode's invariants and against the
// reference pass that visits the screen byte by byte the long way.
//
// Mode 7 goes through the engine entry, convertWithSettings, to the teletext
// converter, and is checked against its own invariants.
//
// Input layout: byte 0 picks the mode (0, 1, 2, 4, 5, 7), byte 1 the half-tone,
// byte 2 holds flags (1: stagger, 2: source-column mapping off, 4: a
// picture smaller than 320 x 256 whose size bytes 3 and 4 give); the rest,
// repeated as often as needed, fills the planes red, green, blue per pixel.
#include "tests/engine_steps.h"
#include "screen_invariants.h"

#include "conversion/classic/halftone.h"
#include "conversion/entry/picture_conversion.h"
#include "../tests/test_support.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

constexpr std::array<int, 6> kModes{0, 1, 2, 4, 5, 7};
constexpr std::size_t kHeader = 5;

std::uint8_t at(const std::uint8_t* data, std::size_t size, std::size_t i)
{
    return i < size ? data[i] : 0;
}

void setOptions(ConversionState& state, const std::uint8_t* data, std::size_t size)
{
    state.setStartValues();
    state.curmode = kModes[at(data, size, 0) % kModes.size()];
    state.htone = at(data, size, 1) % 5;
    const std::uint8_t flags = at(data, size, 2);
    state.stagger = (flags & 1) != 0;
    if (flags & 2)
        state.aspect = 0;
    if (flags & 4) {
        state.picwidth = at(data, size, 3) % (kPictureWidth + 1);
        state.picheight = at(data, size, 4) % (kPictureHeight + 1);
    }
}

void fillPlanesFrom(ConversionState& state, const std::uint8_t* data, std::size_t size)
{
    if (size <= kHeader)
        return;
    const std::uint8_t* pixels = data + kHeader;
    const std::size_t count = size - kHeader;
    std::size_t next = 0;
    auto take = [&] { return pixels[next++ % count]; };
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x) {
            state.red(x, y) = take();
            state.green(x, y) = take();
            state.blue(x, y) = take();
        }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto state = std::make_unique<ConversionState>();
    setOptions(*state, data, size);
    fillPlanesFrom(*state, data, size);
    if (state->curmode == 7) {
        BufferSurface preview(kPictureWidth, kPictureHeight);
        const Conversion screen = convertWithSettings(settingsOf(*state), *state, LinearImage(), preview);
        checkTeletextInvariants(screen, preview);
        return 0;
    }
    InitVars(*state);
    InitMat(*state);

    BufferSurface preview(kPictureWidth, kPictureHeight);
    require(!conversionProblem(*state), "valid options refused");
    const Conversion screen = convertPlanes(*state, preview);
    checkScreenInvariants(*state, screen.bytes(), preview);

    BufferSurface expectedPreview(kPictureWidth, kPictureHeight);
    require(screen.bytes() == referencePass(*state, expectedPreview),
            "screen bytes differ from the reference pass");
    require(preview.pixels() == expectedPreview.pixels(), "preview differs from the reference pass");
    return 0;
}
