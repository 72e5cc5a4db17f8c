#pragma once

#include <QIcon>

// Rasterine's application icon in every size it is drawn at (16 to 256
// pixels square), from the resources compiled into the program.
QIcon rasterineIcon();
