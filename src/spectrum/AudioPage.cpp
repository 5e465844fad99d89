#include "spectrum/AudioPage.h"

#include <QStackedWidget>
#include <QTabWidget>

namespace dz {

AudioPage::AudioPage(PageContext context, QWidget* parent)
    : AudioPage(context, std::make_unique<AlsaAudioOutputs>(), parent)
{
}

AudioPage::AudioPage(PageContext context, std::unique_ptr<AudioOutputs> audio, QWidget* parent)
    : Page(context, QStringLiteral("TS_KAV72"), parent), m_audio(std::move(audio)), m_loop(context.link)
{
    const auto named = [](auto* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    I_Display = named(new QLabel(this), "I_Display");
    I_Display->setGeometry(8, 8, 793, 433);
    I_Display->setScaledContents(true);
    I_Display->setFrameShape(QFrame::Box);

    SB_Display = named(new QScrollBar(Qt::Horizontal, this), "SB_Display");
    SB_Display->setGeometry(8, 448, 793, 17);
    SB_Display->setRange(0, 64575);
    SB_Display->setSingleStep(10);
    SB_Display->setPageStep(100);

    L_Sample = named(new QLabel(QStringLiteral("Sample: 0"), this), "L_Sample");
    L_Sample->setGeometry(816, 8, 150, 17);
    L_Rate = named(new QLabel(QStringLiteral("Samplerate: 0"), this), "L_Rate");
    L_Rate->setGeometry(816, 32, 150, 17);
    CB_Mess = named(new QCheckBox(QStringLiteral("Spektrum mit Messgenauigkeit"), this), "CB_Mess");
    CB_Mess->setGeometry(8, 474, 220, 17);

    B_Minus = named(new QPushButton(QStringLiteral("-"), this), "B_Minus");
    B_Minus->setGeometry(816, 92, 25, 25);
    E_Ebene = named(new QLineEdit(QStringLiteral("16"), this), "E_Ebene");
    E_Ebene->setGeometry(846, 94, 33, 21);
    E_Ebene->setReadOnly(true);
    E_Ebene->setMaxLength(2);
    E_Ebene->setAlignment(Qt::AlignCenter);
    B_PLus = named(new QPushButton(QStringLiteral("+"), this), "B_PLus");
    B_PLus->setGeometry(884, 92, 25, 25);

    B_Capture = named(new QPushButton(QStringLiteral("Capture"), this), "B_Capture");
    B_Capture->setGeometry(816, 132, 75, 25);
    B_End = named(new QPushButton(QStringLiteral("Ende"), this), "B_End");
    B_End->setGeometry(896, 132, 75, 25);
    B_End->setEnabled(false);

    B_Audio = named(new QPushButton(QStringLiteral("Audio"), this), "B_Audio");
    B_Audio->setGeometry(816, 180, 75, 25);
    CB_Audio = named(new QComboBox(this), "CB_Audio");
    CB_Audio->setGeometry(816, 212, 160, 21);
    CB_Audio->addItem(QStringLiteral("keine Audio-Device"));
    CB_Audio->setCurrentIndex(0);
    CB_AOK = named(new QCheckBox(QStringLiteral("Verwendung möglich"), this), "CB_AOK");
    CB_AOK->setGeometry(816, 240, 160, 17);

    connect(B_Minus, &QPushButton::clicked, this, &AudioPage::B_MinusClick);
    connect(B_PLus, &QPushButton::clicked, this, &AudioPage::B_PLusClick);
    connect(B_Audio, &QPushButton::clicked, this, &AudioPage::B_AudioClick);
}

void AudioPage::B_MinusClick()
{
    if (E_Ebene->text() != QLatin1String("1")) {
        E_Ebene->setText(QString::number(E_Ebene->text().toInt() - 1));
    }
}

void AudioPage::B_PLusClick()
{
    if (E_Ebene->text() != QLatin1String("16")) {
        E_Ebene->setText(QString::number(E_Ebene->text().toInt() + 1));
    }
}

void AudioPage::B_AudioClick()
{
    CB_Audio->clear();
    CB_Audio->addItem(QStringLiteral("kein Audio-Device"));
    for (const std::string& name : m_audio->productNames()) {
        CB_Audio->addItem(QString::fromStdString(name));
    }
    CB_Audio->setCurrentIndex(CB_Audio->count() - 1);
}

bool AudioPage::isCurrentPage() const
{
    // The page sits in the page control's stack; it is current when that stack shows it.
    const auto* stack = qobject_cast<const QStackedWidget*>(parentWidget());
    return stack != nullptr && stack->currentWidget() == this;
}

void AudioPage::PC_mainChange()
{
    m_loop.run([this] { return isCurrentPage(); });
}

}  // namespace dz
