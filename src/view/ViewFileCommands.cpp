#include "view/CKumorialView.h"

void CKumorialView::registerFileCommands() {}
