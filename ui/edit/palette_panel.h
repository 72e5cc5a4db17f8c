#pragma once

#include <QWidget>

#include <cstdint>
#include <vector>

class QButtonGroup;
class QComboBox;
class QLabel;
class QSpinBox;
class QToolButton;
class ScreenDocument;

// The Edit window's colours: a swatch for each logical colour of the
// document's mode (the one pressed is the colour the tools draw in), and
// beneath them the colour the chosen logical colour shows on the line
// under edit: a physical colour 0..7 or, in a palette of VideoNuLA colours,
// its red, green and blue 0..15. Changing it is a command on the document,
// made on the palette of that line when the palette changes line by line.
class PalettePanel final : public QWidget {
    Q_OBJECT
public:
    explicit PalettePanel(QWidget* parent = nullptr);

    void setDocument(ScreenDocument* document);
    std::uint8_t colour() const { return colour_; }
    void setColour(std::uint8_t colour);
    // The scan line whose palette the panel shows and changes.
    void setLine(int line);
    int line() const { return line_; }

signals:
    void colourChosen(std::uint8_t colour);

private:
    void showPalette();
    void physicalPicked(int physical);
    void nulaPicked();

    ScreenDocument* document_ = nullptr;
    std::uint8_t colour_ = 1;
    int line_ = 0;
    bool showing_ = false;  // the controls are being set, not changed by the user
    QButtonGroup* swatchGroup_ = nullptr;
    std::vector<QToolButton*> swatches_;
    QLabel* lblColour_ = nullptr;
    QComboBox* cboPhysical_ = nullptr;
    QSpinBox* spnRed_ = nullptr;
    QSpinBox* spnGreen_ = nullptr;
    QSpinBox* spnBlue_ = nullptr;
};
