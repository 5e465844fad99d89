#include "update/UpdateTransfer.h"

#include "link/DeviceLink.h"
#include "link/EventWait.h"
#include "link/FrameReader.h"
#include "link/RecordWalk.h"

namespace dz {

namespace {

constexpr char kCannotLoad[] = "File cannot be loaded into KAV!";
constexpr char kSuccess[] = "File transfer finished successfully!";
constexpr char kNackQueue[] = "NACK_RX_Queue: Configuration can not be saved!";
constexpr char kDeviceException[] = "Exception caused by device driver!";

const QString kClearing = QStringLiteral("Clearing memory:");
const QString kBytesSent = QStringLiteral("Bytes sent:");

bool frameHeld(const Exchange& ex)
{
    return ex.RxCount >= 2 && frameLengthField(ex) <= ex.RxCount;
}

// "Bytes sent:" replaces "Clearing memory:" from the second data block on.
bool showsBytesSent(UpdateTarget target, int64_t startedAt)
{
    return target == UpdateTarget::Pocket ? startedAt > 64 && startedAt < 120 : startedAt > 1 && startedAt < 120;
}

}  // namespace

UpdateTransfer::UpdateTransfer(DeviceLink& link, UpdateView& view, UpdateConfig config, QObject* parent)
    : QObject(parent), Timer2(this), m_link(link), m_ex(link.exchange()), m_view(view), m_config(config)
{
    Timer2.setInterval(m_config.clearingTickMs);
    connect(&Timer2, &QTimer::timeout, this, &UpdateTransfer::Timer2Timer);
    connect(&m_link, &DeviceLink::watchdogFired, &Timer2, &QTimer::stop);
    connect(&m_link, &DeviceLink::keepAliveTicked, &Timer2, &QTimer::stop);
    connect(&m_link, &DeviceLink::replyCodeReceived, this, [this](int code) {
        if (!m_running) {
            return;
        }
        if (code == record::kFactory) {
            m_accepted = true;
        } else if (code == record::kAck && m_accepted) {
            m_cleared = true;
        }
    });
}

void UpdateTransfer::showCount()
{
    m_view.setBytesText(QString::number(m_count));
}

void UpdateTransfer::Timer2Timer()
{
    ++m_count;
    showCount();
    m_link.restartWatchdog();
}

void UpdateTransfer::run(PreparedUpdate update)
{
    UpdateEncoder encoder(update.target, std::move(update.file), update.name);
    m_running = true;
    m_accepted = false;
    m_cleared = false;

    // Start.
    m_ex.Busy = 1;
    m_ex.StatusText = kCannotLoad;
    m_count = 0;
    showCount();
    m_ex.ReplyCode = reply::kAwaited;
    m_link.restartWatchdog();
    m_view.setTransferRunning(true);
    pumpOnce();
    const StartRequest start = BuildStartRequest(encoder.target(), static_cast<uint64_t>(encoder.fileSize()));
    m_link.SendRequest(start.data(), static_cast<int>(start.size()));
    pumpUntil([this] { return m_ex.ReplyCode != reply::kAwaited || !m_ex.Busy; });
    m_link.Timer.stop();

    // Clearing: waits for the receiver's next frame for as long as it needs, unless
    // that frame has come already, in the same read as the acceptance.
    if (m_ex.ReplyCode == record::kFactory) {
        m_view.setSendLabel(kClearing);
        m_ex.ReplyCode = reply::kAwaited;
        Timer2.setInterval(m_config.clearingTickMs);
        Timer2.start();
        m_link.SendRequest(nullptr, 0);
    } else if (m_accepted && m_cleared) {
        m_view.setSendLabel(kClearing);
    } else if (m_ex.Busy) {
        m_ex.ReplyCode = reply::kNackQueue;
    }

    // Data.
    Timer2.stop();
    m_view.setProgress(0);
    m_ex.RxCount = 0;
    m_ex.FrameLength = 0;
    while (m_ex.Busy) {
        pumpUntil([this] { return m_ex.ReplyCode != reply::kAwaited || !m_ex.Busy; });
        m_link.Timer.stop();
        if (m_ex.ReplyCode == reply::kAwaited || !m_ex.Busy) {
            // nothing more in this pass
        } else if (m_ex.ReplyCode == record::kPocket) {
            ++m_count;  // busy: its real answer follows
            showCount();
            m_link.restartWatchdog();
            m_ex.ReplyCode = reply::kAwaited;
            ReceiveOneFrame();
        } else if (m_ex.ReplyCode == record::kAck) {
            acknowledged(encoder);
        } else {
            Timer2.stop();
            m_ex.Busy = 0;
            m_ex.StatusText = m_ex.ReplyCode == reply::kNackQueue ? kNackQueue : kDeviceException;
            m_count = 0;
            showCount();
        }
        pumpIfDue();
    }

    m_running = false;
    m_view.showOutcome(QString::fromStdString(m_ex.StatusText));
    m_view.setTransferRunning(false);
}

void UpdateTransfer::acknowledged(UpdateEncoder& encoder)
{
    Timer2.stop();
    m_count = encoder.BytesSent;
    showCount();
    m_view.setProgress(static_cast<int>(std::min<int64_t>(100, 100 * encoder.BytesSent / encoder.fileSize())));
    const bool done = encoder.complete();
    if (done) {
        m_ex.Busy = 0;
        m_ex.StatusText = kSuccess;
    }
    // After the last acknowledgement one more block of filler goes out, unanswered:
    // the receiver has always been sent it.
    const UpdateEncoder::Block block = encoder.BuildNextBlock();
    if (!done) {
        if (block.carriesData && showsBytesSent(encoder.target(), block.startedAt)) {
            m_view.setSendLabel(kBytesSent);
        }
        m_ex.ReplyCode = reply::kAwaited;
    }
    m_link.SendRequest(block.bytes.data(), static_cast<int>(block.bytes.size()));  // restarts the watchdog
}

void UpdateTransfer::ReceiveOneFrame()
{
    const auto ended = [this] { return !m_ex.Busy; };
    while (m_ex.Busy) {
        pumpOnce();
        if (!frameHeld(m_ex)) {
            if (!m_link.TCP_Client.connected()) {
                pumpUntil(ended, m_config.frameWaitMs);
                continue;
            }
            if (!m_link.TCP_Client.waitForData(m_config.frameWaitMs, ended)) {
                continue;
            }
            const int got =
                m_link.TCP_Client.receiveBuf(m_ex.RxBuffer.data() + m_ex.RxCount, Exchange::kRxUsed - m_ex.RxCount);
            if (got <= 0) {
                continue;
            }
            m_ex.RxCount += got;
            if (m_ex.RxCount >= 2 && (frameLengthField(m_ex) < 4 || frameLengthField(m_ex) > Exchange::kRxUsed)) {
                m_ex.Busy = 0;  // a length no frame can have: the exchange is over
                return;
            }
            if (!frameHeld(m_ex)) {
                continue;
            }
        }
        cutFrames(
            m_ex, [this](const uint8_t* p, int n) { m_link.deliverNow(p, n); }, 1);
        return;
    }
}

}  // namespace dz
