#include "spectrum/SpectrumPage.h"

namespace dz {

SpectrumPage::SpectrumPage(PageContext context, QWidget* parent) : Page(context, QStringLiteral("TS_KAV72"), parent) {}

}  // namespace dz
