#pragma once
// The picture control I_Scan: one 810 × 490, 24-bit bitmap whose top-left part,
// as large as the control, is shown. Columns are painted straight into the
// bitmap's rows; the control repaints only when it is shown.

#include <QImage>
#include <QWidget>

#include "scan/ScanPixels.h"

namespace dz {

class ScanImage final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 810;
    static constexpr int kHeight = 490;
    static constexpr int kMargin = 5;  // the frame around the copied area

    explicit ScanImage(QWidget* parent = nullptr);

    const QImage& bitmap() const { return m_bitmap; }
    // Fills the visible part, the control's current size, with `colour`.
    void fillVisible(const QColor& colour);
    // Area column `index`, `rows` pixel bytes, into the frame.
    void paintColumn(int index, const uint8_t* pixels, int rows);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PixelRows rows();

    QImage m_bitmap;
};

}  // namespace dz
