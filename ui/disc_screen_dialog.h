#pragma once

#include "outputs/disc_screens.h"

#include <QString>

#include <cstddef>
#include <optional>

class QWidget;

// The "Open Screen from Disc" dialog, modal over `parent`: every disc of
// `contents` with its catalogue (name, load and execution address, length),
// the files that are screens selectable. The place of the chosen screen in
// `contents.screens`; nothing when the user cancels.
std::optional<std::size_t> chooseDiscScreen(QWidget* parent, const QString& discName, const DiscContents& contents);
