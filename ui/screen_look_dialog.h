#pragma once

#include "conversion/screen.h"
#include "outputs/screen_reading.h"

#include <optional>

class QWidget;

// The "Screen Mode and Colours" dialog, modal over `parent`: the modes
// `found` fits to choose from, each previewed as it shows the memory, and
// its colours: the physical colour of each logical colour (VDU 19), or,
// ticked, the VideoNuLA colour of each as three hex digits (red, green,
// blue). Starts from the colours the file came with. The screen as chosen;
// nothing when the user cancels.
std::optional<Screen> chooseScreenLook(QWidget* parent, const FoundScreen& found);
