#pragma once

#include <QString>

// Writes a made-up 17.9-megapixel photograph (5640 x 3172: gradients, soft
// shapes and sensor-like grain, so it compresses like a real photo, about
// 6 MB) as a JPEG of quality 92 into `folder`, and returns its path. A
// progressive JPEG is written instead when asked.
QString writeBigPhoto(const QString& folder, bool progressive);
