#pragma once
// The program's icon, drawn in code: a small portable receiver with its display.

#include <QIcon>
#include <QPixmap>

namespace dz {

QPixmap appIconPixmap(int size);
QIcon appIcon();

}  // namespace dz
