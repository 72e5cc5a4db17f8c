#include "ui/edit/screen_document.h"

#include "conversion/screen_layout.h"

#include <QUndoCommand>

#include <algorithm>
#include <utility>

namespace {

// Pixel changes: undo puts back each `before`, redo each `after`. The
// first redo, when the stack takes the command, may find them made
// already (a stroke paints as it goes); making them again is harmless.
class PixelsCommand final : public QUndoCommand {
public:
    PixelsCommand(ScreenDocument& document, std::vector<PixelChange> changes, const QString& text)
        : QUndoCommand(text), document_(document), changes_(std::move(changes))
    {
    }
    void undo() override { document_.applyPixels(changes_, true); }
    void redo() override { document_.applyPixels(changes_, false); }

private:
    ScreenDocument& document_;
    std::vector<PixelChange> changes_;
};

class PaletteCommand final : public QUndoCommand {
public:
    PaletteCommand(ScreenDocument& document, std::size_t index, LinePalette before, LinePalette after,
                   const QString& text)
        : QUndoCommand(text), document_(document), index_(index), before_(std::move(before)), after_(std::move(after))
    {
    }
    void undo() override { document_.applyPalette(index_, before_); }
    void redo() override { document_.applyPalette(index_, after_); }

private:
    ScreenDocument& document_;
    std::size_t index_;
    LinePalette before_, after_;
};

QRect areaOf(const std::vector<PixelChange>& changes, int width)
{
    QRect area;
    for (const PixelChange& change : changes)
        area |= QRect(change.index % width, change.index / width, 1, 1);
    return area;
}

// The document edits every pixel of the screen: the painted area is all of
// it. The packer writes 0 for the lines below the painted area whatever
// their pixels hold, so they are made colour 0 and the bytes stay the same.
Conversion wholeScreen(Conversion conversion)
{
    Screen& screen = conversion.screen;
    if (screen.isTeletext())
        return conversion;
    for (int y = screen.paintedLines; y < kScreenLines; ++y)
        std::fill_n(screen.line(y), screen.width(), std::uint8_t{0});
    screen.paintedWidth = screen.width();
    screen.paintedLines = kScreenLines;
    return conversion;
}

}  // namespace

ScreenDocument::ScreenDocument(Conversion conversion, QString name, QString path, bool fromConversion,
                               QObject* parent)
    : QObject(parent), source_(fromConversion ? conversion : Conversion{}),
      conversion_(wholeScreen(std::move(conversion))), name_(std::move(name)),
      path_(std::move(path)), fromConversion_(fromConversion)
{
    undo_.setUndoLimit(0);  // as far back as the document goes
    connect(&undo_, &QUndoStack::cleanChanged, this, &ScreenDocument::stateChanged);
}

void ScreenDocument::markSaved(const QString& path, const QString& name)
{
    path_ = path;
    name_ = name;
    undo_.setClean();
    emit stateChanged();
}

void ScreenDocument::paint(std::span<const ScreenPoint> points, std::uint8_t colour, const QString& text)
{
    beginStroke(text);
    strokePixels(points, colour);
    endStroke();
}

void ScreenDocument::beginStroke(const QString& text)
{
    assert(editable() && !stroke_.active);
    stroke_ = Stroke{true, text, screen().pixels, {}, {}};
}

void ScreenDocument::strokePixels(std::span<const ScreenPoint> points, std::uint8_t colour)
{
    assert(stroke_.active && colour < screen().logicalColours());
    Screen& screen = conversion_.screen;
    QRect area;
    for (const ScreenPoint point : points) {
        if (!onScreen(screen, point))
            continue;
        const int index = point.y * screen.width() + point.x;
        if (screen.pixels[static_cast<std::size_t>(index)] == colour)
            continue;
        screen.pixels[static_cast<std::size_t>(index)] = colour;
        stroke_.touched.push_back(index);
        area |= QRect(point.x, point.y, 1, 1);
    }
    if (!area.isEmpty())
        emit pixelsChanged(area);
}

void ScreenDocument::endStroke()
{
    assert(stroke_.active);
    Stroke stroke = std::exchange(stroke_, Stroke{});
    std::sort(stroke.touched.begin(), stroke.touched.end());
    stroke.touched.erase(std::unique(stroke.touched.begin(), stroke.touched.end()), stroke.touched.end());
    std::vector<PixelChange> changes;
    for (const int index : stroke.touched) {
        const std::uint8_t before = stroke.before[static_cast<std::size_t>(index)];
        const std::uint8_t after = screen().pixels[static_cast<std::size_t>(index)];
        if (before != after)
            changes.push_back({index, before, after});
    }
    if (!changes.empty())
        undo_.push(new PixelsCommand(*this, std::move(changes), stroke.text));
}

void ScreenDocument::applyPixels(const std::vector<PixelChange>& changes, bool undoing)
{
    for (const PixelChange& change : changes)
        conversion_.screen.pixels[static_cast<std::size_t>(change.index)] = undoing ? change.before : change.after;
    emit pixelsChanged(areaOf(changes, screen().width()));
}

std::size_t ScreenDocument::paletteIndexAt(int line) const
{
    const LinePalette& palette = screen().paletteAt(line);
    return static_cast<std::size_t>(&palette - screen().palettes.data());
}

void ScreenDocument::setPhysicalColour(int line, int logical, std::uint8_t physical)
{
    assert(editable() && physical < 8 && logical >= 0 && logical < 8);
    const std::size_t index = paletteIndexAt(line);
    LinePalette after = screen().palettes[index];
    after.physical[static_cast<std::size_t>(logical)] = physical;
    changePalette(index, after, QStringLiteral("Colour %1").arg(logical));
}

void ScreenDocument::setNulaColour(int line, int logical, NulaColour colour)
{
    assert(editable() && logical >= 0 && logical < kNulaEntries);
    const std::size_t index = paletteIndexAt(line);
    LinePalette after = screen().palettes[index];
    assert(after.nula.has_value());
    (*after.nula)[static_cast<std::size_t>(logical)] = colour;
    if (logical < int(after.physical.size()))
        after.physical[static_cast<std::size_t>(logical)] = nearestStandardColour(colour);
    changePalette(index, after, QStringLiteral("Colour %1").arg(logical));
}

void ScreenDocument::changePalette(std::size_t index, const LinePalette& after, const QString& text)
{
    const LinePalette& before = screen().palettes[index];
    if (before == after)
        return;
    undo_.push(new PaletteCommand(*this, index, before, after, text));
}

void ScreenDocument::applyPalette(std::size_t index, const LinePalette& palette)
{
    conversion_.screen.palettes[index] = palette;
    emit paletteChanged();
}

std::uint32_t pixelAddress(const Screen& screen, int x, int y)
{
    const ScreenMode& mode = *screen.mode;
    return mode.screenStart + static_cast<std::uint32_t>(screenByteOffset(mode.rowbytes, y, x / mode.pixperbyte));
}
