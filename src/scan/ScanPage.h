#pragma once
// The page "Display Copy": copies a rectangle of the receiver's screen into a
// picture, which goes to the clipboard or into a bitmap file.

#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "app/Page.h"
#include "scan/ColourSquare.h"
#include "scan/ScanArea.h"
#include "scan/ScanImage.h"
#include "scan/ScanOperation.h"
#include "scan/ScanView.h"
#include "scan/SpinEdit.h"

namespace dz {

class ScanPage final : public Page, public ScanView {
    Q_OBJECT
public:
    explicit ScanPage(PageContext context, QWidget* parent = nullptr);
    ~ScanPage() override;

    // The area rules: each gives way in its own control only.
    void SE_XChange();
    void SE_YChange();
    void SE_BChange();
    void SE_HChange();
    // The presets; the clicked button is already checked.
    void RB_GVGAClick();
    void RB_GWVGAClick();
    void RB_DVGAClick();
    void RB_DWVGAClick();
    // The frame colour.
    void S_RahmenMouseUp();

    void B_DispcpyClick() { m_scan.B_DispcpyClick(); }
    void B_AbortClick() { m_scan.B_AbortClick(); }
    void B_ClipClick();
    void fileSave() override;
    void setLinkFree(bool free) override;

    // The frame colour (CD_Rahmen's colour).
    QColor frameColour() const { return m_frameColour; }
    const ScanOperation& scan() const { return m_scan; }

    // ScanView
    ScanArea area() const override;
    void FillFrame() override;
    void setImageVisible(bool visible) override;
    void setScanRunning(bool running) override;
    void showColumnCounter(const QString& text) override;
    void setProgress(int percent) override;
    void paintColumn(int index, const uint8_t* pixels, int rows) override;
    void showMessage(const QString& text) override;

    ScanImage* I_Scan;
    QGroupBox* GroupBox1;
    QLabel* Label5;
    SpinEdit* SE_X;
    QLabel* Label6;
    SpinEdit* SE_Y;
    QLabel* Label7;
    SpinEdit* SE_B;
    QLabel* Label8;
    SpinEdit* SE_H;
    QRadioButton* RB_GVGA;
    QRadioButton* RB_GWVGA;
    QRadioButton* RB_DVGA;
    QRadioButton* RB_DWVGA;
    QLabel* Label9;
    ColourSquare* S_Rahmen;
    QLabel* L_Spaltet;
    QLabel* L_Spalte;
    QProgressBar* PB_Scan;
    QPushButton* B_Dispcpy;
    QPushButton* B_Abort;
    QPushButton* B_Clip;

private:
    int widthLimit() const;
    SpinEdit* field(AreaField f) const;
    void applyRule(AreaField changed);
    void applyPreset(ScanPreset preset);
    void sizeImageToArea();

    QColor m_frameColour = Qt::black;
    ScanOperation m_scan;
};

}  // namespace dz
