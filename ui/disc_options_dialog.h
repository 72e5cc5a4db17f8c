#pragma once

#include "outputs/compression/zx02.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

// What a disc image is made with: 40 or 80 tracks, the title its catalogue
// shows (up to 12 printable characters), for a slideshow, the seconds each
// picture stays before the next (0: until a key is pressed), and whether
// the screens are packed with the thorough search, smallest but slow.
struct DiscOptions {
    int tracks = 80;
    QString title = QStringLiteral("RASTERINE");
    int delaySeconds = 0;
    bool thorough = false;

    Zx02Search search() const { return thorough ? Zx02Search::Thorough : Zx02Search::Quick; }

    friend bool operator==(const DiscOptions&, const DiscOptions&) = default;
};

// Asks for the options, starting from `start`; the delay is asked only with
// `askDelay`, for a slideshow, whose discs keep the titles the command line
// gives them (SLIDES 1, SLIDES 2 ...; the title is shown, not asked, and
// `start`'s comes back). Nothing when the user cancels.
using DiscOptionsChooser = std::function<std::optional<DiscOptions>(QWidget* parent, const DiscOptions& start,
                                                                   bool askDelay)>;

// The "Disc Options" dialog, modal over `parent`.
std::optional<DiscOptions> chooseDiscOptions(QWidget* parent, const DiscOptions& start, bool askDelay);
