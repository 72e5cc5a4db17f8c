#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QWidget>

class PictureView;
class WindowController;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;

// The "View" window: the converted screen at its real resolution, at the
// shape a television shows it (kScreenAspect; every bitmap mode fills the
// same area, 640 x 555 at 1x, and mode 7 its 500 of the 512 lines), zoomed
// 1x, 2x, 4x or fitted to the window; or, flipped with "Show Source" or the
// space bar, the picture it was converted from at its own shape with the
// part the conversion read outlined. It reads the conversion on show and
// the picture sampled from the main window's controller, and draws them
// again, while it is shown, whenever the main window says they changed.
// "Edit" takes the screen on show into the Edit window.
class ViewWindow final : public QWidget {
    Q_OBJECT
public:
    explicit ViewWindow(const WindowController& controller, QWidget* parent = nullptr);

    // Draws the controller's conversion or picture again.
    void redraw();
    // Between the screen and the source.
    void flip();
    bool showsSource() const;

    // The zoom choices in order: 1x, 2x, 4x, fitted.
    static constexpr int kZoomChoices[] = {1, 2, 4, 0};

signals:
    // "Edit": the screen on show is to be edited.
    void editAsked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void zoomPicked(int index);
    void drawSource();
    void drawScreen();
    QRect sourceOutline(const QImage& source) const;

    QComboBox* cboZoom_ = nullptr;
    QPushButton* cmdSource_ = nullptr;
    QPushButton* cmdEdit_ = nullptr;
    QLabel* lblShowing_ = nullptr;
    QScrollArea* scroller_ = nullptr;
    PictureView* view_ = nullptr;

    const WindowController& controller_;
};
