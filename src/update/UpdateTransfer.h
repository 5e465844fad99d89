#pragma once
// Runs one software transfer once its checks have passed, and reports to its
// page through UpdateView. Three phases:
//
//   program: 09 E8 03 00 00          start: LAN driver image of 1000 bytes
//   receiver: 90                     accepted; the receiver clears its memory...
//   receiver: 0                      ...and says when it is done (a minute without a word ends it)
//   program: 81 <256 bytes>          block 1        receiver: 0
//   program: 82 <256 bytes>          block 2        receiver: 85 (busy) ... 0
//   ...                              until every byte is acknowledged
//
// Everything runs on the caller's thread; the waits handle events as they come.

#include <QObject>
#include <QString>
#include <QTimer>

#include "link/Reply.h"

#include "update/UpdateEncoder.h"
#include "update/UpdateStart.h"

namespace dz {

class DeviceLink;

struct UpdateConfig {
    int clearingTickMs = 500;  // the clearing phase counts in these steps
    int frameWaitMs = 1000;    // one wait for the answer that follows a busy answer
};

class UpdateView {
public:
    virtual ~UpdateView() = default;
    virtual void setSendLabel(const QString& text) = 0;  // what the counter counts
    virtual void setBytesText(const QString& text) = 0;  // the counter
    virtual void setProgress(int percent) = 0;           // 0..100
    // While a transfer runs, nothing may start another one or change its target.
    virtual void setTransferRunning(bool running) = 0;
    // The outcome, shown before the controls are given back.
    virtual void showOutcome(const QString& text) = 0;
};

class UpdateTransfer final : public QObject {
    Q_OBJECT
public:
    UpdateTransfer(DeviceLink& link, UpdateView& view, UpdateConfig config = {}, QObject* parent = nullptr);

    // Sends the prepared file and returns once the outcome has been shown. False,
    // sending nothing, while another operation holds the link.
    bool run(PreparedUpdate update);
    bool running() const { return m_running; }

    // One tick of the clearing phase: counts on and keeps the watchdog from firing.
    void Timer2Timer();
    QTimer Timer2;

private:
    // The three phases; each returns the answer the next one acts on.
    Reply start(const UpdateEncoder& encoder);
    Reply clear();
    void sendData(UpdateEncoder& encoder, Reply answer);
    // What an answer that ended the transfer says.
    void failed(const Reply& answer);
    void showCount();

    DeviceLink& m_link;
    UpdateView& m_view;
    UpdateConfig m_config;
    bool m_running = false;
    int64_t m_count = 0;  // the number the counter shows
    std::string m_status;
};

}  // namespace dz
