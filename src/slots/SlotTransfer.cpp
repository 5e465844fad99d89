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

// Counts the transfers that run (nested ones too) and gives the buttons back at the end.
class SlotTransfer::Run {
public:
    explicit Run(SlotTransfer& t) : m_t(t)
    {
        if (m_t.m_depth++ == 0) {
            m_t.m_stopped = false;
        }
        m_t.m_view.setTransferButtonsEnabled(false);
    }
    ~Run()
    {
        --m_t.m_depth;
        m_t.m_view.setTransferButtonsEnabled(true);
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

private:
    SlotTransfer& m_t;
};

SlotTransfer::SlotTransfer(DeviceLink& link, SlotStream& store, SlotView& view)
    : m_link(link), m_linkAlive(&link), m_ex(link.exchange()), m_store(store), m_view(view)
{
    m_link.setSlotBlockHandler([this](const uint8_t* payload, int count) { onSlotBlock(payload, count); });
}

SlotTransfer::~SlotTransfer()
{
    if (m_linkAlive) {
        m_linkAlive->setSlotBlockHandler(nullptr);
    }
}

bool SlotTransfer::linkGoneOrStopped() const
{
    return !m_link.linkUp() || m_stopped;
}

int SlotTransfer::exchange(const uint8_t* request, int length)
{
    m_ex.Busy = 1;
    m_ex.ReplyCode = reply::kAwaited;
    m_link.SendRequest(request, length);
    // Without the link nothing was sent and no watchdog runs: only the link's state ends the wait then.
    pumpUntil([this] { return m_ex.ReplyCode != reply::kAwaited || linkGoneOrStopped(); });
    return m_ex.ReplyCode;
}

void SlotTransfer::readAll()
{
    if (!m_link.linkUp()) {
        return;
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
        if (exchange(&request, 1) == record::kAck) {
            quietInARow = 0;
            continue;
        }
        missed = true;
        if (++quietInARow == kQuietSlotsToGiveUp) {
            break;
        }
    }
    m_view.showSource(linkGoneOrStopped() || missed ? kReadBroken : kReadDone);
}

void SlotTransfer::writeAll()
{
    sendAll([](int slot, const SlotStream& store) { return slotWriteRequest(slot, store.record(slot)); }, kWriteError);
}

void SlotTransfer::clearAll()
{
    sendAll([](int slot, const SlotStream&) { return slotClearRequest(slot); }, kClearError);
}

void SlotTransfer::sendAll(SlotWriteRequest (*request)(int slot, const SlotStream& store), const QString& failure)
{
    if (!m_link.linkUp()) {
        return;
    }
    Run run(*this);
    m_view.showByteCount(QStringLiteral("0"));
    pumpOnce();
    for (int slot = 1; slot <= slot::kCount; ++slot) {
        const SlotWriteRequest bytes = request(slot, m_store);
        if (exchange(bytes.data(), static_cast<int>(bytes.size())) != record::kAck) {
            if (!m_stopped) {
                m_view.showMessage(failure);
            }
            return;
        }
        m_view.showByteCount(byteCountAfter(slot));
        pumpOnce();
    }
}

void SlotTransfer::onSlotBlock(const uint8_t* payload, int count)
{
    const std::optional<SlotBlock> block = parseSlotBlock(payload, count);
    if (!block) {
        m_view.showMessage(kReadError);
        return;
    }
    // By its slot number: a block that went missing before it shifts nothing.
    m_store.storeRecordBytes(block->slot, block->record, block->carried);
    m_view.ShowSlotRecord(m_store.record(block->slot), block->slot);
    m_view.showByteCount(byteCountAfter(block->slot));
    m_ex.ReplyCode = record::kAck;
}

}  // namespace dz
