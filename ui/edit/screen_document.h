#pragma once

#include "conversion/conversion.h"
#include "ui/edit/pixel_shapes.h"

#include <QObject>
#include <QRect>
#include <QString>
#include <QUndoStack>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// One pixel as an edit changed it.
struct PixelChange {
    int index = 0;  // in Screen::pixels
    std::uint8_t before = 0;
    std::uint8_t after = 0;
};

// A screen being edited: the conversion it came from (or a screen read
// from a file, with the settings of its mode), its name and the file Save
// writes, and every change made to it as commands on its undo stack, which
// reaches back to the document's start. Unsaved edits are the stack away
// from its clean index.
//
// A drawing stroke paints as the pointer moves and becomes one command
// when it ends, so that one undo takes the whole stroke back.
class ScreenDocument final : public QObject {
    Q_OBJECT
public:
    // `fromConversion`: made from the main window's conversion on show
    // rather than read from a file, so a later conversion may replace it.
    ScreenDocument(Conversion conversion, QString name, QString path, bool fromConversion,
                   QObject* parent = nullptr);

    const Conversion& conversion() const { return conversion_; }
    const Screen& screen() const { return conversion_.screen; }
    // Teletext screens are shown, not edited.
    bool editable() const { return !screen().isTeletext(); }
    QString name() const { return name_; }
    QString path() const { return path_; }
    bool fromConversion() const { return fromConversion_; }
    // Whether the document was made from `conversion`.
    bool madeFrom(const Conversion& conversion) const { return fromConversion_ && source_ == conversion; }
    bool modified() const { return !undo_.isClean(); }
    QUndoStack& undoStack() { return undo_; }

    // Saved as `path`, shown as `name`: what is on show is now clean.
    void markSaved(const QString& path, const QString& name);

    // Paints `points` (those on the screen) in logical colour `colour` as
    // one command named `text`; nothing when no pixel changes.
    void paint(std::span<const ScreenPoint> points, std::uint8_t colour, const QString& text);

    // A stroke: begun, painted piece by piece (each shown at once), ended as
    // one command. Ending a stroke that changed nothing pushes nothing.
    void beginStroke(const QString& text);
    void strokePixels(std::span<const ScreenPoint> points, std::uint8_t colour);
    void endStroke();
    bool inStroke() const { return stroke_.active; }

    // The palette entry that scan line `line` shows, changed: the physical
    // colour (0..7) of logical colour `logical`, or its 12-bit colour, with
    // the standard colour nearest it as its physical colour for a machine
    // without VideoNuLA. Nothing when the colour is already so.
    void setPhysicalColour(int line, int logical, std::uint8_t physical);
    void setNulaColour(int line, int logical, NulaColour colour);

    // The commands' work: `changes` made (or undone), and palette `index`
    // set to `palette`.
    void applyPixels(const std::vector<PixelChange>& changes, bool undoing);
    void applyPalette(std::size_t index, const LinePalette& palette);

signals:
    // Pixels inside `area` (screen pixels) changed.
    void pixelsChanged(const QRect& area);
    void paletteChanged();
    // The document was saved or renamed, or became modified or clean.
    void stateChanged();

private:
    std::size_t paletteIndexAt(int line) const;
    void changePalette(std::size_t index, const LinePalette& after, const QString& text);

    struct Stroke {
        bool active = false;
        QString text;
        std::vector<std::uint8_t> before;  // every pixel as the stroke began
        std::vector<int> touched;          // indices painted, perhaps repeated
        QRect area;
    };

    Conversion source_;  // the conversion it was made from, as it was
    Conversion conversion_;
    QString name_;
    QString path_;
    bool fromConversion_ = false;
    QUndoStack undo_;
    Stroke stroke_;
};

// The byte of screen memory that holds pixel (x, y) of a bitmap screen: its
// address on the machine (screen start + the packer's offset).
std::uint32_t pixelAddress(const Screen& screen, int x, int y);
