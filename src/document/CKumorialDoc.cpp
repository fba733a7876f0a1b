#include "document/CKumorialDoc.h"
