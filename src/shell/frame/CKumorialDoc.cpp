#include "shell/frame/CKumorialDoc.h"
