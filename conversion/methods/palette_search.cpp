#include "conversion/methods/palette_search.h"

#include "conversion/methods/error_diffusion.h"
#include "conversion/methods/picture_score.h"

#include <algorithm>
#include <cassert>

namespace {

constexpr int kReduction = 4;

// Adds to `sets` every way of filling `chosen` from position `size` on with
// ascending colours from `from` up.
void addSets(const ScreenMode& mode, std::array<std::uint8_t, 8>& chosen, int size, int from,
             std::vector<MethodPalette>& sets)
{
    if (size == mode.numcols) {
        sets.push_back(methodPalette(chosen, size));
        return;
    }
    for (int colour = from; colour < 8; ++colour) {
        chosen[static_cast<std::size_t>(size)] = static_cast<std::uint8_t>(colour);
        addSets(mode, chosen, size + 1, colour + 1, sets);
    }
}

}  // namespace

MethodPalette defaultPalette(const ScreenMode& mode)
{
    std::array<std::uint8_t, 8> physical{};
    for (std::size_t i = 0; i < static_cast<std::size_t>(mode.numcols); ++i)
        physical[i] = physicalColour(mode.palette[i]);
    return methodPalette(physical, mode.numcols);
}

std::vector<MethodPalette> candidatePalettes(const ScreenMode& mode)
{
    if (mode.numcols == 8)
        return {defaultPalette(mode)};
    std::vector<MethodPalette> sets;
    std::array<std::uint8_t, 8> chosen{};
    addSets(mode, chosen, 0, 0, sets);
    return sets;
}

PaletteJudge::PaletteJudge(const LinearImage& source, const ScreenMode& mode)
    : reduced_(areaAverage(source, std::max(1, source.width / kReduction), std::max(1, source.height / kReduction))),
      scaleX_(kDisplayWidth / mode.screenPixelsPerLine()),
      reference_(areaAverage(reduced_, reduced_.width * scaleX_, reduced_.height * 2))
{
}

double PaletteJudge::score(const MethodPalette& palette) const
{
    ScoreScratch scratch;
    return score(palette, scratch);
}

double PaletteJudge::score(const MethodPalette& palette, ScoreScratch& scratch) const
{
    const IndexImage dithered = diffuseError(reduced_, palette, DiffusionKernel::SierraLite);
    return reference_.distance(dithered, palette, scaleX_, 2, scratch);
}

namespace {

bool holds(const MethodPalette& palette, std::uint8_t colour)
{
    return std::find(palette.physical.begin(), palette.physical.begin() + palette.count, colour) !=
           palette.physical.begin() + palette.count;
}

}  // namespace

MethodPalette bestPalette(const LinearImage& source, const ScreenMode& mode, std::optional<std::uint8_t> holding)
{
    const PaletteJudge judge(source, mode);
    std::vector<MethodPalette> candidates = candidatePalettes(mode);
    if (holding)
        std::erase_if(candidates, [colour = *holding](const MethodPalette& p) { return !holds(p, colour); });
    ScoreScratch scratch;
    std::size_t best = 0;
    double bestScore = judge.score(candidates[0], scratch);
    for (std::size_t i = 1; i < candidates.size(); ++i)
        if (const double s = judge.score(candidates[i], scratch); s < bestScore) {
            bestScore = s;
            best = i;
        }
    return candidates[best];
}

MethodPalette choosePalette(const PaletteChoice& choice, const ScreenMode& mode, const LinearImage& source,
                            std::optional<std::uint8_t> holding)
{
    assert(!paletteProblem(choice, mode.number));
    switch (choice.kind) {
    case PaletteChoice::Kind::Best: return bestPalette(source, mode, holding);
    case PaletteChoice::Kind::Named: return methodPalette(choice.colours, choice.count);
    case PaletteChoice::Kind::Default: break;
    }
    return defaultPalette(mode);
}

std::string paletteStatement(const std::array<std::uint8_t, 8>& palette, const ScreenMode& mode)
{
    std::string statement;
    for (int logical = 0; logical < mode.numcols; ++logical) {
        const std::uint8_t physical = palette[static_cast<std::size_t>(logical)];
        if (physical != physicalColour(mode.palette[static_cast<std::size_t>(logical)]))
            statement += (statement.empty() ? "VDU " : "") + std::to_string(19) + "," +
                         std::to_string(logical) + "," + std::to_string(physical) + ";0;";
    }
    return statement;
}
