#pragma once

#include "conversion/conversion.h"
#include "conversion/option_catalogue.h"
#include "ui/frm_main_controls.h"

#include <QObject>
#include <QString>

#include <map>

class QDoubleSpinBox;
class WindowController;

// The picture options beside "Half Toning": method, palette, fit and bars,
// brightness, contrast, saturation, gamma and damping. Gives their controls
// their items, ranges and neutral start values, and follows them: every new
// value the user picks is stored into the controller's settings, where the
// mode, half-tone and "Stagger" are too, and announced. Nothing is kept here
// but what the user typed for each mode's palette.
class PictureOptions final : public QObject {
    Q_OBJECT
public:
    PictureOptions(const PictureOptionControls& controls, WindowController& controller, QObject* parent);

    // Follows the mode now chosen: the palette in force when that mode was
    // chosen last comes back; a palette or bar colour the mode cannot show
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
    PaletteChoice paletteFor(const Settings& next) const;
    void refuse(const QString& message);
    void store(const Settings& settings);
    void showSettings();

    const Settings& settings() const;

    PictureOptionControls controls_;
    WindowController& controller_;
    // The palette in force in each mode chosen so far, as it was left.
    std::map<int, PaletteChoice> palettes_;
    // "These colours:" is chosen but no colours are in force yet.
    bool awaitingColours_ = false;
};
