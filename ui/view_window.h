#pragma once

#include "conversion/conversion.h"
#include "conversion/option_catalogue.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <optional>

class PictureView;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;

// The "View" window: the converted screen at its real resolution, at the
// display's shape (every mode fills the same 640 x 512 grid, mode 7 its
// 640 x 500), zoomed 1x, 2x, 4x or fitted to the window; or, flipped with
// "Show Source" or the space bar, the picture it was converted from at its
// own shape with the part the conversion read outlined. The main window
// hands it every conversion and every picture it samples; the window draws
// them only while it is shown.
class ViewWindow final : public QWidget {
    Q_OBJECT
public:
    explicit ViewWindow(QWidget* parent = nullptr);

    // The conversion on show in the main window, made with `fit`.
    void showConversion(const Conversion& conversion, Fit fit);
    // The picture file conversions are made from (empty: none yet).
    void showSourceFile(const QString& path);
    // Between the screen and the source.
    void flip();
    bool showsSource() const;

    // The zoom choices in order: 1x, 2x, 4x, fitted.
    static constexpr int kZoomChoices[] = {1, 2, 4, 0};

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void zoomPicked(int index);
    void redraw();
    void drawSource();
    void drawScreen();
    void loadSource();
    QRect sourceOutline() const;

    QComboBox* cboZoom_ = nullptr;
    QPushButton* cmdSource_ = nullptr;
    QLabel* lblShowing_ = nullptr;
    QScrollArea* scroller_ = nullptr;
    PictureView* view_ = nullptr;

    std::optional<Conversion> conversion_;
    Fit fit_ = Fit::Stretch;
    QString sourcePath_;
    bool sourceLoaded_ = false;
    QImage source_;
};
