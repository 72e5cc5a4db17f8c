#pragma once

#include "conversion/entry/convert.h"
#include "picture/picture_loader.h"

#include <QImage>

// What the engine reads of a loaded picture: its 320 x 256 canvas and, when
// it was loaded with its detail, that detail in linear light.
SourcePicture sourcePicture(const LoadedPicture& picture);

// The canvas pixels of a 320 x 256 picture.
BufferSurface canvasPixels(const QImage& canvas);

// A preview or any other painted surface, as a picture Qt can show or save.
QImage surfaceImage(const BufferSurface& surface);
