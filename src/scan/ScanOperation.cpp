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

ScanOperation::ScanOperation(DeviceLink& link, ScanView& view)
    : m_link(link), m_linkAlive(&link), m_ex(link.exchange()), m_view(view)
{
    m_link.setScanRecordHandler([this](const uint8_t* payload, int count) { OnScanRecord(payload, count); });
}

ScanOperation::~ScanOperation()
{
    if (m_linkAlive) {
        m_linkAlive->setScanRecordHandler(nullptr);
    }
}

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

void ScanOperation::B_DispcpyClick()
{
    if (m_running) {
        return;
    }
    m_view.FillFrame();
    if (m_link.linkUp()) {
        scan();
    } else {
        m_ex.StatusText = kNoLink;
    }
    m_view.setImageVisible(true);
    pumpOnce();
    m_view.showMessage(QString::fromStdString(m_ex.StatusText));
}

void ScanOperation::scan()
{
    m_running = true;
    const ScanArea area = m_view.area();
    const ScanRequest request = buildScanRequest(area);
    setCounter(QString());
    m_view.setImageVisible(false);
    m_ex.ScanActive = 1;
    m_ex.RxCount = 0;
    m_link.restartWatchdog();
    m_ex.Busy = 1;
    m_ex.ReplyCode = columnRecordLength(area.H);
    m_rowsPerColumn = area.H;
    m_view.setScanRunning(true);
    m_ex.StatusText = kNoAnswer;
    QString acted;

    m_link.SendRequest(request.data(), scanRequest::kLength);
    m_view.setProgress(0);
    const uint8_t ack = scanRequest::kAck;
    while (m_ex.Busy) {
        pumpIfDue();
        // Sleeps until a record, a tick or the user changes something.
        pumpUntil([this, &acted] { return !m_ex.Busy || m_counter != acted; });
        if (m_ex.Busy && m_counter != acted) {
            acted = m_counter;
            m_link.SendRequest(&ack, 1);
            m_view.setProgress(progressFor(acted.toInt(), m_view.area().W));
        }
    }
    if (m_ex.ReplyCode == 0 && m_ex.StatusText == kComplete) {
        m_view.setProgress(kProgressMax);
    }
    m_ex.ScanActive = 0;
    m_link.Timer.stop();
    m_view.setScanRunning(false);
    m_running = false;
}

void ScanOperation::B_AbortClick()
{
    if (!m_link.linkUp()) {
        return;
    }
    m_ex.ScanActive = 0;
    m_ex.Busy = 0;
    const uint8_t cancel = scanRequest::kCancel;
    m_link.SendRequest(&cancel, 1);
}

void ScanOperation::OnScanRecord(const uint8_t* payload, int count)
{
    m_link.Timer.stop();
    const ScanArea area = m_view.area();
    // A height raised since the start paints no more rows than the records carry; the
    // rows below keep what they showed.
    const int rows = std::min(area.H, m_rowsPerColumn);
    const ScanRecord record = readScanRecord(payload, count, m_ex.ReplyCode, area.W, rows);
    switch (record.kind) {
        case ScanRecord::Kind::Status:
            if (record.status != 0) {
                m_ex.ScanActive = 0;
                m_ex.Busy = 0;
                m_ex.ReplyCode = record.status;
                return;
            }
            setCounter(QStringLiteral("0"));
            m_link.restartWatchdog();
            return;
        case ScanRecord::Kind::Bad:
            m_ex.ScanActive = 0;
            m_ex.Busy = 0;
            m_ex.ReplyCode = reply::kBadRecord;
            return;
        case ScanRecord::Kind::Column:
            break;
    }
    if (record.last) {
        m_ex.ReplyCode = 0;
        m_ex.ScanActive = 0;
        m_ex.Busy = 0;
        m_ex.StatusText = kComplete;
    } else {
        m_link.restartWatchdog();
    }
    m_view.paintColumn(record.index, record.pixels, record.rows);
    setCounter(QString::number(record.index + 1));
}

}  // namespace dz
