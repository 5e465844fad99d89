#pragma once
// The 25 × 25 square that shows the frame colour and opens the colour choice
// when a mouse button is released over it.

#include <QColor>
#include <QWidget>

namespace dz {

class ColourSquare final : public QWidget {
    Q_OBJECT
public:
    explicit ColourSquare(QWidget* parent = nullptr);

    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour);

signals:
    void MouseUp();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor m_colour = Qt::black;
};

}  // namespace dz
