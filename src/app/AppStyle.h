#pragma once
// The program's look: a light slate theme on Qt's Fusion style.

class QApplication;

namespace dz {

// False when the style could not be applied; the program then keeps the default look.
bool applyAppStyle(QApplication& app);

}  // namespace dz
