#include "ui/frm_main_controls.h"

#include "ui/canvas.h"
#include "ui/number_box.h"
#include "ui/rectangle_control.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

struct PlacedControl {
    QWidget* widget = nullptr;
    ControlBox box{};
};

QButtonGroup* exclusiveGroup(QWidget* content, const char* name)
{
    auto* group = new QButtonGroup(content);
    group->setObjectName(QString::fromLatin1(name));
    group->setExclusive(true);
    return group;
}

class ControlBuilder {
public:
    explicit ControlBuilder(QWidget* content) : content_(content)
    {
        controls_.optMode = exclusiveGroup(content, "optMode");
        controls_.optTone = exclusiveGroup(content, "optTone");
    }

    void create(const ControlRecord& record)
    {
        QWidget* parent = content_;
        QPoint origin(0, 0);
        if (record.parent) {
            const PlacedControl& enclosing = placed_.value(QString::fromLatin1(record.parent));
            parent = enclosing.widget;
            origin = QPoint(enclosing.box.left, enclosing.box.top);
        }
        QWidget* widget = make(record, parent);
        widget->setObjectName(QString::fromLatin1(record.name));
        widget->setGeometry(record.box.left - origin.x(), record.box.top - origin.y(),
                            record.box.width, record.box.height);
        if (record.index < 0)
            placed_.insert(widget->objectName(), PlacedControl{widget, record.box});
    }

    MainWindowControls result() const { return controls_; }

private:
    QWidget* make(const ControlRecord& record, QWidget* parent)
    {
        const QString caption = QString::fromLatin1(record.caption);
        switch (record.kind) {
        case ControlKind::Rectangle:
            return new RectangleControl(parent);
        case ControlKind::GroupBox:
            return new QGroupBox(caption, parent);
        case ControlKind::Canvas:
            return canvas(record, parent);
        case ControlKind::ModeButton:
            return radioButton(controls_.optMode, record, parent);
        case ControlKind::ToneButton:
            return radioButton(controls_.optTone, record, parent);
        case ControlKind::CheckBox: {
            auto* box = new QCheckBox(caption, parent);
            if (qstrcmp(record.name, "chkStagger") == 0)
                controls_.chkStagger = box;
            return box;
        }
        case ControlKind::PushButton:
            return controls_.cmdConvert = new QPushButton(caption, parent);
        case ControlKind::Label:
            return new QLabel(caption, parent);
        case ControlKind::ComboBox:
            return new QComboBox(parent);
        case ControlKind::LineEdit:
            return new QLineEdit(parent);
        case ControlKind::NumberBox:
            return new NumberBox(parent);
        }
        Q_UNREACHABLE();
    }

    Canvas* canvas(const ControlRecord& record, QWidget* parent)
    {
        auto* canvas = new Canvas(parent);
        (qstrcmp(record.name, "picImage1") == 0 ? controls_.picImage1 : controls_.picImage2) = canvas;
        return canvas;
    }

    static QRadioButton* radioButton(QButtonGroup* group, const ControlRecord& record,
                                     QWidget* parent)
    {
        auto* button = new QRadioButton(QString::fromLatin1(record.caption), parent);
        group->addButton(button, record.index);
        return button;
    }

    QWidget* content_;
    MainWindowControls controls_;
    QHash<QString, PlacedControl> placed_;
};

PictureOptionControls findPictureOptionControls(const QWidget* content)
{
    const auto find = [content]<typename Widget>(Widget*& widget, const char* name) {
        widget = content->findChild<Widget*>(QString::fromLatin1(name));
        Q_ASSERT(widget);
    };
    PictureOptionControls options;
    find(options.cboMethod, "cboMethod");
    find(options.cboPalette, "cboPalette");
    find(options.txtPalette, "txtPalette");
    find(options.lblPalette, "lblPalette");
    find(options.cboFit, "cboFit");
    find(options.cboBar, "cboBar");
    find(options.spnBrightness, "spnBrightness");
    find(options.spnContrast, "spnContrast");
    find(options.spnSaturation, "spnSaturation");
    find(options.spnGamma, "spnGamma");
    find(options.spnDamping, "spnDamping");
    find(options.chkNula, "chkNula");
    find(options.chkRaster, "chkRaster");
    return options;
}

}  // namespace

MainWindowControls createMainWindowControls(QWidget* content)
{
    ControlBuilder builder(content);
    for (const ControlRecord& record : kMainWindowControls)
        builder.create(record);
    MainWindowControls controls = builder.result();
    controls.options = findPictureOptionControls(content);
    return controls;
}
