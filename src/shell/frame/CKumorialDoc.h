#pragma once

#include "shell/framework/CommandRouter.h"

// The framework's document of the single-document window. The text lives in the view's
// pane; the document holds nothing and handles no command of its own.
class CKumorialDoc {
public:
    const CommandMap& commands() const { return commandMap; }

private:
    CommandMap commandMap;
};
