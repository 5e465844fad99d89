#pragma once
// The About dialog: "Info", the program's title line, icon and version.

#include <QDialog>

class QLabel;
class QPushButton;

namespace dz {

class TDLG_Info final : public QDialog {
    Q_OBJECT
public:
    explicit TDLG_Info(QWidget* parent = nullptr);

    QLabel* StaticText5;
    QLabel* Image1;
    QLabel* StaticText7;
    QPushButton* Button1;
};

}  // namespace dz
