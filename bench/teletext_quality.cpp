// Scores mode 7 conversions of the made-up photos (teletext_photos.h): the
// row programme against the plain yardstick converter, by teletextScore
// (lower is better), with the ratio of the two and their medians, and the
// flips down each one's left edge (leftEdgeFlips, edge_flips.h).
// Usage: teletext_quality [OUTPUT_FOLDER]  — with a folder, also writes each
// photo, conversion and yardstick as a 640 x 500 PPM picture there.
#include "conversion/entry/picture_conversion.h"
#include "conversion/teletext/edge_flips.h"
#include "conversion/teletext/teletext_conversion.h"
#include "conversion/teletext_renderer.h"
#include "conversion/colour_space.h"
#include "plain_teletext.h"
#include "teletext_photos.h"
#include "teletext_score.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

void writePpm(const std::string& file, const LinearImage& image)
{
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << image.width << ' ' << image.height << "\n255\n";
    for (const LinearRgb& p : image.pixels) {
        const Color c = toSrgb(p);
        out.put(static_cast<char>(c.red)).put(static_cast<char>(c.green)).put(static_cast<char>(c.blue));
    }
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : "";
    std::vector<double> ours, plain, ratios, ourFlips, plainFlips;
    std::printf("%-10s %10s %10s %8s %6s %6s\n", "photo", "programme", "plain", "ratio", "flips", "plain");
    for (const SyntheticPhoto& photo : syntheticPhotos()) {
        const LinearImage picture = planesLinear(*photo.state);
        const TeletextScreen converted = convertToTeletext(picture);
        const TeletextScreen yardstick = plainTeletext(picture);
        ours.push_back(teletextScore(picture, converted));
        plain.push_back(teletextScore(picture, yardstick));
        ratios.push_back(ours.back() / plain.back());
        ourFlips.push_back(leftEdgeFlips(converted));
        plainFlips.push_back(leftEdgeFlips(yardstick));
        std::printf("%-10s %10.3f %10.3f %8.3f %6.0f %6.0f\n", photo.name.c_str(), ours.back(), plain.back(),
                    ratios.back(), ourFlips.back(), plainFlips.back());
        if (!folder.empty()) {
            writePpm(folder + "/" + photo.name + "-source.ppm", areaAverage(picture, kTeletextWidth, kTeletextHeight));
            writePpm(folder + "/" + photo.name + "-mode7.ppm", teletextLinear(converted));
            writePpm(folder + "/" + photo.name + "-plain.ppm", teletextLinear(yardstick));
        }
    }
    std::printf("%-10s %10.3f %10.3f %8.3f %6.1f %6.1f  (median ratio %.3f)\n", "median", median(ours),
                median(plain), median(ours) / median(plain), median(ourFlips), median(plainFlips), median(ratios));
}
