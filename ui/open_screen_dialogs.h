#pragma once

#include "outputs/disc_screens.h"
#include "ui/open_screen.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <optional>

class QWidget;

// What openScreen asks the user, one function each, so that tests can
// answer in place of the dialogs: which of a disc's screens, which mode and
// colours for a screen whose mode its file does not settle, and the
// message shown when the file is no screen.
struct OpenScreenDialogs {
    std::function<std::optional<std::size_t>(QWidget*, const QString& discName, const DiscContents&)> chooseDiscScreen;
    std::function<std::optional<Screen>(QWidget*, const FoundScreen&)> chooseLook;
    std::function<void(QWidget*, const QString& message)> tellFailure;
};

// The window's own dialogs.
OpenScreenDialogs standardOpenScreenDialogs();

// openScreen, asking through `dialogs`.
std::optional<OpenedScreen> openScreen(QWidget* parent, const QString& path, const OpenScreenDialogs& dialogs);
