#pragma once

#include "outputs/inf_reading.h"
#include "outputs/screen_decoding.h"
#include "platform/failure.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A screen's memory as read from a file or a disc, before the mode it is
// shown in is settled.
struct FoundScreen {
    std::string name;                  // the file's, or its disc's and its own
    std::vector<std::uint8_t> memory;  // screen memory, unpacked
    std::vector<int> modes;            // the modes that fit, most likely first; one when known
    ScreenColours colours;             // what the .nula file or !BOOT says
    bool packed = false;               // read from a ZX02 stream

    friend bool operator==(const FoundScreen&, const FoundScreen&) = default;
};

// The modes whose screen is `bytes` long (20480: 0, 1, 2; 10240: 4, 5;
// 1000: 7), narrowed by a load address that is one of them's screen start
// (&3000, &5800, &7C00; bits above 16 are the processor's and not read).
// Empty when no mode's screen has that length.
std::vector<int> screenModesFor(std::size_t bytes, std::optional<std::uint32_t> load = std::nullopt);

// The screen memory of one of our ZX02-packed files: a disc's (its stream,
// then the screen start and the stream's start, ending at &8000) or a bare
// stream (FILE.zx02). Nothing when `file` is neither, or unpacks to no
// mode's screen.
std::optional<std::vector<std::uint8_t>> unpackedScreenFile(std::span<const std::uint8_t> file);

// The screen in a file named `name`: screen memory as it is, or one of our
// packed files; `inf` from its .inf side file, `nula` the bytes of its .nula
// file, when there are. Fails, naming the file, when it is no screen, or
// the .nula file is not 32 bytes.
Result<FoundScreen> readScreenFile(const std::string& name, std::span<const std::uint8_t> bytes,
                                   const std::optional<InfFields>& inf = std::nullopt,
                                   std::optional<std::span<const std::uint8_t>> nula = std::nullopt);

// The words of a failure that a file is no screen.
std::string screenLengthsText();

// Whether a file of `bytes` bytes can be a screen at all, packed or not:
// checked before a file is read, so that a large file that is no screen
// is refused without reading it.
Status checkScreenFileLength(const std::string& name, std::uint64_t bytes);
