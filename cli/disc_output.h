#pragma once

#include "cli/convert_picture.h"
#include "cli/exit_status.h"
#include "outputs/boot_discs.h"
#include "recipe/disc_files.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

// A bootable disc image asked for with --disc: one picture boots straight
// into it, several make a slideshow over as many discs as they need. FILE
// ending in .dsd makes double-sided discs, in .mmb one MMB file of discs.
struct DiscRequest {
    QString file;                         // as given with --disc
    int tracks = 80;                      // 40 or 80
    int delaySeconds = 0;                 // slideshow: 0 waits for a key
    std::vector<std::string> slideNames;  // each picture's name without extension
    QStringList discFiles;                // FILE, or FILE-1.ssd, FILE-2.ssd ... for several discs
    bool compress = true;                 // --no-compress: today's uncompressed discs
};

// Works out the discs `request` will become for pictures converted in
// `mode` (in VideoNuLA colours with `nula`), before any picture is read:
// fills in discFiles, or fails with why the pictures cannot go on discs
// (names DFS cannot tell apart). Compressed pictures can only need fewer
// discs than these, planned as if stored whole.
Status planDiscs(DiscRequest& request, int mode, bool nula);

// Builds the discs from every picture's conversion, in command-line order,
// with its ZX02 stream where one was made with it (else made here), and
// writes them all or none; prints which DFS name each slideshow picture
// got. Nothing is written unless every picture was converted. Problems go
// to standard error, the files written (with `verbose`) to standard output.
ExitStatus writeDiscs(const DiscRequest& request, const std::vector<PictureJob>& jobs,
                      const std::vector<std::optional<Conversion>>& conversions,
                      const std::vector<std::vector<std::uint8_t>>& streams, bool verbose);
