#include "scan/ScanPage.h"

namespace dz {

ScanPage::ScanPage(PageContext context, QWidget* parent) : Page(context, QStringLiteral("TS_Dispcpy"), parent) {}

}  // namespace dz
