#pragma once

#include <QFlags>
#include <QString>

class EditPane;
class Prompts;

// The flags a find or replace dialog sends with each request.
enum class FindFlag : quint32 {
    Down = 0x1,
    MatchCase = 0x4,
    FindNext = 0x8,
    Replace = 0x10,
    ReplaceAll = 0x20,
    DialogTerm = 0x40,
};
Q_DECLARE_FLAGS(FindFlags, FindFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(FindFlags)

struct FindRequest {
    FindFlags flags;
    QString findText;
    QString replaceText;
};

// The view's find state and what it does with dialog requests and the repeat keys.
class FindReplace {
public:
    // The dialog fields hold at most this many characters.
    static constexpr qsizetype MaxTextLength = 127;

    FindReplace(EditPane& pane, Prompts& prompts);

    QString findText;
    QString replaceText;
    bool searchDown = true;
    bool matchCase = false;

    enum class Outcome { Handled, DialogClosed, Ignored };
    Outcome handleRequest(const FindRequest& request);

    // F3 (downward) and Shift+F3. False when nothing was searched yet: direction and case
    // are then set for the find dialog the caller should open.
    bool repeatSearch(bool downward);

    void ShowTextNotFound();

    // `text` cut to what a dialog field holds, never inside a surrogate pair.
    static QString limited(const QString& text);

private:
    void storeRequest(const FindRequest& request, bool withReplacement);
    // The start of the hit to replace first: the selection when it is a hit, else the
    // next hit found from it (then selected); -1 when there is none.
    qsizetype firstHitToReplace();
    void replaceOne();
    void replaceAll();

    EditPane& pane;
    Prompts& prompts;
};
