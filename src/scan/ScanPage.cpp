#include "scan/ScanPage.h"

#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>

#include "scan/ImageFile.h"

namespace dz {

namespace {

template <class W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace

ScanPage::ScanPage(PageContext context, QWidget* parent)
    : Page(context, QStringLiteral("TS_Dispcpy"), parent), m_scan(context.link, *this)
{
    I_Scan = named(new ScanImage(this), "I_Scan");
    I_Scan->move(8, 8);

    GroupBox1 = named(new QGroupBox(QStringLiteral("Area"), this), "GroupBox1");
    GroupBox1->setGeometry(832, 8, 129, 305);

    const auto spin = [this](const char* labelName, const char* caption, QPoint labelAt, const char* name, QPoint at,
                             int maximum, int value, QLabel** label) {
        *label = named(new QLabel(QString::fromLatin1(caption), GroupBox1), labelName);
        (*label)->move(labelAt);
        auto* edit = named(new SpinEdit(0, maximum, value, GroupBox1), name);
        edit->setGeometry(at.x(), at.y(), 65, 30);
        return edit;
    };
    SE_X = spin("Label5", "X:", {16, 28}, "SE_X", {40, 16}, screen::kXMax, 0, &Label5);
    SE_Y = spin("Label6", "Y:", {16, 60}, "SE_Y", {40, 50}, screen::kYMax, 0, &Label6);
    SE_B = spin("Label7", "W:", {16, 92}, "SE_B", {40, 84}, screen::kWMax, 800, &Label7);
    SE_H = spin("Label8", "H:", {16, 124}, "SE_H", {41, 118}, screen::kHMax, 480, &Label8);
    connect(SE_X, &SpinEdit::Change, this, &ScanPage::SE_XChange);
    connect(SE_Y, &SpinEdit::Change, this, &ScanPage::SE_YChange);
    connect(SE_B, &SpinEdit::Change, this, &ScanPage::SE_BChange);
    connect(SE_H, &SpinEdit::Change, this, &ScanPage::SE_HChange);

    const auto preset = [this](const char* caption, const char* name, int top) {
        auto* b = named(new QRadioButton(QString::fromLatin1(caption), GroupBox1), name);
        // As wide as the caption needs in this font, up to the group's edge.
        b->setGeometry(16, top, std::clamp(b->sizeHint().width(), 105, GroupBox1->width() - 18), 17);
        return b;
    };
    RB_GVGA = preset("Full VGA", "RB_GVGA", 160);
    RB_GWVGA = preset("Full WVGA", "RB_GWVGA", 184);
    RB_DVGA = preset("Diagram VGA", "RB_DVGA", 208);
    RB_DWVGA = preset("Diagram WVGA", "RB_DWVGA", 232);
    RB_GWVGA->setChecked(true);
    connect(RB_GVGA, &QRadioButton::clicked, this, &ScanPage::RB_GVGAClick);
    connect(RB_GWVGA, &QRadioButton::clicked, this, &ScanPage::RB_GWVGAClick);
    connect(RB_DVGA, &QRadioButton::clicked, this, &ScanPage::RB_DVGAClick);
    connect(RB_DWVGA, &QRadioButton::clicked, this, &ScanPage::RB_DWVGAClick);

    Label9 = named(new QLabel(QStringLiteral("Frame:"), GroupBox1), "Label9");
    Label9->move(24, 264);
    S_Rahmen = named(new ColourSquare(GroupBox1), "S_Rahmen");
    S_Rahmen->setGeometry(80, 256, 25, 25);
    S_Rahmen->setColour(m_frameColour);
    connect(S_Rahmen, &ColourSquare::MouseUp, this, &ScanPage::S_RahmenMouseUp);

    L_Spaltet = named(new QLabel(QStringLiteral("Column:"), this), "L_Spaltet");
    L_Spaltet->move(856, 332);
    L_Spalte = named(new QLabel(QStringLiteral("0"), this), "L_Spalte");
    L_Spalte->setGeometry(915, 332, 50, 17);
    PB_Scan = named(new QProgressBar(this), "PB_Scan");
    PB_Scan->setGeometry(824, 360, 150, 17);
    PB_Scan->setRange(0, 100);
    PB_Scan->setValue(0);
    PB_Scan->setTextVisible(false);

    B_Dispcpy = named(new QPushButton(QStringLiteral("Scan"), this), "B_Dispcpy");
    B_Dispcpy->setGeometry(856, 392, 89, 25);
    connect(B_Dispcpy, &QPushButton::clicked, this, &ScanPage::B_DispcpyClick);
    // Never shown: a scan enables it while it runs, nothing more.
    B_Abort = named(new QPushButton(QStringLiteral("Cancel"), this), "B_Abort");
    B_Abort->setGeometry(856, 424, 89, 25);
    B_Abort->setVisible(false);
    B_Abort->setEnabled(false);
    connect(B_Abort, &QPushButton::clicked, this, &ScanPage::B_AbortClick);
    B_Clip = named(new QPushButton(QStringLiteral("To Clipboard"), this), "B_Clip");
    B_Clip->setGeometry(856, 464, 89, 25);
    connect(B_Clip, &QPushButton::clicked, this, &ScanPage::B_ClipClick);
}

ScanPage::~ScanPage() = default;

int ScanPage::widthLimit() const
{
    return RB_GVGA->isChecked() || RB_DVGA->isChecked() ? screen::kVgaWidth : screen::kWvgaWidth;
}

SpinEdit* ScanPage::field(AreaField f) const
{
    switch (f) {
        case AreaField::X:
            return SE_X;
        case AreaField::Y:
            return SE_Y;
        case AreaField::W:
            return SE_B;
        case AreaField::H:
            return SE_H;
    }
    return SE_X;
}

ScanArea ScanPage::area() const
{
    return ScanArea{SE_X->Value(), SE_Y->Value(), SE_B->Value(), SE_H->Value()};
}

void ScanPage::applyRule(AreaField changed)
{
    // A value set here changes the text and so runs this rule once more, which then finds it fine.
    if (const std::optional<int> v = areaRule(changed, area(), widthLimit())) {
        field(changed)->setValueInRange(*v);
    }
}

void ScanPage::SE_XChange()
{
    applyRule(AreaField::X);
}

void ScanPage::SE_YChange()
{
    applyRule(AreaField::Y);
}

void ScanPage::SE_BChange()
{
    applyRule(AreaField::W);
    I_Scan->resize(SE_B->Value() + 2 * ScanImage::kMargin, I_Scan->height());
}

void ScanPage::SE_HChange()
{
    applyRule(AreaField::H);
    I_Scan->resize(I_Scan->width(), SE_H->Value() + 2 * ScanImage::kMargin);
}

void ScanPage::sizeImageToArea()
{
    I_Scan->resize(SE_B->Value() + 2 * ScanImage::kMargin, SE_H->Value() + 2 * ScanImage::kMargin);
}

void ScanPage::applyPreset(ScanPreset preset)
{
    for (const AreaStep& step : presetSteps(preset)) {
        field(step.field)->setValueInRange(step.value);
    }
    sizeImageToArea();
}

void ScanPage::RB_GVGAClick()
{
    applyPreset(ScanPreset::FullVga);
}

void ScanPage::RB_GWVGAClick()
{
    applyPreset(ScanPreset::FullWvga);
}

void ScanPage::RB_DVGAClick()
{
    applyPreset(ScanPreset::DiagramVga);
}

void ScanPage::RB_DWVGAClick()
{
    applyPreset(ScanPreset::DiagramWvga);
}

void ScanPage::S_RahmenMouseUp()
{
    const std::optional<QColor> chosen = m_ctx.dialogs.chooseColor(m_frameColour);
    if (!chosen) {
        return;
    }
    m_frameColour = *chosen;
    S_Rahmen->setColour(m_frameColour);
    FillFrame();
}

void ScanPage::FillFrame()
{
    I_Scan->fillVisible(m_frameColour);
}

void ScanPage::B_ClipClick()
{
    QGuiApplication::clipboard()->setImage(I_Scan->bitmap());
}

void ScanPage::fileSave()
{
    m_ctx.SD_Datei.DefaultExt = QStringLiteral("*.BMP");
    m_ctx.SD_Datei.Filter = QStringLiteral("Bilddatei *.BMP|*.BMP|PNG-Bilddatei *.PNG|*.PNG");
    m_ctx.SD_Datei.FilterIndex = 1;
    if (!m_ctx.dialogs.saveFile(m_ctx.SD_Datei)) {
        return;
    }
    // A typed extension says what the user wants more plainly than the filter left standing.
    const ImageFormat format = imageFormatOf(m_ctx.SD_Datei.FileName)
                                   .value_or(m_ctx.SD_Datei.FilterIndex == 2 ? ImageFormat::Png : ImageFormat::Bmp);
    if (const std::optional<QString> error = saveImageFile(m_ctx.SD_Datei.FileName, I_Scan->bitmap(), format)) {
        showMessage(*error);
    }
}

void ScanPage::setImageVisible(bool visible)
{
    I_Scan->setVisible(visible);
}

void ScanPage::setLinkFree(bool free)
{
    B_Dispcpy->setEnabled(free && !m_scan.running());
}

void ScanPage::setScanRunning(bool running)
{
    B_Dispcpy->setEnabled(!running);
    B_Abort->setEnabled(running);
}

void ScanPage::showColumnCounter(const QString& text)
{
    L_Spalte->setText(text);
}

void ScanPage::setProgress(int percent)
{
    PB_Scan->setValue(percent);
}

void ScanPage::paintColumn(int index, const uint8_t* pixels, int rows)
{
    I_Scan->paintColumn(index, pixels, rows);
}

void ScanPage::showMessage(const QString& text)
{
    m_ctx.dialogs.information(text);
}

}  // namespace dz
