#pragma once
// A spin edit whose change handler runs on every change of its text, typed,
// stepped or set, and that reads as 0 while its text is not a number.

#include <QSpinBox>

#include <algorithm>

namespace dz {

class SpinEdit final : public QSpinBox {
    Q_OBJECT
public:
    SpinEdit(int minimum, int maximum, int value, QWidget* parent = nullptr);

    // The number in the text, or 0 while the text is not one.
    int Value() const;
    // Brought into the range first.
    void setValueInRange(int value) { setValue(std::clamp(value, minimum(), maximum())); }

signals:
    void Change();
};

}  // namespace dz
