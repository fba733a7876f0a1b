#include "view/CKumorialView.h"

void CKumorialView::registerFindCommands() {}
