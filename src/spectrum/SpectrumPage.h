#pragma once
// The page "KAV36E": level counter, audio output list and receive loop (its tab stays hidden).

#include "app/Page.h"

namespace dz {

class SpectrumPage final : public Page {
    Q_OBJECT
public:
    explicit SpectrumPage(PageContext context, QWidget* parent = nullptr);
};

}  // namespace dz
