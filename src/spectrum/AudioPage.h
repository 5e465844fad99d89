#pragma once
// The page "KAV36E": level counter, audio output list and receive loop. Its tab
// stays hidden; nothing on it draws, sends or plays.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include <memory>

#include "app/Page.h"
#include "spectrum/AudioOutputs.h"
#include "spectrum/ReceiveLoop.h"

namespace dz {

class AudioPage final : public Page {
    Q_OBJECT
public:
    AudioPage(PageContext context, std::unique_ptr<AudioOutputs> audio, QWidget* parent = nullptr);
    explicit AudioPage(PageContext context, QWidget* parent = nullptr);

    void B_MinusClick();
    void B_PLusClick();
    void B_AudioClick();
    // The page control changed its page: while this page is current, the loop runs.
    void PC_mainChange();

    bool receiveLoopRunning() const { return m_loop.running(); }

    QLabel* I_Display;
    QLabel* L_Sample;
    QLabel* L_Rate;
    QCheckBox* CB_Mess;
    QLineEdit* E_Ebene;
    QPushButton* B_Minus;
    QPushButton* B_PLus;
    QPushButton* B_Capture;
    QPushButton* B_End;
    QScrollBar* SB_Display;
    QPushButton* B_Audio;
    QComboBox* CB_Audio;
    QCheckBox* CB_AOK;

private:
    bool isCurrentPage() const;

    std::unique_ptr<AudioOutputs> m_audio;
    ReceiveLoop m_loop;
};

}  // namespace dz
