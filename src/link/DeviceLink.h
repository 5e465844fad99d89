#pragma once
// The link to the receiver: the socket, the link flag, the watchdog and the
// keep-alive, and the one exchange that runs at a time. Operations claim the link,
// then ask it for exchanges and get back what happened; nothing else reads the
// socket or touches the exchange state. It shows nothing itself and reports
// through its signals, which the window turns into boxes.
//
//   program: 55             (which image runs?)
//   receiver: 08 00 00 00 55 00 00 00   frame of 8 bytes, one record: 85 = pocket software
//   program: 12             (version?)
//   receiver: 0C 00 00 00 12 05 00 00 54 00 07 01  -> "LAN V05; KAV0054 V107"

#include <QObject>
#include <QString>

class QTimer;

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <utility>

#include "link/Exchange.h"
#include "link/LinkConfig.h"
#include "link/LinkOperation.h"
#include "link/Reply.h"
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
    // Holds the link for one operation; the link is free again when it goes.
    class Claim {
    public:
        Claim() = default;
        Claim(Claim&& other) noexcept : m_link(std::exchange(other.m_link, nullptr)) {}
        Claim& operator=(Claim&&) = delete;
        Claim(const Claim&) = delete;
        ~Claim();
        explicit operator bool() const { return m_link != nullptr; }

    private:
        friend class DeviceLink;
        explicit Claim(DeviceLink* link) : m_link(link) {}
        DeviceLink* m_link = nullptr;
    };

    enum class SearchResult { Found, NotFound, Refused };

    explicit DeviceLink(LinkConfig config, QObject* parent = nullptr);
    ~DeviceLink() override;

    const LinkConfig& config() const { return m_config; }

    // The link flag (the window's CB_WLAN): the link is up; every sender tests it.
    bool linkUp() const { return m_linkUp; }
    bool connected() const { return m_client.connected(); }

    // One operation at a time. Empty when another one runs or the link is shutting
    // down: the caller then sends nothing. A keep-alive still waiting for its answer
    // is settled first, so that answer is never taken for the operation's.
    Claim claim(LinkOperation operation);
    LinkOperation operation() const { return m_operation; }
    bool idle() const { return m_operation == LinkOperation::None && !m_shuttingDown; }

    // Start-up: the probe, then the link's own connect. False when the probe found
    // nothing; a failed connect after a good probe is reported as a link error.
    bool OpenAtStart();
    // The search: link down, probe, connect, version request. Refused, doing
    // nothing, while another operation holds the link.
    SearchResult FindConnection();
    // Asks which image runs (0x55) and waits for the answer: 85, 90, 5 (no answer)
    // or whatever else the receiver answered; -1 when nothing usable came or the
    // link is held by another operation.
    int QueryDeviceMode();
    // Asks for the version record (0x12); the answer fills the version text.
    void RequestVersion();
    // Closing: ends every wait, refuses every new operation, drains what is still
    // coming and closes the link.
    void DrainAndClose();

    // The exchange, for the holder of a claim. Sends the request (arming the watchdog
    // first) and waits for the next frame of the answer; stale bytes of an abandoned
    // exchange are dropped before sending. Refused at once, sending nothing, without a
    // claim or while the link is down.
    Reply request(std::span<const uint8_t> bytes, Reading reading = Reading::Records);
    Reply request(std::initializer_list<uint8_t> bytes, Reading reading = Reading::Records)
    {
        return request(std::span<const uint8_t>(bytes.begin(), bytes.size()), reading);
    }
    // Waits for the next frame without sending: a frame already held comes at once.
    Reply receive(Reading reading = Reading::Records);
    // Sends bytes that get no answer (a scan's cancel, the update's last filler).
    bool send(std::span<const uint8_t> bytes);
    // Whatever arrives within `waitMs`, unframed (the spectrum page's loop).
    Reply receiveChunk(int waitMs, const std::function<bool()>& stop);
    // Ends the holder's current wait with Reply::End::Interrupted (a user's cancel).
    void interruptWait();

    void restartWatchdog();
    void stopWatchdog() { Timer.stop(); }

    // Handlers of the socket's failures and of the two timers.
    void TCP_ClientError(int error);
    void TimerTimer();
    void Timer1Timer();

    const RestartableTimer& watchdog() const { return Timer; }
    const RestartableTimer& keepAlive() const { return Timer1; }

signals:
    void linkUpChanged(bool up);
    void versionTextChanged(const QString& text);
    // An operation claimed the link, or (None) gave it back.
    void operationChanged(LinkOperation operation);
    // Emitted inside the failing socket call; the window tells the user at once.
    void linkLost();
    void watchdogFired();
    // The keep-alive's interval passed; inside an operation no byte goes out.
    void keepAliveTicked();

private:
    void setLinkUp(bool up);
    void release();
    void restartKeepAlive();
    bool ensureConnected();
    bool sendNow(std::span<const uint8_t> bytes);
    // The one receive path: reads into the exchange's buffer until a whole frame is
    // held (or, unframed, anything), the wait ends, or `limitMs` passes (-1: no limit
    // but the watchdog's).
    Reply nextFrame(Reading reading, int limitMs, const std::function<bool()>& stop);
    bool readMore(int waitMs, const std::function<bool()>& stop);
    Reply takeFrame(Reading reading);
    Reply ended(Reply::End end);
    // Forgets every byte received and not yet handed out.
    void dropReceived();
    bool timedOut() const { return m_ex.ReplyCode == reply::kTimeout; }
    void walk(Reply& reply, int count);
    void settleKeepAlive();

    LinkConfig m_config;
    TcpClient m_client;
    RestartableTimer Timer;   // watchdog
    RestartableTimer Timer1;  // keep-alive
    Exchange m_ex;
    LinkOperation m_operation = LinkOperation::None;
    bool m_linkUp = false;
    bool m_inError = false;
    bool m_shuttingDown = false;
    bool m_interrupted = false;
    bool m_keepAliveOut = false;          // its byte is out and its answer not yet read
    int m_held = 0;                       // length of the frame handed out last, dropped at the next read
    QTimer* m_keepAliveSettle = nullptr;  // runs out when the keep-alive's answer is due
};

}  // namespace dz
