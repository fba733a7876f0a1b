#pragma once

#include "core/document/DocumentBytes.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <optional>
#include <vector>

class EditPane;
struct FormatTable;

// How long an entry is, the three ways a blog service may count it.
struct TextCounts {
    // Code points; line breaks and lone CRs are not counted.
    qsizetype characters = 0;
    // The characters a reader sees: without HTML tags and without the markers of the
    // active formats; a character reference such as "&amp;" is one character.
    qsizetype visible = 0;
    // What a save writes, line breaks as CR LF.
    qsizetype bytes = 0;
    friend bool operator==(const TextCounts&, const TextCounts&) = default;
};

// The inserted begin and end texts of the active formats, longest first, each once.
QStringList formatMarkers(const FormatTable& table);

// `markers` as formatMarkers gives them.
TextCounts countText(QStringView paneText, const QStringList& markers,
                     TextEncoding encoding = TextEncoding::ShiftJis);

// The counts of a text held line by line (lines joined by CR LF), so that an edit recounts
// only the lines it touched. A tag may run across line breaks; only then is the text
// around it counted as a whole.
class LineCountTable {
public:
    // `markers` as formatMarkers gives them.
    explicit LineCountTable(const QStringList& markers = {}, TextEncoding encoding = TextEncoding::ShiftJis);

    const QStringList& markers() const { return markerList; }
    qsizetype lineCount() const { return qsizetype(lines.size()); }

    // Lines [first, first + removed) give way to `added` lines, counted at the next counts().
    void replaceLines(qsizetype first, qsizetype removed, qsizetype added);

    // The whole text's counts. `lineText(n)` is asked for each line not yet counted;
    // `wholeText()` only while a tag may run across a line break.
    TextCounts counts(const std::function<QString(qsizetype)>& lineText,
                      const std::function<QString()>& wholeText);

private:
    struct Line {
        qsizetype characters = 0;
        qsizetype visible = 0;
        qsizetype bytes = 0;
        qsizetype length = 0;
        bool openTag = false; // a "<" in it finds neither ">" nor "<" before the line's end
        bool counted = false;
    };
    void add(const Line& line, int sign);

    QStringList markerList;
    TextEncoding encoding;
    bool markersCrossLines = false;
    std::vector<Line> lines{Line{}};
    // Sums over the counted lines.
    qsizetype characters = 0, visible = 0, bytes = 0, openLines = 0;
    // Where uncounted lines may be: [dirtyFrom, dirtyTo).
    qsizetype dirtyFrom = 0, dirtyTo = 1;
};

// The whole text's counts, and the selection's when there is one.
struct PaneCounts {
    TextCounts whole;
    std::optional<TextCounts> selection;
};
PaneCounts countPane(const EditPane& pane, const QStringList& markers,
                     TextEncoding encoding = TextEncoding::ShiftJis);

// The status-bar text: the whole text against the size limit, and the selection first
// when there is one.
QString countsLabel(const TextCounts& whole, const std::optional<TextCounts>& selection);
