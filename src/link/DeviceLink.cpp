#include "link/DeviceLink.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

#include "link/EventWait.h"
#include "link/FrameReader.h"
#include "link/RecordWalk.h"

namespace dz {

namespace {

constexpr int kSearchRecordMax = 8;  // the search hands on at most one version record
constexpr int kDrainLimitMs = 2000;  // closing never waits longer for a chattering peer

}  // namespace

DeviceLink::Claim::~Claim()
{
    if (m_link != nullptr) {
        m_link->release();
    }
}

DeviceLink::DeviceLink(LinkConfig config, QObject* parent)
    : QObject(parent), m_config(std::move(config)), m_client(this), Timer(this), Timer1(this)
{
    m_client.setEndpoint(m_config.device);
    m_client.setConnectTimeout(m_config.connectTimeoutMs);
    m_client.setErrorHandler([this](int error) { TCP_ClientError(error); });

    Timer.setInterval(m_config.watchdogMs);
    connect(&Timer, &RestartableTimer::timeout, this, &DeviceLink::TimerTimer);

    Timer1.setInterval(m_config.keepAliveFirstMs);
    connect(&Timer1, &RestartableTimer::timeout, this, &DeviceLink::Timer1Timer);
    Timer1.start();

    m_keepAliveSettle = new QTimer(this);
    m_keepAliveSettle->setSingleShot(true);
    connect(m_keepAliveSettle, &QTimer::timeout, this, &DeviceLink::settleKeepAlive);
}

DeviceLink::~DeviceLink()
{
    m_client.setErrorHandler(nullptr);
}

void DeviceLink::setLinkUp(bool up)
{
    if (m_linkUp != up) {
        m_linkUp = up;
        emit linkUpChanged(up);
    }
}

DeviceLink::Claim DeviceLink::claim(LinkOperation operation)
{
    if (m_operation != LinkOperation::None || m_shuttingDown || operation == LinkOperation::None) {
        return {};
    }
    m_operation = operation;
    m_interrupted = false;
    emit operationChanged(operation);
    settleKeepAlive();
    return Claim(this);
}

void DeviceLink::release()
{
    Timer.stop();
    m_ex.ReplyCode = reply::kAwaited;
    m_interrupted = false;
    m_operation = LinkOperation::None;
    emit operationChanged(LinkOperation::None);
}

bool DeviceLink::OpenAtStart()
{
    const Claim held = claim(LinkOperation::Startup);
    if (!held || !probeConnect(m_config.device, m_config.probeTimeoutMs)) {
        return false;
    }
    setLinkUp(true);
    pumpOnce();
    m_client.open();  // a failure here arrives through TCP_ClientError
    return true;
}

DeviceLink::SearchResult DeviceLink::FindConnection()
{
    const Claim held = claim(LinkOperation::Search);
    if (!held) {
        return SearchResult::Refused;
    }
    setLinkUp(false);
    emit versionTextChanged(QString());
    m_client.close();
    dropReceived();
    pumpOnce();

    if (!probeConnect(m_config.device, m_config.probeTimeoutMs)) {
        return SearchResult::NotFound;
    }
    if (m_client.open()) {
        m_client.waitForData(m_config.settleMs);
    }
    if (!m_client.connected() || m_shuttingDown) {
        return SearchResult::Found;  // a failed connect has been reported already
    }
    setLinkUp(true);
    const uint8_t version = request::kVersion;
    if (!sendNow({&version, 1})) {
        return SearchResult::Found;
    }
    restartKeepAlive();
    // No watchdog: the search gives its answer a short while of its own, and a silent
    // receiver leaves the link up without a version.
    Reply answer = nextFrame(Reading::Whole, m_config.searchReplyMs, {});
    if (answer.ok()) {
        walk(answer, std::min<int>(kSearchRecordMax, static_cast<int>(answer.payload.size())));
    }
    return SearchResult::Found;
}

int DeviceLink::QueryDeviceMode()
{
    const Claim held = claim(LinkOperation::Sync);
    if (!held) {
        return reply::kAwaited;
    }
    const Reply answer = request({request::kWhichImage}, Reading::Answer);
    return answer.end == Reply::End::Timeout ? reply::kTimeout : answer.code();
}

void DeviceLink::RequestVersion()
{
    if (const Claim held = claim(LinkOperation::Startup)) {
        request({request::kVersion}, Reading::Records);
    }
}

void DeviceLink::DrainAndClose()
{
    // Every wait still running under this call ends now instead of by its watchdog.
    m_shuttingDown = true;
    m_ex.Busy = 0;
    m_keepAliveSettle->stop();
    m_keepAliveOut = false;
    Timer.stop();
    Timer1.stop();
    QElapsedTimer spent;
    spent.start();
    dropReceived();
    while (m_client.connected() && spent.elapsed() < kDrainLimitMs && readMore(m_config.drainMs, {})) {
        dropReceived();
    }
    m_client.close();
}

void DeviceLink::restartWatchdog()
{
    m_ex.ReplyCode = reply::kAwaited;
    Timer.setInterval(m_config.watchdogMs);
    Timer.start();
}

void DeviceLink::restartKeepAlive()
{
    Timer1.setInterval(m_config.keepAliveMs);
    Timer1.start();
}

bool DeviceLink::ensureConnected()
{
    if (m_client.connected()) {
        return true;
    }
    if (!m_client.open()) {
        return false;  // reported once; there is nothing to send on
    }
    m_client.waitForData(m_config.settleMs);
    return m_client.connected() && !m_shuttingDown;
}

bool DeviceLink::sendNow(std::span<const uint8_t> bytes)
{
    // A late reply to an abandoned exchange must not pass for this request's answer.
    m_client.discardPending();
    dropReceived();
    if (!m_client.connected()) {
        return false;  // the link went while the stale bytes were dropped; it has been reported
    }
    return m_client.sendBuf(bytes.data(), static_cast<int>(bytes.size()));
}

Reply DeviceLink::request(std::span<const uint8_t> bytes, Reading reading)
{
    if (m_operation == LinkOperation::None) {
        return Reply{};
    }
    if (m_shuttingDown) {
        return ended(Reply::End::Closed);
    }
    if (!m_linkUp) {
        return Reply{};  // nothing is sent and no watchdog armed: the wait ends here
    }
    if (!ensureConnected()) {
        return ended(Reply::End::LinkLost);
    }
    restartWatchdog();  // armed before the bytes go out, so that no answer is waited for unbounded
    if (!sendNow(bytes)) {
        return ended(m_linkUp ? Reply::End::Timeout : Reply::End::LinkLost);
    }
    restartKeepAlive();
    return nextFrame(reading, -1, {});
}

Reply DeviceLink::receive(Reading reading)
{
    if (m_operation == LinkOperation::None) {
        return Reply{};
    }
    // Every wait ends: without a running watchdog this one would not.
    if (!Timer.isActive() && !timedOut()) {
        restartWatchdog();
    }
    return nextFrame(reading, -1, {});
}

bool DeviceLink::send(std::span<const uint8_t> bytes)
{
    if (m_operation == LinkOperation::None || m_shuttingDown || !m_linkUp || !m_client.connected()) {
        return false;
    }
    return sendNow(bytes);
}

void DeviceLink::interruptWait()
{
    if (m_operation != LinkOperation::None) {
        m_interrupted = true;
        m_ex.Busy = 0;
    }
}

void DeviceLink::dropReceived()
{
    m_ex.RxCount = 0;
    m_ex.FrameLength = 0;
    m_held = 0;
}

Reply DeviceLink::ended(Reply::End end)
{
    m_ex.Busy = 0;
    Reply r;
    r.end = end;
    return r;
}

bool DeviceLink::readMore(int waitMs, const std::function<bool()>& stop)
{
    uint8_t* const into = m_ex.RxBuffer.data() + m_ex.RxCount;
    const int room = Exchange::kRxUsed - m_ex.RxCount;
    pumpIfDue();
    if (!m_client.connected()) {
        return false;
    }
    // An answer on a good link comes within the socket's short receive time-out: one call.
    int got = m_client.receiveSoon(into, room);
    if (got == 0) {
        if (waitMs <= 0 || !m_client.waitForData(waitMs, stop, false)) {
            return false;
        }
        got = m_client.receiveBuf(into, room);
    }
    if (got <= 0) {
        return false;
    }
    m_ex.RxCount += got;
    return true;
}

Reply DeviceLink::nextFrame(Reading reading, int limitMs, const std::function<bool()>& stop)
{
    const QDeadlineTimer limit =
        limitMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(limitMs, Qt::PreciseTimer);
    m_ex.ScanActive = reading == Reading::Whole ? 1 : 0;
    for (;;) {
        if (m_held > 0) {
            dropFrontFrame(m_ex);  // the frame handed out last
            m_held = 0;
        }
        m_ex.Busy = 1;
        switch (frameAtFront(m_ex)) {
            case FrameAt::Whole: {
                Reply r = takeFrame(reading);
                if (reading == Reading::Answer && r.ok() && r.codes.empty() && r.slotBlock.empty()) {
                    continue;  // a frame without an answer in it: the answer is still to come
                }
                return r;
            }
            case FrameAt::BadLength:
                dropReceived();
                return ended(Reply::End::BadFrame);
            case FrameAt::Partial:
                break;
        }
        if (m_shuttingDown) {
            return ended(Reply::End::Closed);
        }
        if (m_interrupted || (stop && stop())) {
            m_interrupted = false;
            return ended(Reply::End::Interrupted);
        }
        if (!m_linkUp) {
            return ended(Reply::End::LinkLost);
        }
        if (timedOut()) {
            return ended(Reply::End::Timeout);
        }
        const qint64 left = limit.isForever() ? m_config.readyWaitMs : limit.remainingTime();
        const int waitMs = static_cast<int>(std::min<qint64>(m_config.readyWaitMs, left));
        if (!m_client.connected()) {
            pumpUntil([this] { return m_ex.Busy == 0 || m_shuttingDown || !m_linkUp; }, waitMs);
        } else {
            readMore(waitMs, [this, &stop] { return m_ex.Busy == 0 || (stop && stop()); });
        }
        if (!limit.isForever() && limit.hasExpired() && frameAtFront(m_ex) != FrameAt::Whole) {
            return ended(Reply::End::Timeout);
        }
    }
}

Reply DeviceLink::takeFrame(Reading reading)
{
    m_held = m_ex.FrameLength;
    m_ex.Busy = 0;
    Reply r;
    r.end = Reply::End::Frame;
    r.payload = std::span<const uint8_t>(m_ex.RxBuffer.data() + 4, static_cast<std::size_t>(m_ex.FrameLength - 4));
    if (reading != Reading::Whole) {
        walk(r, static_cast<int>(r.payload.size()));
    }
    return r;
}

void DeviceLink::walk(Reply& reply, int count)
{
    class Sink final : public RecordSink {
    public:
        Sink(DeviceLink& link, Reply& reply) : m_link(link), m_reply(reply) {}
        void replyCode(int code) override { m_reply.codes.push_back(code); }
        void versionText(const std::string& text) override
        {
            emit m_link.versionTextChanged(QString::fromStdString(text));
        }
        void slotBlock(const uint8_t* record, int n) override
        {
            m_reply.slotBlock = std::span<const uint8_t>(record, static_cast<std::size_t>(n));
        }
        void unknownRecord(int) override { m_reply.end = Reply::End::UnknownRecord; }

    private:
        DeviceLink& m_link;
        Reply& m_reply;
    } sink(*this, reply);
    walkRecords(reply.payload.data(), count, sink);
}

Reply DeviceLink::receiveChunk(int waitMs, const std::function<bool()>& stop)
{
    if (m_operation == LinkOperation::None) {
        return Reply{};
    }
    if (m_held > 0) {
        dropFrontFrame(m_ex);
        m_held = 0;
    }
    m_ex.Busy = 1;
    if (m_shuttingDown) {
        return ended(Reply::End::Closed);
    }
    if (!m_linkUp) {
        return ended(Reply::End::LinkLost);
    }
    if (m_ex.RxCount == 0) {
        const auto over = [this, &stop] { return m_ex.Busy == 0 || m_shuttingDown || !m_linkUp || (stop && stop()); };
        if (!m_client.connected()) {
            pumpUntil(over, waitMs);
        } else {
            readMore(waitMs, over);
        }
    }
    if (m_ex.RxCount == 0) {
        return ended(stop && stop() ? Reply::End::Interrupted : Reply::End::Timeout);
    }
    m_ex.Busy = 0;
    Reply r;
    r.end = Reply::End::Frame;
    r.payload = std::span<const uint8_t>(m_ex.RxBuffer.data(), static_cast<std::size_t>(m_ex.RxCount));
    m_ex.RxCount = 0;  // the bytes stay where they are until the next read
    return r;
}

void DeviceLink::settleKeepAlive()
{
    if (!m_keepAliveOut) {
        return;
    }
    m_keepAliveOut = false;
    // The settle timer runs out when the answer is due: what is left of it is the wait.
    const int left = std::max(0, m_keepAliveSettle->remainingTime());
    m_keepAliveSettle->stop();
    if (m_linkUp && m_client.connected() && !m_shuttingDown) {
        dropReceived();
        nextFrame(Reading::Whole, left, {});  // read and dropped: its answer is nobody's
        dropReceived();
    }
}

void DeviceLink::TCP_ClientError(int)
{
    // Closing the socket can fail too, and reports through this same handler.
    if (m_inError) {
        return;
    }
    m_inError = true;
    m_ex.Busy = 0;
    m_keepAliveOut = false;
    setLinkUp(false);
    m_client.close();
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
    emit keepAliveTicked();
    // Inside an operation the byte would land in the middle of its exchange and the
    // answer would be taken for the operation's own.
    if (m_operation != LinkOperation::None || m_keepAliveOut || m_shuttingDown) {
        return;
    }
    if (!m_linkUp || !m_client.connected()) {
        return;
    }
    const uint8_t keepAlive = request::kWhichImage;
    if (!sendNow({&keepAlive, 1})) {
        return;
    }
    // The answer is read when it is due, or by the next operation before it sends.
    m_keepAliveOut = true;
    m_keepAliveSettle->start(m_config.keepAliveReplyMs);
}

}  // namespace dz
