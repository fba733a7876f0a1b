#include "core/search/FindReplace.h"
#include "core/base/TextCut.h"

#include "core/base/EditPane.h"
#include "core/base/Prompts.h"
#include "core/res/Strings.h"
#include "core/search/Search.h"

#include <vector>

FindReplace::FindReplace(EditPane& editPane, Prompts& userPrompts) : pane(editPane), prompts(userPrompts) {}

QString FindReplace::limited(const QString& text)
{
    return fitToRoom(text, MaxTextLength).toString();
}

void FindReplace::ShowTextNotFound()
{
    prompts.messageBox(u'"' + findText + u'"' + resString(Str::NotFound), Prompts::Buttons::Ok,
                       Prompts::Icon::Information);
}

bool FindReplace::repeatSearch(bool downward)
{
    if (findText.isEmpty()) {
        searchDown = downward;
        matchCase = false;
        return false;
    }
    if (!SearchText(pane, prompts, findText, downward, matchCase))
        ShowTextNotFound();
    return true;
}

void FindReplace::storeRequest(const FindRequest& request, bool withReplacement)
{
    searchDown = request.flags.testFlag(FindFlag::Down);
    matchCase = request.flags.testFlag(FindFlag::MatchCase);
    findText = limited(request.findText);
    if (withReplacement)
        replaceText = limited(request.replaceText);
}

FindReplace::Outcome FindReplace::handleRequest(const FindRequest& request)
{
    const FindFlags flags = request.flags;
    if (flags.testFlag(FindFlag::DialogTerm))
        return Outcome::DialogClosed;
    const bool findNext = flags.testFlag(FindFlag::FindNext);
    const bool replace = flags.testFlag(FindFlag::Replace);
    if (!findNext && !replace && !flags.testFlag(FindFlag::ReplaceAll))
        return Outcome::Ignored;
    storeRequest(request, !findNext);
    // An empty text has no hits; the dialog never asks for one.
    if (findText.isEmpty())
        return Outcome::Handled;
    if (findNext) {
        if (!SearchText(pane, prompts, findText, searchDown, matchCase))
            ShowTextNotFound();
    } else if (replace) {
        replaceOne();
    } else {
        replaceAll();
    }
    return Outcome::Handled;
}

qsizetype FindReplace::firstHitToReplace()
{
    const EditPane::Selection sel = pane.selection();
    const QStringView selected = QStringView(pane.text()).sliced(sel.start, sel.end - sel.start);
    // Only a selection that is a hit gets replaced: anything else the user had selected
    // was never searched for.
    if (!sel.isEmpty() && textsMatch(selected, findText, matchCase, userCaseFolding()))
        return sel.start;
    if (!SearchText(pane, prompts, findText, searchDown, matchCase)) {
        ShowTextNotFound();
        return -1;
    }
    return pane.selection().start;
}

void FindReplace::replaceOne()
{
    const qsizetype hit = firstHitToReplace();
    if (hit < 0)
        return;
    pane.setSelection(hit, hit + findText.size());
    pane.replaceSelection(replaceText);
    // Going up, the next hit lies wholly before the replacement, never inside it.
    const bool found = searchDown
                           ? SearchText(pane, prompts, findText, true, matchCase)
                           : SelectNextHit(pane, prompts, findText, hit - findText.size(), false, matchCase);
    if (!found)
        ShowTextNotFound();
}

void FindReplace::replaceAll()
{
    // The first search has a wait cursor of its own, gone before a not-found box shows.
    qsizetype hit = firstHitToReplace();
    if (hit < 0)
        return;
    WaitCursor wait(prompts);
    // Every further hit is searched in the text left untouched beyond the last replacement,
    // so no replacement is found again and the loop ends in either direction.
    const QStringView whole = pane.text();
    const qsizetype n = findText.size();
    TextScanner scanner(whole, findText, matchCase, userCaseFolding());
    std::vector<qsizetype> hits;
    while (hit >= 0) {
        hits.push_back(hit);
        hit = scanner.find(searchDown ? hit + n : hit - n, searchDown);
    }
    ReplaceHits(pane, hits, n, replaceText);
}
