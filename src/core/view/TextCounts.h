#pragma once

#include "core/document/DocumentBytes.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

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
