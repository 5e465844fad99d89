#pragma once
// What the window's operations show, as the command line shows it: the progress
// on standard error, the picture in memory, and the outcome kept for the caller,
// who decides the exit status.

#include <QImage>
#include <QStringList>

#include <vector>

#include "cli/Progress.h"
#include "scan/ScanView.h"
#include "slots/SlotView.h"
#include "update/UpdateTransfer.h"

namespace dz {

class CliUpdateView final : public UpdateView {
public:
    CliUpdateView(Progress& progress, qint64 fileSize);

    void setSendLabel(const QString& text) override;
    void setBytesText(const QString& text) override;
    void setProgress(int percent) override;
    void setTransferRunning(bool) override {}
    void showOutcome(const QString& text) override { m_outcome = text; }

    const QString& outcome() const { return m_outcome; }

private:
    Progress& m_progress;
    bool m_clearing = false;
    QString m_outcome;
};

// The window's 810 × 490 picture, painted as the page paints it, with a black frame.
class CliScanView final : public ScanView {
public:
    CliScanView(Progress& progress, ScanArea area);

    ScanArea area() const override { return m_area; }
    void FillFrame() override;
    void setImageVisible(bool) override {}
    void setScanRunning(bool) override {}
    void showColumnCounter(const QString& text) override;
    void setProgress(int) override {}
    void paintColumn(int index, const uint8_t* pixels, int rows) override;
    void showMessage(const QString& text) override { m_message = text; }

    const QString& message() const { return m_message; }
    // Columns of the area that never came.
    int missingColumns() const;
    // The area alone, or the whole picture with its frame.
    QImage picture(bool framed) const;

private:
    Progress& m_progress;
    ScanArea m_area;
    QImage m_picture;
    std::vector<bool> m_painted;
    QString m_message;
};

class CliSlotView final : public SlotView {
public:
    explicit CliSlotView(Progress& progress) : m_progress(progress) {}

    void setTransferButtonsEnabled(bool) override {}
    void showByteCount(const QString& text) override;
    void showSource(const QString& text) override { m_source = text; }
    void ShowSlotRecord(const SlotRecord&, int) override {}
    void showMessage(const QString& text) override { m_messages << text; }
    void showMissing(const std::vector<int>& numbers) override { m_missing = numbers; }

    const QStringList& messages() const { return m_messages; }
    const std::vector<int>& missing() const { return m_missing; }
    const QString& source() const { return m_source; }

private:
    Progress& m_progress;
    QString m_source;
    QStringList m_messages;
    std::vector<int> m_missing;
};

}  // namespace dz
