#include "view/CKumorialView.h"

void CKumorialView::registerPrintCommands() {}
