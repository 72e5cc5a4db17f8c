#pragma once

#include "ui/edit/pixel_shapes.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <vector>

class ScreenDocument;

// The tools of the Edit window.
enum class EditTool { Pencil, Line, Rectangle, Fill, Picker };

// The document's screen drawn with each screen pixel a block of the
// display grid's pixels (mode 0's 1 x 2, mode 2's 4 x 2) times the zoom,
// with a grid between pixels once they are large enough to aim at, and the
// tools worked with the left mouse button. It keeps the screen as an image
// of its own and draws again only what a change touched, so a stroke at a
// high zoom repaints a few blocks, not the screen.
class EditCanvas final : public QWidget {
    Q_OBJECT
public:
    explicit EditCanvas(QWidget* parent = nullptr);

    // The document shown (none: an empty canvas); it must outlive the canvas
    // or be replaced first.
    void setDocument(ScreenDocument* document);
    void setZoom(int zoom);
    int zoom() const { return zoom_; }
    void setTool(EditTool tool) { tool_ = tool; }
    EditTool tool() const { return tool_; }
    void setColour(std::uint8_t colour) { colour_ = colour; }
    std::uint8_t colour() const { return colour_; }

    // The size of one screen pixel on the canvas, in widget pixels.
    QSize cellSize() const;
    // Where screen pixel `point` is drawn, and the screen pixel under `at`.
    QRect cellRect(ScreenPoint point) const;
    ScreenPoint pointAt(QPoint at) const;
    bool showsGrid() const;
    // The screen as it is drawn, before zoom and grid.
    const QImage& screenPicture() const { return image_; }
    QSize sizeHint() const override;

signals:
    // The pointer is over `point` (nothing: it left the screen).
    void hovered(std::optional<ScreenPoint> point);
    // The picker took colour `colour`.
    void picked(std::uint8_t colour);
    // A tool was used on scan line `line`: the line whose palette is edited.
    void lineChosen(int line);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void pixelsChanged(const QRect& area);
    void paletteChanged();
    QRect widgetArea(const QRect& screenArea) const;
    void showShape(std::vector<ScreenPoint> shape);
    std::vector<ScreenPoint> shapeTo(ScreenPoint end) const;
    void paintGrid(QPainter& painter, const QRect& cells) const;

    QPointer<ScreenDocument> document_;
    QImage image_;
    int zoom_ = 1;
    EditTool tool_ = EditTool::Pencil;
    std::uint8_t colour_ = 1;
    // While the button is held: where it went down and, for the pencil, the
    // pixel painted last; the line or rectangle that would be drawn.
    std::optional<ScreenPoint> anchor_;
    ScreenPoint last_;
    std::vector<ScreenPoint> shape_;
};
