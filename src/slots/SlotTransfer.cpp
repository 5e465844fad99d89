#include "slots/SlotTransfer.h"

#include <QDir>

#include <algorithm>

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
const QString kBackingUp = QStringLiteral("Backup: reading KAV72...");
const QString kVerifying = QStringLiteral("Verifying: reading KAV72 again...");

QString byteCountAfter(int slot)
{
    return slot == slot::kCount ? QStringLiteral("16128  OK!") : QString::number(slot * slot::kRecordSize);
}

QString slotList(const std::vector<int>& numbers)
{
    QStringList parts;
    for (std::size_t i = 0; i < numbers.size();) {
        std::size_t j = i;
        while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1) {
            ++j;
        }
        parts << (j == i ? QString::number(numbers[i]) : QStringLiteral("%1-%2").arg(numbers[i]).arg(numbers[j]));
        i = j + 1;
    }
    return parts.join(QStringLiteral(", "));
}

QString backupLine(const QString& path)
{
    return QStringLiteral("The slots as they were before: %1").arg(QDir::toNativeSeparators(path));
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

SlotTransfer::SlotTransfer(DeviceLink& link, SlotStream& store, SlotView& view, SlotBackups backups)
    : m_link(link), m_store(store), m_view(view), m_backups(std::move(backups))
{
}

std::vector<int> SlotTransfer::Read::missing() const
{
    std::vector<int> numbers;
    for (int slot = 1; slot <= slot::kCount; ++slot) {
        if (!came.test(static_cast<std::size_t>(slot))) {
            numbers.push_back(slot);
        }
    }
    return numbers;
}

bool SlotTransfer::linkGoneOrStopped() const
{
    return !m_link.linkUp() || m_stopped;
}

SlotTransfer::Read SlotTransfer::readSlots(SlotStream& into, bool shown)
{
    Read read;
    into.resize(std::max<std::size_t>(into.size(), slot::kStoreSize));
    const uint8_t request = slotRequest::kRead;
    for (int slot = 1; slot <= slot::kCount && !linkGoneOrStopped(); ++slot) {
        const Reply answer = m_link.request({&request, 1}, Reading::Answer);
        if (answer.end == Reply::End::Closed) {
            m_stopped = true;
            break;
        }
        if (!answer.ok() || answer.slotBlock.empty()) {
            continue;  // this slot did not come; the next one is asked for all the same
        }
        const std::optional<SlotBlock> block =
            parseSlotBlock(answer.slotBlock.data(), static_cast<int>(answer.slotBlock.size()));
        if (!block) {
            if (shown) {
                m_view.showMessage(kReadError);
            }
            continue;
        }
        // By its slot number: a block that went missing before it shifts nothing.
        into.storeRecordBytes(block->slot, block->record, block->carried);
        read.came.set(static_cast<std::size_t>(block->slot));
        read.carried[static_cast<std::size_t>(block->slot)] = block->carried;
        if (shown) {
            m_view.ShowSlotRecord(into.record(block->slot), block->slot);
            m_view.showByteCount(byteCountAfter(block->slot));
        }
    }
    read.linkLost = !m_link.linkUp();
    return read;
}

SlotTransfer::Result SlotTransfer::readAll()
{
    if (!m_link.linkUp()) {
        return Result::Failed;
    }
    const DeviceLink::Claim held = m_link.claim(LinkOperation::SlotRead);
    if (!held) {
        return Result::Refused;
    }
    Run run(*this);
    m_view.showSource(kReading);
    m_view.showByteCount(QStringLiteral("0"));
    pumpOnce();
    const Read read = readSlots(m_store, true);
    const std::vector<int> missing = read.missing();
    m_view.showSource(missing.empty() ? kReadDone : kReadBroken);
    m_view.showMissing(missing);
    return missing.empty() ? Result::Done : Result::Failed;
}

SlotTransfer::Result SlotTransfer::writeAll()
{
    return changeSlots(LinkOperation::SlotWrite, false);
}

SlotTransfer::Result SlotTransfer::clearAll()
{
    return changeSlots(LinkOperation::SlotClear, true);
}

SlotTransfer::Write SlotTransfer::sendSlots(const SlotStream& records, bool clear, std::vector<int>& sent,
                                            std::vector<int>& skipped)
{
    m_view.showByteCount(QStringLiteral("0"));
    for (int slot = 1; slot <= slot::kCount; ++slot) {
        if (!clear && !records.known(slot)) {
            skipped.push_back(slot);
            continue;
        }
        const SlotWriteRequest bytes = clear ? slotClearRequest(slot) : slotWriteRequest(slot, records.record(slot));
        const Reply answer = m_link.request(bytes, Reading::Answer);
        if (answer.end == Reply::End::Closed) {
            m_stopped = true;
        }
        if (!answer.ok() || answer.code() != record::kAck) {
            return m_stopped ? Write::Refused : Write::Failed;
        }
        sent.push_back(slot);
        m_view.showByteCount(byteCountAfter(slot));
        pumpOnce();
    }
    return Write::Done;
}

SlotTransfer::Result SlotTransfer::changeSlots(LinkOperation operation, bool clear)
{
    if (!m_link.linkUp()) {
        return Result::Failed;
    }
    const DeviceLink::Claim held = m_link.claim(operation);
    if (!held) {
        return Result::Refused;
    }
    Run run(*this);
    m_lastBackup.clear();
    const QString failure = clear ? kClearError : kWriteError;

    // What the receiver holds now goes to a file first: if that fails, nothing is written.
    m_view.showSource(kBackingUp);
    pumpOnce();
    SlotStream before;
    const std::vector<int> unread = readSlots(before, false).missing();
    if (m_stopped) {
        return Result::Failed;
    }
    if (!unread.empty()) {
        m_view.showSource(failure);
        m_view.showMessage(QStringLiteral("%1\nThe slots in KAV72 could not all be read for the backup (missing: %2). "
                                          "Nothing was written; check the connection and try again.")
                               .arg(failure, slotList(unread)));
        return Result::Failed;
    }
    const SlotBackups::Saved backup = m_backups.save(before);
    if (backup.path.isEmpty()) {
        m_view.showSource(failure);
        m_view.showMessage(QStringLiteral("%1\nThe backup of the slots in KAV72 could not be saved: %2\nNothing was "
                                          "written.")
                               .arg(failure, backup.error));
        return Result::Failed;
    }
    m_lastBackup = backup.path;

    // The slots as they are now go out and are compared: an edit made while the write runs
    // is neither half sent nor taken for what the receiver should hold.
    const SlotStream sending = m_store;
    std::vector<int> sent;
    std::vector<int> skipped;
    const Write written = sendSlots(sending, clear, sent, skipped);
    if (written == Write::Refused) {
        return Result::Failed;
    }
    if (written == Write::Failed) {
        m_view.showSource(failure);
        m_view.showMessage(QStringLiteral("%1\n%2").arg(failure, backupLine(backup.path)));
        return Result::Failed;
    }

    // Read back and compare what was sent, on the bytes each block carries.
    m_view.showSource(kVerifying);
    pumpOnce();
    SlotStream after;
    const Read check = readSlots(after, false);
    if (m_stopped) {
        return Result::Failed;
    }
    std::vector<int> differ;
    for (const int slot : sent) {
        const auto n = static_cast<std::size_t>(check.carried[static_cast<std::size_t>(slot)]);
        const SlotRecord wanted = clear ? SlotRecord{} : sending.record(slot);
        const SlotRecord got = after.record(slot);
        if (!check.came.test(static_cast<std::size_t>(slot)) ||
            !std::equal(wanted.bytes.begin(), wanted.bytes.begin() + static_cast<std::ptrdiff_t>(n),
                        got.bytes.begin())) {
            differ.push_back(slot);
        }
    }
    QString text;
    if (differ.empty()) {
        m_view.showSource(clear ? QStringLiteral("KAV72 cleared and verified")
                                : QStringLiteral("Written to KAV72 and verified"));
        text = clear ? QStringLiteral("All %1 slots in KAV72 were cleared and read back empty.").arg(sent.size())
                     : QStringLiteral("%1 slots were written to KAV72 and read back the same.").arg(sent.size());
    } else {
        m_view.showSource(QStringLiteral("Verify failed"));
        text = QStringLiteral(
                   "%1 %2 read back differently from what was sent (or did not come back). Check it in "
                   "the receiver, and write again.")
                   .arg(differ.size() == 1 ? QStringLiteral("Slot") : QStringLiteral("Slots"), slotList(differ));
    }
    if (!skipped.empty()) {
        const QString line = skipped.size() == 1
                                 ? QStringLiteral("Slot %1 was never read or loaded, so it was not written.")
                                 : QStringLiteral("Slots %1 were never read or loaded, so they were not written.");
        text +=
            QLatin1Char('\n') + line.arg(slotList(skipped)) + QStringLiteral(" The receiver keeps what it had there.");
    }
    m_view.showMessage(text + QLatin1Char('\n') + backupLine(backup.path));
    return differ.empty() ? Result::Done : Result::Failed;
}

}  // namespace dz
