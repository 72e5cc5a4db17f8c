#pragma once

#include "conversion/conversion.h"
#include "conversion/option_catalogue.h"
#include "ui/frm_main_controls.h"

#include <QObject>
#include <QString>

#include <functional>

class QDoubleSpinBox;

// The picture options beside "Half Toning": method, palette, fit and bars,
// brightness, contrast, saturation, gamma and damping. Gives their controls
// their items, ranges and neutral start values, and follows them: every new
// value the user picks is stored and announced. The mode, half-tone and
// "Stagger" are not kept here; the window's ConversionState holds them.
class PictureOptions final : public QObject {
    Q_OBJECT
public:
    // `currentMode` tells the screen mode chosen at the moment, against which
    // a list of palette colours is checked.
    PictureOptions(const PictureOptionControls& controls, std::function<int()> currentMode, QObject* parent);

    // The options chosen; mode, half-tone and stagger keep their defaults.
    const Settings& settings() const { return settings_; }

    // Follows the mode now chosen: a palette or bar colour it cannot show
    // goes back to one it can, with a word why; the controls it does not
    // read are greyed out.
    void modePicked();

    // Shows the BASIC statement that sets up the palette `conversion` was
    // made in, or that the mode's own colours were used.
    void showPalette(const Conversion& conversion);
    // Shows no palette: the one shown says nothing about the next conversion.
    void clearPalette();

signals:
    void changed();                        // an option holds a new value
    void refused(const QString& message);  // an entry was not taken, and why
    void accepted();                       // an entry was taken, new or not

private:
    void setUpChoices();
    QDoubleSpinBox* numberBox(Option option) const;
    void follow(QDoubleSpinBox* box, const NumberRow& row);
    void methodPicked();
    void paletteKindPicked();
    void paletteTyped();
    void fitPicked();
    void offer(const Settings& next, const QString& what);
    void refuse(const QString& message);
    void store(const Settings& settings);
    void showSettings();

    PictureOptionControls controls_;
    std::function<int()> currentMode_;
    Settings settings_;
    // "These colours:" is chosen but no colours are in force yet.
    bool awaitingColours_ = false;
};
