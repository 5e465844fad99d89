#pragma once
// The page "Speicherplätze": the receiver's 63 memory slots.

#include "app/Page.h"

namespace dz {

class SlotsPage final : public Page {
    Q_OBJECT
public:
    explicit SlotsPage(PageContext context, QWidget* parent = nullptr);
};

}  // namespace dz
