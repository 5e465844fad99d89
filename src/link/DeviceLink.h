#pragma once
// The link to the receiver: the socket, the link flag, the watchdog and the
// keep-alive, the request transport and the dispatch of received records.
// Front-ends only talk to the receiver through this class; it shows nothing
// itself and reports through its signals, which the window turns into boxes.
//
//   program: 55             (which image runs?)
//   receiver: 08 00 00 00 55 00 00 00   frame of 8 bytes, one record: 85 = pocket software
//   program: 12             (version?)
//   receiver: 0C 00 00 00 12 05 00 00 54 00 07 01  -> "LAN V05; KAV0054 V107"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>

#include "link/Exchange.h"
#include "link/LinkConfig.h"
#include "link/RestartableTimer.h"
#include "link/TcpClient.h"

namespace dz {

namespace request {
constexpr uint8_t kVersion = 0x12;
constexpr uint8_t kWhichImage = 0x55;  // also the keep-alive byte
}  // namespace request

class DeviceLink : public QObject {
    Q_OBJECT
public:
    using PayloadHandler = std::function<void(const uint8_t* payload, int count)>;

    DeviceLink(Exchange& exchange, LinkConfig config, QObject* parent = nullptr);
    ~DeviceLink() override;

    Exchange& exchange() { return m_ex; }
    const LinkConfig& config() const { return m_config; }

    // The link flag (the window's CB_WLAN): the link is up; every sender tests it.
    bool linkUp() const { return m_linkUp; }

    // Start-up: the probe, then the link's own connect. False when the probe found
    // nothing; a failed connect after a good probe is reported as a link error.
    bool OpenAtStart();
    // The search: link down, probe, connect, version request. False when the probe
    // found nothing. The version record is posted and handled later.
    bool FindConnection();
    // Asks which image runs (0x55) and waits for the answer: 85, 90, 5 (no answer)
    // or whatever else the receiver answered. Ends the exchange.
    int QueryDeviceMode();
    // Asks for the version record (0x12); the answer fills the version text.
    void RequestVersion();
    // Drains what is still coming and closes the link.
    void DrainAndClose();

    // Sends one request and, while Busy is set, reads the answer, cuts it into frames
    // and dispatches each payload. Returns when the bytes read end at a frame
    // boundary or when the exchange has ended. Length 0 sends nothing and only waits.
    void SendRequest(const uint8_t* data, int length);
    void SendRequest(std::initializer_list<uint8_t> bytes)
    {
        SendRequest(bytes.begin(), static_cast<int>(bytes.size()));
    }

    // Posts a payload for OnDeviceData (the window message of the original design).
    void postDeviceData(const uint8_t* payload, int count);
    // Handles a payload before returning (after any posted earlier), and lets the
    // event queue be handled.
    void deliverNow(const uint8_t* payload, int count);
    // Routes one payload: dropped, handed to the scan, or walked record by record.
    void OnDeviceData(const uint8_t* payload, int count);

    void restartWatchdog();
    void restartKeepAlive();

    // Hooks of the pages that take payloads beyond the link's own records.
    void setScanRecordHandler(PayloadHandler handler) { m_onScanRecord = std::move(handler); }
    void setSlotBlockHandler(PayloadHandler handler) { m_onSlotBlock = std::move(handler); }
    void setDropRule(std::function<bool()> rule) { m_dropPayloads = std::move(rule); }

    // Handlers of the socket's failures and of the two timers.
    void TCP_ClientError(int error);
    void TimerTimer();
    void Timer1Timer();

    TcpClient TCP_Client;
    RestartableTimer Timer;   // watchdog
    RestartableTimer Timer1;  // keep-alive

signals:
    void linkUpChanged(bool up);
    void versionTextChanged(const QString& text);
    // A record set ReplyCode to `code` (0, 85 or 90): lets an operation see codes
    // that a later record of the same answer overwrote.
    void replyCodeReceived(int code);
    // Emitted inside the failing socket call; the window tells the user at once.
    void linkLost();
    void watchdogFired();
    void keepAliveTicked();

protected:
    bool event(QEvent* event) override;

private:
    void setLinkUp(bool up);

    Exchange& m_ex;
    LinkConfig m_config;
    bool m_linkUp = false;
    bool m_inError = false;
    bool m_inKeepAlive = false;
    int m_postsPending = 0;
    PayloadHandler m_onScanRecord;
    PayloadHandler m_onSlotBlock;
    std::function<bool()> m_dropPayloads;
};

}  // namespace dz
