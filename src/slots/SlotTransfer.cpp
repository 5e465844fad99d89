#include "slots/SlotTransfer.h"

#include "link/EventWait.h"
#include "link/RecordWalk.h"

namespace dz {

namespace {

const QString kReading = QStringLiteral("Try to read out...");
const QString kReadDone = QStringLiteral("Read from KAV72!");
const QString kReadBroken = QStringLiteral("Read from KAV72 incomplete!");
const QString kReadError = QStringLiteral("Error on reading!");
const QString kWriteError = QStringLiteral("Error on saving!");
const QString kClearError = QStringLiteral("Fehler beim Speichern!");
constexpr int kQuietSlotsToGiveUp = 2;

QString byteCountAfter(int slot)
{
    return slot == slot::kCount ? QStringLiteral("16128  OK!") : QString::number(slot * slot::kRecordSize);
}

}  // namespace

// Takes the buttons away while a transfer runs and gives them back at its end.
class SlotTransfer::Run {
public:
    explicit Run(SlotTransfer& t) : m_t(t)
    {
        m_t.m_running = true;
        m_t.m_stopped = false;
        m_t.m_view.setTransferButtonsEnabled(false);
    }
    ~Run()
    {
        m_t.m_running = false;
        m_t.m_view.setTransferButtonsEnabled(true);
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

private:
    SlotTransfer& m_t;
};

SlotTransfer::SlotTransfer(DeviceLink& link, SlotStream& store, SlotView& view)
    : m_link(link), m_store(store), m_view(view)
{
}

SlotTransfer::~SlotTransfer() = default;

bool SlotTransfer::linkGoneOrStopped() const
{
    return !m_link.linkUp() || m_stopped;
}

bool SlotTransfer::readAll()
{
    if (!m_link.linkUp()) {
        return true;
    }
    const DeviceLink::Claim held = m_link.claim(LinkOperation::SlotRead);
    if (!held) {
        return false;
    }
    Run run(*this);
    m_view.showSource(kReading);
    m_view.showByteCount(QStringLiteral("0"));
    pumpOnce();
    m_store.resize(slot::kStoreSize);
    const uint8_t request = slotRequest::kRead;
    // A slot whose block does not come is passed over: its record stays as it was.
    // Two in a row mean the receiver has gone quiet; waiting out the rest would
    // only delay the same result.
    bool missed = false;
    int quietInARow = 0;
    for (int slot = 1; slot <= slot::kCount && !linkGoneOrStopped(); ++slot) {
        const Reply answer = m_link.request({&request, 1}, Reading::Answer);
        if (answer.end == Reply::End::Closed) {
            m_stopped = true;
            break;
        }
        const bool came =
            answer.ok() && (answer.slotBlock.empty() ? answer.code() == record::kAck : onSlotBlock(answer.slotBlock));
        if (came) {
            quietInARow = 0;
            continue;
        }
        missed = true;
        if (++quietInARow == kQuietSlotsToGiveUp) {
            break;
        }
    }
    m_view.showSource(linkGoneOrStopped() || missed ? kReadBroken : kReadDone);
    return true;
}

bool SlotTransfer::writeAll()
{
    return sendAll(
        LinkOperation::SlotWrite,
        [](int slot, const SlotStream& store) { return slotWriteRequest(slot, store.record(slot)); }, kWriteError);
}

bool SlotTransfer::clearAll()
{
    return sendAll(
        LinkOperation::SlotClear, [](int slot, const SlotStream&) { return slotClearRequest(slot); }, kClearError);
}

bool SlotTransfer::sendAll(LinkOperation operation, SlotWriteRequest (*request)(int slot, const SlotStream& store),
                           const QString& failure)
{
    if (!m_link.linkUp()) {
        return true;
    }
    const DeviceLink::Claim held = m_link.claim(operation);
    if (!held) {
        return false;
    }
    Run run(*this);
    m_view.showByteCount(QStringLiteral("0"));
    pumpOnce();
    for (int slot = 1; slot <= slot::kCount; ++slot) {
        const SlotWriteRequest bytes = request(slot, m_store);
        const Reply answer = m_link.request(bytes, Reading::Answer);
        if (answer.end == Reply::End::Closed) {
            m_stopped = true;
        }
        if (!answer.ok() || answer.code() != record::kAck) {
            if (!m_stopped) {
                m_view.showMessage(failure);
            }
            return true;
        }
        m_view.showByteCount(byteCountAfter(slot));
        pumpOnce();
    }
    return true;
}

bool SlotTransfer::onSlotBlock(std::span<const uint8_t> bytes)
{
    const std::optional<SlotBlock> block = parseSlotBlock(bytes.data(), static_cast<int>(bytes.size()));
    if (!block) {
        m_view.showMessage(kReadError);
        return false;
    }
    // By its slot number: a block that went missing before it shifts nothing.
    m_store.storeRecordBytes(block->slot, block->record, block->carried);
    m_view.ShowSlotRecord(m_store.record(block->slot), block->slot);
    m_view.showByteCount(byteCountAfter(block->slot));
    return true;
}

}  // namespace dz
