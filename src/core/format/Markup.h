#pragma once

#include <QString>

class EditPane;

// Puts begin and end (stored forms) around the selection; backslashes are removed first.
void WrapSelection(EditPane& pane, const QString& begin, const QString& end);
// Puts text right after the selection, exactly as given.
void InsertAfterSelection(EditPane& pane, const QString& text);
