#pragma once

#include <QString>
#include <QStringView>
#include <vector>

class EditPane;
class Prompts;
class QLocale;

// Searches the pane from the selection: downward from its start (one on when the selection
// is a hit of `text`), upward from one before it; no wrap-around. On a hit the hit is
// selected and scrolled into view. The wait cursor covers the search.
bool SearchText(EditPane& pane, Prompts& prompts, const QString& text, bool downward, bool matchCase);

// Replaces every occurrence of `text` (case-sensitive) from the start of the text as one
// undoable edit; the caret ends behind the last replacement, or at the start. No message.
void ReplaceAllFromTop(EditPane& pane, Prompts& prompts, const QString& text, const QString& replacement);

// How case is folded for case-insensitive comparison: Turkic locales pair dotted and
// dotless i differently.
enum class CaseFolding { Default, Turkic };
CaseFolding caseFoldingFor(const QLocale& locale);
// The folding of the current default locale (the user's, unless a default was set).
CaseFolding userCaseFolding();

// Equality of two texts of the same length: exact, or under per-character simple case folding.
bool textsMatch(QStringView a, QStringView b, bool matchCase, CaseFolding folding);

// Finds the hits of one needle in one text, search after search.
class TextScanner {
public:
    // Both views must outlive the scanner.
    TextScanner(QStringView text, QStringView needle, bool matchCase, CaseFolding folding);
    // As findInText.
    qsizetype find(qsizetype from, bool downward);

private:
    bool matchesAt(qsizetype q) const;
    qsizetype nextUnit(size_t k, qsizetype from);

    QStringView text;
    QStringView needle;
    bool matchCase;
    CaseFolding folding;
    // The units a hit can start with, looked for ahead; empty: every position is tried.
    std::vector<char16_t> firstUnits;
    std::vector<qsizetype> nextAt;
    std::vector<qsizetype> scannedFrom;
};

// The first candidate position q in scan order whose `needle.size()` characters match
// `needle`, the hit neither starting nor ending between the CR and the LF of a line break: downward from,
// from + 1, ... up to the last position where the needle fits; upward from, from - 1, ... 0, with `from`
// pulled back so the needle fits. -1 when none.
qsizetype findInText(QStringView text, QStringView needle, qsizetype from, bool downward, bool matchCase,
                     CaseFolding folding);

// Selects the first hit of `text` in scan order from candidate `from` (see findInText) and
// scrolls it into view; false, with the selection unchanged, when there is none.
bool SelectNextHit(EditPane& pane, Prompts& prompts, const QString& text, qsizetype from, bool downward,
                   bool matchCase);

// Replaces the `n` characters at each of `hits` (non-overlapping positions in the current
// text, in the order they are replaced) by `replacement` as one undoable edit, each
// insertion cut to the room the pane would have left it. The caret ends behind the one
// replaced last, as if they had been replaced one by one.
void ReplaceHits(EditPane& pane, const std::vector<qsizetype>& hits, qsizetype n, const QString& replacement);
