#pragma once
// The program's look: a light slate theme on Qt's Fusion style.

class QApplication;
class QWidget;

namespace dz {

// False when the style could not be applied; the program then keeps the default look.
bool applyAppStyle(QApplication& app);

// A disabled group of check boxes that only show state: the user cannot change
// them, but they read as clearly as enabled ones.
void showAsIndicators(QWidget* group);

}  // namespace dz
