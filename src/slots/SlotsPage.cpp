#include "slots/SlotsPage.h"

namespace dz {

SlotsPage::SlotsPage(PageContext context, QWidget* parent) : Page(context, QStringLiteral("TS_Speicher"), parent) {}

}  // namespace dz
