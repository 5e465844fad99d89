#include "link/DeviceLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>

#include "link/DeviceDataEvent.h"
#include "link/EventWait.h"
#include "link/FrameReader.h"
#include "link/RecordWalk.h"

namespace dz {

namespace {

constexpr int kSearchReadMax = 512;  // the search reads its answer once, up to this much
constexpr int kSearchFrameMax = 12;  // and hands on at most one version record
constexpr int kKeepAliveReadMax = 8;
constexpr int kDrainLimitMs = 2000;  // closing never waits longer for a chattering peer
constexpr char kTimeoutText[] = "Timeout: Device doesn't respond!";

}  // namespace

DeviceLink::DeviceLink(Exchange& exchange, LinkConfig config, QObject* parent)
    : QObject(parent), TCP_Client(this), Timer(this), Timer1(this), m_ex(exchange), m_config(std::move(config))
{
    TCP_Client.setEndpoint(m_config.device);
    TCP_Client.setConnectTimeout(m_config.connectTimeoutMs);
    TCP_Client.setErrorHandler([this](int error) { TCP_ClientError(error); });

    Timer.setInterval(m_config.watchdogMs);
    connect(&Timer, &RestartableTimer::timeout, this, &DeviceLink::TimerTimer);

    Timer1.setInterval(m_config.keepAliveFirstMs);
    connect(&Timer1, &RestartableTimer::timeout, this, &DeviceLink::Timer1Timer);
    Timer1.start();
}

DeviceLink::~DeviceLink()
{
    TCP_Client.setErrorHandler(nullptr);
}

void DeviceLink::setLinkUp(bool up)
{
    if (m_linkUp != up) {
        m_linkUp = up;
        emit linkUpChanged(up);
    }
}

bool DeviceLink::OpenAtStart()
{
    if (!probeConnect(m_config.device, m_config.probeTimeoutMs)) {
        return false;
    }
    setLinkUp(true);
    pumpOnce();
    TCP_Client.open();  // a failure here arrives through TCP_ClientError
    return true;
}

bool DeviceLink::FindConnection()
{
    setLinkUp(false);
    emit versionTextChanged(QString());
    TCP_Client.close();
    pumpOnce();

    if (!probeConnect(m_config.device, m_config.probeTimeoutMs)) {
        return false;
    }
    if (TCP_Client.open()) {
        TCP_Client.waitForData(m_config.settleMs);
    }
    if (!TCP_Client.connected()) {
        return true;  // the failed connect has been reported already
    }
    setLinkUp(true);
    const uint8_t version = request::kVersion;
    TCP_Client.sendBuf(&version, 1);
    restartKeepAlive();
    pumpOnce();
    if (TCP_Client.waitForData(m_config.searchReplyMs)) {
        const int got = TCP_Client.receiveBuf(m_ex.RxBuffer.data(), kSearchReadMax);
        if (got >= 2) {
            m_ex.FrameLength = std::min<int32_t>(frameLengthField(m_ex), kSearchFrameMax);
            // Only what actually came in is handed on; the rest of the frame is not waited for.
            const int count = std::min<int>(m_ex.FrameLength, got) - 4;
            if (count > 0) {
                postDeviceData(m_ex.RxBuffer.data() + 4, count);
            }
        }
    }
    return true;
}

int DeviceLink::QueryDeviceMode()
{
    restartWatchdog();
    m_ex.Busy = 1;
    m_ex.ReplyCode = reply::kAwaited;
    SendRequest({request::kWhichImage});
    pumpUntil([this] { return m_ex.ReplyCode != reply::kAwaited || !m_ex.Busy; });
    const int code = m_ex.ReplyCode;
    m_ex.Busy = 0;
    Timer.stop();
    return code;
}

void DeviceLink::RequestVersion()
{
    restartWatchdog();
    m_ex.Busy = 1;
    SendRequest({request::kVersion});
}

void DeviceLink::DrainAndClose()
{
    QElapsedTimer spent;
    spent.start();
    while (TCP_Client.connected() && spent.elapsed() < kDrainLimitMs && TCP_Client.waitForData(m_config.drainMs)) {
        TCP_Client.receiveBuf(m_ex.RxBuffer.data(), Exchange::kRxUsed);
    }
    TCP_Client.close();
}

void DeviceLink::restartWatchdog()
{
    Timer.setInterval(m_config.watchdogMs);
    Timer.start();
}

void DeviceLink::restartKeepAlive()
{
    Timer1.setInterval(m_config.keepAliveMs);
    Timer1.start();
}

void DeviceLink::SendRequest(const uint8_t* data, int length)
{
    if (!m_linkUp) {
        return;
    }
    if (!TCP_Client.connected()) {
        if (!TCP_Client.open()) {
            return;  // reported once; there is nothing to send on
        }
        TCP_Client.waitForData(m_config.settleMs);
    }
    // A late reply to an abandoned exchange must not pass for this request's answer.
    // A call that sends nothing waits for a frame that may already be there.
    if (length > 0) {
        TCP_Client.discardPending();
        if (!TCP_Client.connected()) {
            return;  // the link went while the stale bytes were dropped; it has been reported
        }
    }
    m_ex.RxCount = 0;
    m_ex.FrameLength = 0;
    const uint32_t serial = ++m_ex.RequestSerial;
    if (length > 0) {
        TCP_Client.sendBuf(data, length);
    }
    restartWatchdog();
    restartKeepAlive();

    const auto superseded = [this, serial] { return m_ex.RequestSerial != serial; };
    const auto giveUp = [this, &superseded] { return !m_ex.Busy || superseded(); };
    const PayloadSink deliver = [this](const uint8_t* payload, int count) { deliverNow(payload, count); };
    while (m_ex.Busy) {
        pumpIfDue();
        if (superseded()) {
            return;  // a request sent from inside the pump owns the buffer now
        }
        if (!TCP_Client.connected()) {
            pumpUntil(giveUp, m_config.readyWaitMs);
            continue;
        }
        uint8_t* const into = m_ex.RxBuffer.data() + m_ex.RxCount;
        const int room = Exchange::kRxUsed - m_ex.RxCount;
        int got = TCP_Client.receiveSoon(into, room);
        if (got == 0) {
            if (!TCP_Client.waitForData(m_config.readyWaitMs, giveUp, false)) {
                continue;
            }
            got = TCP_Client.receiveBuf(into, room);
        }
        if (got <= 0) {
            continue;
        }
        m_ex.RxCount += got;
        const FrameLoopEnd end = cutFrames(m_ex, deliver);
        if (end != FrameLoopEnd::NeedMore) {
            return;
        }
    }
}

void DeviceLink::postDeviceData(const uint8_t* payload, int count)
{
    ++m_postsPending;
    QCoreApplication::postEvent(this, new DeviceDataEvent(payload, count));
}

void DeviceLink::deliverNow(const uint8_t* payload, int count)
{
    // Posts still waiting were posted first; they go first.
    if (m_postsPending > 0) {
        QCoreApplication::sendPostedEvents(this, DeviceDataEvent::kType);
    }
    OnDeviceData(payload, count);
    pumpIfDue();
}

bool DeviceLink::event(QEvent* event)
{
    if (event->type() == DeviceDataEvent::kType) {
        --m_postsPending;
        const auto* data = static_cast<DeviceDataEvent*>(event);
        OnDeviceData(data->data(), data->count());
        return true;
    }
    return QObject::event(event);
}

void DeviceLink::OnDeviceData(const uint8_t* payload, int count)
{
    if (count <= 0) {
        return;
    }
    if (m_dropPayloads && m_dropPayloads()) {
        return;
    }
    if (m_ex.ScanActive) {
        if (m_onScanRecord) {
            m_onScanRecord(payload, count);
        }
        return;
    }

    class Sink final : public RecordSink {
    public:
        explicit Sink(DeviceLink& link) : m_link(link) {}
        void replyCode(int code) override
        {
            m_link.m_ex.ReplyCode = code;
            emit m_link.replyCodeReceived(code);
        }
        void versionText(const std::string& text) override
        {
            emit m_link.versionTextChanged(QString::fromStdString(text));
        }
        void slotBlock(const uint8_t* record, int n) override
        {
            if (m_link.m_onSlotBlock) {
                m_link.m_onSlotBlock(record, n);
            }
        }
        void unknownRecord(int) override { m_link.m_ex.Busy = 0; }

    private:
        DeviceLink& m_link;
    } sink(*this);
    walkRecords(payload, count, sink);
}

void DeviceLink::TCP_ClientError(int)
{
    // Closing the socket can fail too, and reports through this same handler.
    if (m_inError) {
        return;
    }
    m_inError = true;
    m_ex.Busy = 0;
    setLinkUp(false);
    TCP_Client.close();
    Timer1.stop();
    emit versionTextChanged(QString());
    emit linkLost();
    m_inError = false;
}

void DeviceLink::TimerTimer()
{
    m_ex.StatusText = kTimeoutText;
    Timer.stop();
    m_ex.Busy = 0;
    m_ex.ReplyCode = reply::kTimeout;
    emit watchdogFired();
}

void DeviceLink::Timer1Timer()
{
    // Inside an exchange the keep-alive byte would land in the middle of it and
    // its answer would be taken for the exchange's own.
    if (m_ex.Busy || m_inKeepAlive) {
        return;
    }
    m_inKeepAlive = true;
    if (m_linkUp && TCP_Client.connected()) {
        const uint8_t keepAlive = request::kWhichImage;
        if (TCP_Client.sendBuf(&keepAlive, 1)) {
            pumpOnce();
            if (TCP_Client.waitForData(m_config.keepAliveReplyMs)) {
                uint8_t scrap[kKeepAliveReadMax];
                TCP_Client.receiveBuf(scrap, kKeepAliveReadMax);
            }
        }
    }
    m_inKeepAlive = false;
    emit keepAliveTicked();
}

}  // namespace dz
