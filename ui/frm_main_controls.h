#pragma once

#include <array>

class Canvas;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The kinds of control the main window is built from.
enum class ControlKind {
    Rectangle, GroupBox, Canvas, ModeButton, ToneButton, CheckBox, PushButton,
    Label, ComboBox, LineEdit, NumberBox,
};

// Left, top, width, height in the content area's coordinates (below the menu
// bar), also for controls that sit inside a group box or rectangle.
struct ControlBox {
    int left;
    int top;
    int width;
    int height;
};

struct ControlRecord {
    const char* name;     // the control's objectName; radio buttons of one group share it
    ControlKind kind;
    int index;            // place in its radio-button group, -1 for other controls
    ControlBox box;
    const char* caption;  // empty for controls without one
    const char* parent;   // the enclosing control, nullptr for the content area
};

// Every visible control of the main window, in the order of creation. Later
// controls lie above earlier ones. "Coarse" is created last in its group but
// is index 2, the middle button. The first 19 are the window's own; the
// picture options after them fill the room right of "Half Toning".
inline constexpr std::array<ControlRecord, 43> kMainWindowControls{{
    {"Rectangle1", ControlKind::Rectangle, -1, {10, 10, 321, 258}, "", nullptr},
    {"Frame2", ControlKind::GroupBox, -1, {180, 287, 150, 195}, "Half Toning", nullptr},
    {"Frame1", ControlKind::GroupBox, -1, {10, 287, 150, 195}, "BBC Screen Mode", nullptr},
    {"picImage2", ControlKind::Canvas, -1, {11, 11, 320, 256}, "", "Rectangle1"},
    {"Rectangle2", ControlKind::Rectangle, -1, {363, 10, 322, 258}, "", nullptr},
    {"picImage1", ControlKind::Canvas, -1, {364, 11, 320, 256}, "", "Rectangle2"},
    {"optMode", ControlKind::ModeButton, 0, {23, 311, 100, 20}, "Mode 0", "Frame1"},
    {"optMode", ControlKind::ModeButton, 1, {23, 343, 100, 20}, "Mode 1", "Frame1"},
    {"optMode", ControlKind::ModeButton, 2, {23, 375, 100, 20}, "Mode 2", "Frame1"},
    {"optMode", ControlKind::ModeButton, 3, {23, 407, 100, 20}, "Mode 4", "Frame1"},
    {"optMode", ControlKind::ModeButton, 4, {23, 439, 100, 20}, "Mode 5", "Frame1"},
    {"optTone", ControlKind::ToneButton, 0, {194, 311, 100, 20}, "None", "Frame2"},
    {"optTone", ControlKind::ToneButton, 1, {194, 343, 100, 20}, "Fine", "Frame2"},
    {"optTone", ControlKind::ToneButton, 3, {194, 407, 100, 20}, "Spiral", "Frame2"},
    {"optTone", ControlKind::ToneButton, 4, {194, 439, 100, 20}, "Diagonal", "Frame2"},
    {"optTone", ControlKind::ToneButton, 2, {194, 375, 100, 20}, "Coarse", "Frame2"},
    {"GroupBox1", ControlKind::GroupBox, -1, {10, 494, 150, 68}, "Options", nullptr},
    {"chkStagger", ControlKind::CheckBox, -1, {23, 524, 100, 20}, "Stagger", "GroupBox1"},
    {"cmdConvert", ControlKind::PushButton, -1, {204, 518, 80, 20}, "Convert", nullptr},
    {"optMode", ControlKind::ModeButton, 5, {358, 296, 160, 20}, "Mode 7 (Teletext)", nullptr},
    {"Frame3", ControlKind::GroupBox, -1, {345, 322, 363, 240}, "Method and Picture", nullptr},
    {"lblMethodCaption", ControlKind::Label, -1, {357, 344, 75, 22}, "Method", "Frame3"},
    {"cboMethod", ControlKind::ComboBox, -1, {435, 344, 263, 22}, "", "Frame3"},
    {"lblPaletteCaption", ControlKind::Label, -1, {357, 374, 75, 22}, "Palette", "Frame3"},
    {"cboPalette", ControlKind::ComboBox, -1, {435, 374, 160, 22}, "", "Frame3"},
    {"txtPalette", ControlKind::LineEdit, -1, {600, 374, 98, 22}, "", "Frame3"},
    {"lblPalette", ControlKind::Label, -1, {435, 404, 263, 22}, "", "Frame3"},
    {"chkRaster", ControlKind::CheckBox, -1, {357, 404, 75, 22}, "By line", "Frame3"},
    {"lblFitCaption", ControlKind::Label, -1, {357, 434, 75, 22}, "Fit", "Frame3"},
    {"cboFit", ControlKind::ComboBox, -1, {435, 434, 95, 22}, "", "Frame3"},
    {"lblBarCaption", ControlKind::Label, -1, {540, 434, 65, 22}, "Bars", "Frame3"},
    {"cboBar", ControlKind::ComboBox, -1, {608, 434, 90, 22}, "", "Frame3"},
    {"lblBrightnessCaption", ControlKind::Label, -1, {357, 464, 75, 22}, "Brightness", "Frame3"},
    {"spnBrightness", ControlKind::NumberBox, -1, {435, 464, 95, 22}, "", "Frame3"},
    {"lblContrastCaption", ControlKind::Label, -1, {540, 464, 65, 22}, "Contrast", "Frame3"},
    {"spnContrast", ControlKind::NumberBox, -1, {608, 464, 90, 22}, "", "Frame3"},
    {"lblSaturationCaption", ControlKind::Label, -1, {357, 494, 75, 22}, "Saturation", "Frame3"},
    {"spnSaturation", ControlKind::NumberBox, -1, {435, 494, 95, 22}, "", "Frame3"},
    {"lblGammaCaption", ControlKind::Label, -1, {540, 494, 65, 22}, "Gamma", "Frame3"},
    {"spnGamma", ControlKind::NumberBox, -1, {608, 494, 90, 22}, "", "Frame3"},
    {"lblDampingCaption", ControlKind::Label, -1, {357, 524, 75, 22}, "Damping", "Frame3"},
    {"spnDamping", ControlKind::NumberBox, -1, {435, 524, 95, 22}, "", "Frame3"},
    {"chkNula", ControlKind::CheckBox, -1, {540, 524, 158, 22}, "VideoNuLA colours", "Frame3"},
}};

// The content area's size: everything above fits inside it.
inline constexpr int kContentWidth = 718;
inline constexpr int kContentHeight = 582;

// BBC Micro screen mode stored for each "BBC Screen Mode" button, by index.
// There is no mode 3 button: the fourth button is mode 4. The sixth, "Mode 7
// (Teletext)", sits beside the picture options.
inline constexpr std::array<int, 6> kModeOfButton{0, 1, 2, 4, 5, 7};

// The picture options' controls, set up and read by PictureOptions.
struct PictureOptionControls {
    QComboBox* cboMethod = nullptr;
    QComboBox* cboPalette = nullptr;
    QLineEdit* txtPalette = nullptr;
    QLabel* lblPalette = nullptr;
    QComboBox* cboFit = nullptr;
    QComboBox* cboBar = nullptr;
    QDoubleSpinBox* spnBrightness = nullptr;
    QDoubleSpinBox* spnContrast = nullptr;
    QDoubleSpinBox* spnSaturation = nullptr;
    QDoubleSpinBox* spnGamma = nullptr;
    QDoubleSpinBox* spnDamping = nullptr;
    QCheckBox* chkNula = nullptr;
    QCheckBox* chkRaster = nullptr;
};

// The controls the window's handlers reach.
struct MainWindowControls {
    Canvas* picImage1 = nullptr;
    Canvas* picImage2 = nullptr;
    QButtonGroup* optMode = nullptr;
    QButtonGroup* optTone = nullptr;
    QCheckBox* chkStagger = nullptr;
    QPushButton* cmdConvert = nullptr;
    PictureOptionControls options;
};

// Creates every control of kMainWindowControls inside `content`, at its place,
// with its caption and name. The two radio-button groups are exclusive
// QButtonGroups, named like their buttons, whose ids are the indexes.
MainWindowControls createMainWindowControls(QWidget* content);
