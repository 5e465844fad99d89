#include "scan/ScanOperation.h"

#include <algorithm>

#include "link/EventWait.h"

namespace dz {

namespace {

const char kNoLink[] = "No connection available!";
const char kNoAnswer[] = "Device doesn't respond!";
const char kComplete[] = "All data received!";
constexpr int kProgressMax = 100;

}  // namespace

ScanOperation::ScanOperation(DeviceLink& link, ScanView& view) : m_link(link), m_view(view) {}

void ScanOperation::setCounter(const QString& text)
{
    m_counter = text;
    m_view.showColumnCounter(text);
}

int ScanOperation::progressFor(int counter, int width) const
{
    // The bar trails the counter by one column and is full when the last one is in.
    if (width <= 1) {
        return 0;
    }
    return std::clamp(counter * kProgressMax / (width - 1), 0, kProgressMax);
}

bool ScanOperation::B_DispcpyClick()
{
    const DeviceLink::Claim held = m_link.claim(LinkOperation::Scan);
    if (!held) {
        return false;
    }
    m_view.FillFrame();
    if (m_link.linkUp()) {
        scan();
    } else {
        m_status = kNoLink;
    }
    m_view.setImageVisible(true);
    pumpOnce();
    m_view.showMessage(QString::fromStdString(m_status));
    return true;
}

void ScanOperation::scan()
{
    m_running = true;
    m_cancelled = false;
    const ScanArea area = m_view.area();
    const ScanRequest request = buildScanRequest(area);
    setCounter(QString());
    m_view.setImageVisible(false);
    m_columnLength = columnRecordLength(area.H);
    m_rowsPerColumn = area.H;
    m_view.setScanRunning(true);
    m_status = kNoAnswer;

    Reply answer = m_link.request(request, Reading::Whole);
    m_view.setProgress(0);
    const uint8_t ack = scanRequest::kAck;
    for (;;) {
        if (m_cancelled) {
            const uint8_t cancel = scanRequest::kCancel;
            m_link.send({&cancel, 1});
            break;
        }
        if (!answer.ok()) {
            if (answer.end == Reply::End::Timeout) {
                m_status = kTimeoutText;
            }
            break;
        }
        if (OnScanRecord(answer.payload) != Step::Next) {
            break;
        }
        const QString acted = m_counter;
        answer = m_link.request({&ack, 1}, Reading::Whole);
        m_view.setProgress(progressFor(acted.toInt(), m_view.area().W));
    }
    m_view.setScanRunning(false);
    m_running = false;
}

void ScanOperation::B_AbortClick()
{
    if (!m_running || !m_link.linkUp()) {
        return;
    }
    m_cancelled = true;
    m_link.interruptWait();
}

ScanOperation::Step ScanOperation::OnScanRecord(std::span<const uint8_t> payload)
{
    const ScanArea area = m_view.area();
    // A height raised since the start paints no more rows than the records carry; the
    // rows below keep what they showed.
    const int rows = std::min(area.H, m_rowsPerColumn);
    const ScanRecord record =
        readScanRecord(payload.data(), static_cast<int>(payload.size()), m_columnLength, area.W, rows);
    switch (record.kind) {
        case ScanRecord::Kind::Status:
            if (record.status != 0) {
                return Step::Failed;
            }
            setCounter(QStringLiteral("0"));
            return Step::Next;
        case ScanRecord::Kind::Bad:
            return Step::Failed;
        case ScanRecord::Kind::Column:
            break;
    }
    m_view.paintColumn(record.index, record.pixels, record.rows);
    setCounter(QString::number(record.index + 1));
    if (record.last) {
        m_view.setProgress(kProgressMax);
        m_status = kComplete;
        return Step::Done;
    }
    return Step::Next;
}

}  // namespace dz
