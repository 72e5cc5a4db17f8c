#pragma once

#include <QByteArray>

// `png` with an iCCP chunk whose profile libpng takes for one of HP's 1998
// sRGB profiles that it knows to be wrong: libpng then warns "iCCP: known
// incorrect sRGB profile" and decodes the picture all the same, as it does
// for many photos saved by older software. libpng recognises the profile by
// its length, rendering intent and Adler-32 and CRC-32 checksums alone, so
// the profile is built to have those: a valid header and no tags.
QByteArray withKnownIncorrectSrgbProfile(const QByteArray& png);
