#pragma once
// The page "Display Copy": copies a rectangle of the receiver's screen into a picture.

#include "app/Page.h"

namespace dz {

class ScanPage final : public Page {
    Q_OBJECT
public:
    explicit ScanPage(PageContext context, QWidget* parent = nullptr);
};

}  // namespace dz
