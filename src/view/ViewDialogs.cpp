#include "view/CKumorialView.h"

void CKumorialView::registerDialogCommands() {}
