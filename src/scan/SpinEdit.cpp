#include "scan/SpinEdit.h"

#include <QLineEdit>

namespace dz {

SpinEdit::SpinEdit(int minimum, int maximum, int value, QWidget* parent) : QSpinBox(parent)
{
    setRange(minimum, maximum);
    setValue(value);
    connect(this, &QSpinBox::textChanged, this, &SpinEdit::Change);
}

int SpinEdit::Value() const
{
    bool ok = false;
    const int v = cleanText().toInt(&ok);
    return ok ? v : 0;
}

}  // namespace dz
