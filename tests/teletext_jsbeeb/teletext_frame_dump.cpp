// Draws a mode 7 screen file (1000 bytes) as Rasterine's renderer draws it:
// 640 x 500 pixels, written as raw RGB bytes, row by row, to standard output.
// For compare_with_jsbeeb.mjs. Usage: teletext_frame_dump SCREEN_FILE
#include "conversion/teletext_renderer.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: teletext_frame_dump SCREEN_FILE\n");
        return 2;
    }
    TeletextScreen screen;
    std::FILE* file = std::fopen(argv[1], "rb");
    const bool whole = file != nullptr && std::fread(screen.bytes.data(), 1, screen.bytes.size(), file) == screen.bytes.size();
    if (file != nullptr)
        std::fclose(file);
    if (!whole) {
        std::fprintf(stderr, "teletext_frame_dump: %s: not a 1000-byte screen\n", argv[1]);
        return 1;
    }
    BufferSurface frame(kTeletextWidth, kTeletextHeight);
    drawTeletext(screen, frame);
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const Color c = frame.pixel(x, y);
            const unsigned char rgb[3] = {c.red, c.green, c.blue};
            std::fwrite(rgb, 1, 3, stdout);
        }
    return 0;
}
