#pragma once

#include "conversion/screen.h"

#include <QImage>

// `screen` as the machine shows it, stretched to the 640 x 512 display
// grid every mode fills: what the dialogs preview.
QImage displayImage(const Screen& screen);
