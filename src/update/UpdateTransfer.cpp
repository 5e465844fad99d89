#include "update/UpdateTransfer.h"

#include <algorithm>

#include "link/DeviceLink.h"
#include "link/EventWait.h"
#include "link/RecordWalk.h"

namespace dz {

namespace {

constexpr char kCannotLoad[] = "File cannot be loaded into KAV!";
constexpr char kSuccess[] = "File transfer finished successfully!";
constexpr char kNackQueue[] = "NACK_RX_Queue: Configuration can not be saved!";
constexpr char kDeviceException[] = "Exception caused by device driver!";

const QString kClearing = QStringLiteral("Clearing memory:");
const QString kBytesSent = QStringLiteral("Bytes sent:");

// The start answered by 90, and in the same answer by 0: the memory is clear already.
bool acceptedThenCleared(const Reply& answer)
{
    const auto accepted = std::find(answer.codes.begin(), answer.codes.end(), record::kFactory);
    return accepted != answer.codes.end() &&
           std::find(accepted, answer.codes.end(), record::kAck) != answer.codes.end();
}

// "Bytes sent:" replaces "Clearing memory:" from the second data block on.
bool showsBytesSent(UpdateTarget target, int64_t startedAt)
{
    return target == UpdateTarget::Pocket ? startedAt > 64 && startedAt < 120 : startedAt > 1 && startedAt < 120;
}

}  // namespace

UpdateTransfer::UpdateTransfer(DeviceLink& link, UpdateView& view, UpdateConfig config, QObject* parent)
    : QObject(parent), Timer2(this), m_link(link), m_view(view), m_config(config)
{
    Timer2.setInterval(m_config.clearingTickMs);
    connect(&Timer2, &QTimer::timeout, this, &UpdateTransfer::Timer2Timer);
    connect(&m_link, &DeviceLink::watchdogFired, &Timer2, &QTimer::stop);
    // A clearing phase that has heard nothing for the keep-alive's interval stops
    // counting; the watchdog then ends it.
    connect(&m_link, &DeviceLink::keepAliveTicked, &Timer2, &QTimer::stop);
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

bool UpdateTransfer::run(PreparedUpdate update)
{
    const DeviceLink::Claim held = m_link.claim(LinkOperation::Update);
    if (!held) {
        return false;
    }
    UpdateEncoder encoder(update.target, std::move(update.file), update.name);
    m_running = true;
    m_status = kCannotLoad;
    m_count = 0;
    showCount();
    m_view.setTransferRunning(true);
    pumpOnce();

    Reply answer = start(encoder);
    const bool accepted = answer.ok() && answer.code() == record::kFactory;
    const bool refused = answer.ok() && !accepted && !acceptedThenCleared(answer);
    if (accepted) {
        answer = clear();
    }
    m_view.setProgress(0);
    if (refused) {
        m_status = kNackQueue;
        m_count = 0;
        showCount();
    } else {
        sendData(encoder, std::move(answer));
    }

    m_running = false;
    m_view.showOutcome(QString::fromStdString(m_status));
    m_view.setTransferRunning(false);
    return true;
}

Reply UpdateTransfer::start(const UpdateEncoder& encoder)
{
    const StartRequest request = BuildStartRequest(encoder.target(), static_cast<uint64_t>(encoder.fileSize()));
    return m_link.request(request, Reading::Answer);
}

Reply UpdateTransfer::clear()
{
    // Waits for the receiver's word that its memory is clear, for as long as it goes on
    // counting: the ticks keep the watchdog from firing.
    m_view.setSendLabel(kClearing);
    Timer2.setInterval(m_config.clearingTickMs);
    Timer2.start();
    Reply cleared = m_link.receive(Reading::Answer);
    Timer2.stop();
    return cleared;
}

void UpdateTransfer::sendData(UpdateEncoder& encoder, Reply answer)
{
    for (;;) {
        if (!answer.ok()) {
            failed(answer);
            return;
        }
        const int code = answer.code();
        if (code == record::kPocket) {
            ++m_count;  // busy: its real answer follows
            showCount();
            m_link.restartWatchdog();
            answer = m_link.receive(Reading::Answer);
            continue;
        }
        if (code != record::kAck) {
            m_status = kDeviceException;
            m_count = 0;
            showCount();
            return;
        }
        m_count = encoder.BytesSent;
        showCount();
        m_view.setProgress(static_cast<int>(std::min<int64_t>(100, 100 * encoder.BytesSent / encoder.fileSize())));
        const bool done = encoder.complete();
        const UpdateEncoder::Block block = encoder.BuildNextBlock();
        if (done) {
            // After the last acknowledgement one more block of filler goes out, unanswered:
            // the receiver has always been sent it.
            m_status = kSuccess;
            m_link.send(block.bytes);
            return;
        }
        if (block.carriesData && showsBytesSent(encoder.target(), block.startedAt)) {
            m_view.setSendLabel(kBytesSent);
        }
        answer = m_link.request(block.bytes, Reading::Answer);
    }
}

void UpdateTransfer::failed(const Reply& answer)
{
    if (answer.end == Reply::End::Timeout) {
        m_status = kTimeoutText;
    }
}

}  // namespace dz
