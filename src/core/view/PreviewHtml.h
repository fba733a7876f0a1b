#pragma once

#include <QString>
#include <QStringView>

// The entry as a blog page shows it.
struct PreviewPage {
    QString html;
    // Where the caret's line stands in the page, from 0 (top) to 1 (bottom).
    double caretPlace = 0;
    // True when the text was too long and only the lines around the caret are shown.
    bool excerpt = false;
};

// More than a document can hold, so a saveable entry is always shown whole.
inline constexpr qsizetype PreviewWindow = 40000;

// Line breaks become "<br>" (a line break inside a tag stays part of the tag, one just
// before a block's edge only ends the line, as in a browser), alignment
// written as a bare word ("<P CENTER>") becomes an align attribute, and a "<" that starts
// no tag is shown as text. A text longer than `window` is cut to whole lines around `caret`.
PreviewPage previewPage(QStringView paneText, qsizetype caret, qsizetype window = PreviewWindow);
