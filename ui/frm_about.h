#pragma once

#include <QDialog>

class QLabel;

// The About box: product name, version, three lines about who made it, and
// an "OK" button. Fixed size; shown modally over the main window.
class frmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

private:
    void CreateControls();
    void Open();
    void cmdOK_Action();

    QLabel* lblVersion_ = nullptr;
};
