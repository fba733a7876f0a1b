#pragma once

#include <QString>

class EditPane;
class Prompts;

// Searches the pane from the selection: downward from its start (one on when the selection
// is a hit of `text`), upward from one before it; no wrap-around. On a hit the hit is
// selected and scrolled into view. The wait cursor covers the search.
bool SearchText(EditPane& pane, Prompts& prompts, const QString& text, bool downward, bool matchCase);

// Replaces every occurrence of `text` (case-sensitive) from the start of the text as one
// undoable edit; the caret ends behind the last replacement, or at the start. No message.
void ReplaceAllFromTop(EditPane& pane, Prompts& prompts, const QString& text, const QString& replacement);
