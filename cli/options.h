#pragma once

#include "cli/convert_picture.h"
#include "cli/decode_screen.h"
#include "cli/disc_output.h"

#include "platform/failure.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>
#include <vector>

// What the user asked rasterine-convert to do.
struct Options {
    Settings settings;
    std::vector<PictureJob> jobs;  // one per picture, in command-line order
    int threads = 1;               // conversions run side by side
    bool verbose = false;          // name every file written
    std::optional<DiscRequest> disc;  // --disc: bootable disc images too
};

// --help or --version: text for standard output, then a successful exit.
struct TextToPrint {
    QString text;
};

// What the command line asks for: pictures to convert, text to print, or
// (--decode) a screen turned back into a picture.
using Command = std::variant<Options, TextToPrint, DecodeJob>;

// Reads the arguments (program name first) and works out every picture's
// output files, refusing combinations that would overwrite one output with
// another or a picture with its own output. Arguments that cannot be carried
// out fail before anything is read or written: the failure's subject is the
// program's name, its reason what is wrong.
Result<Command> parseCommandLine(const QStringList& arguments);

// One line telling the user where to look after a usage error.
QString usageHint();
