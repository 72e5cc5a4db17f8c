#include "ui/view_window.h"

#include "conversion/methods/picture_frame.h"
#include "conversion/screen_modes.h"
#include "conversion/screen_picture.h"
#include "conversion/teletext_renderer.h"
#include "ui/picture_view.h"
#include "ui/window_controller.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <cmath>

namespace {

QImage toImage(const ScreenPicture& picture)
{
    QImage image(picture.pixels.width(), picture.pixels.height(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        std::copy_n(picture.pixels.scanLine(y), image.width(), reinterpret_cast<std::uint32_t*>(image.scanLine(y)));
    return image;
}

// The screen's pixels across and down, and the shape of each, as the
// conversion framed the picture onto them.
struct ScreenGrid {
    int width, lines;
    double aspect;
};

ScreenGrid gridOf(const Conversion& conversion)
{
    if (conversion.screen.mode == nullptr)
        return {kTeletextWidth, kTeletextHeight, pixelAspect(kTeletextWidth, kDisplayLines)};
    const int width = conversion.screen.width();
    return {width, kScreenLines, pixelAspect(width, kScreenLines)};
}

// The size a screen picture is drawn at 1x: every display pixel of the
// 640 x 512 grid as wide as one, and as high as the screen's shape on a
// television asks (about 1.08, so the bitmap modes' area is 640 x 555).
QSize displaySize(const ScreenPicture& picture)
{
    const double lineHeight = kDisplayWidth / (kScreenAspect * kDisplayLines);
    return QSize(picture.displayWidth(), static_cast<int>(std::lround(picture.displayHeight() * lineHeight)));
}

QString modeText(const Conversion& conversion, const ScreenPicture& picture)
{
    return QStringLiteral("Mode %1: %2 × %3").arg(conversion.mode()).arg(picture.pixels.width()).arg(picture.pixels.height());
}

}  // namespace

ViewWindow::ViewWindow(const WindowController& controller, QWidget* parent)
    : QWidget(parent, Qt::Window), controller_(controller)
{
    setObjectName(QStringLiteral("frmView"));
    setWindowTitle(QStringLiteral("Rasterine View"));

    cboZoom_ = new QComboBox(this);
    cboZoom_->setObjectName(QStringLiteral("cboZoom"));
    cboZoom_->addItems({QStringLiteral("1×"), QStringLiteral("2×"), QStringLiteral("4×"), QStringLiteral("Fit to Window")});
    cboZoom_->setToolTip(QStringLiteral("How large the screen is drawn: each of its pixels 1, 2 or 4 times, "
                                        "or the whole screen fitted to the window"));
    cmdSource_ = new QPushButton(QStringLiteral("Show Source"), this);
    cmdSource_->setObjectName(QStringLiteral("cmdSource"));
    cmdSource_->setCheckable(true);
    cmdSource_->setToolTip(QStringLiteral("Flip between the converted screen and the picture it came from (Space)"));
    cmdEdit_ = new QPushButton(QStringLiteral("Edit"), this);
    cmdEdit_->setObjectName(QStringLiteral("cmdEdit"));
    cmdEdit_->setToolTip(QStringLiteral("Takes the converted screen into the Edit window to touch it up"));
    lblShowing_ = new QLabel(this);
    lblShowing_->setObjectName(QStringLiteral("lblShowing"));

    view_ = new PictureView;
    view_->setObjectName(QStringLiteral("picView"));
    scroller_ = new QScrollArea(this);
    scroller_->setObjectName(QStringLiteral("scrView"));
    scroller_->setAlignment(Qt::AlignCenter);
    scroller_->setWidget(view_);

    auto* bar = new QHBoxLayout;
    bar->addWidget(cboZoom_);
    bar->addWidget(cmdSource_);
    bar->addWidget(cmdEdit_);
    bar->addWidget(lblShowing_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(scroller_, 1);

    connect(cboZoom_, &QComboBox::currentIndexChanged, this, &ViewWindow::zoomPicked);
    connect(cmdSource_, &QPushButton::toggled, this, &ViewWindow::redraw);
    connect(cmdEdit_, &QPushButton::clicked, this, &ViewWindow::editAsked);
    zoomPicked(0);
    resize(700, 640);  // the screen at 1x, 640 x 555, without scrolling
}

void ViewWindow::flip()
{
    cmdSource_->toggle();
}

bool ViewWindow::showsSource() const
{
    return cmdSource_->isChecked();
}

void ViewWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space)
        flip();
    else
        QWidget::keyPressEvent(event);
}

void ViewWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    redraw();
}

// Fitted, the picture follows the window's size; zoomed, it keeps its own
// and the window scrolls.
void ViewWindow::zoomPicked(int index)
{
    const int zoom = kZoomChoices[std::clamp(index, 0, int(std::size(kZoomChoices)) - 1)];
    view_->setZoom(zoom);
    scroller_->setWidgetResizable(zoom == PictureView::kFit);
    if (zoom != PictureView::kFit)
        view_->resize(view_->sizeHint());
}

// Fill reads the middle of the picture at the screen's shape, as the
// conversion on show cropped it; the other fits read all of it.
QRect ViewWindow::sourceOutline(const QImage& source) const
{
    const Conversion* conversion = controller_.lastConversion();
    if (conversion == nullptr || controller_.lastSettings()->fit != Fit::Fill)
        return source.rect();
    const ScreenGrid grid = gridOf(*conversion);
    const PictureCrop kept = fillCrop(source.width(), source.height(), grid.width, grid.lines, grid.aspect);
    return QRect(kept.left, kept.top, kept.width, kept.height);
}

void ViewWindow::redraw()
{
    if (!isVisible())
        return;
    cmdSource_->setText(showsSource() ? QStringLiteral("Show Screen") : QStringLiteral("Show Source"));
    if (showsSource())
        drawSource();
    else if (controller_.lastConversion() != nullptr)
        drawScreen();
    if (view_->zoom() != PictureView::kFit)
        view_->resize(view_->sizeHint());
}

// The source at its own shape, as large as the screen's area; before any
// picture, nothing.
void ViewWindow::drawSource()
{
    const DecodedPicture* picture = controller_.sampledPicture();
    const Result<QImage> loaded = picture != nullptr ? picture->source() : Result<QImage>(QImage());
    const QImage source = loaded ? loaded.value() : QImage();
    const QSize area(kDisplayWidth, static_cast<int>(std::lround(kDisplayWidth / kScreenAspect)));
    view_->showPicture(source, source.isNull() ? area : source.size().scaled(area, Qt::KeepAspectRatio),
                       sourceOutline(source));
    lblShowing_->setText(source.isNull() ? QStringLiteral("No picture to show")
                                         : QStringLiteral("Source: %1 × %2").arg(source.width()).arg(source.height()));
}

void ViewWindow::drawScreen()
{
    const Conversion& conversion = *controller_.lastConversion();
    const ScreenPicture picture = screenPicture(conversion.screen);
    view_->showPicture(toImage(picture), displaySize(picture));
    lblShowing_->setText(modeText(conversion, picture));
}
