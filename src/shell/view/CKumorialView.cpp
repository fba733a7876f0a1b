#include "shell/view/CKumorialView.h"

#include "core/base/CodePage.h"
#include "core/base/Prompts.h"
#include "core/document/Encoding.h"
#include "core/document/FileCommands.h"
#include "core/format/Markup.h"
#include "core/res/Strings.h"
#include "core/settings/ProfileStore.h"
#include "shell/framework/QtEditPane.h"
#include "shell/view/FrameLink.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QFontDialog>
#include <QMimeData>
#include <QTimer>
#include <algorithm>
#include <cstdlib>

CKumorialView::CKumorialView(ProfileStore& store, Prompts& p, QWidget* parentWidget)
    : profile(store), prompts(p), pane(new PaneWidget(parentWidget))
{
    table.load(profile);
    pane->pane().setChangeHandler([this] {
        modified = 1;
        if (recovery) {
            recovery->changed();
            if (recovery->isPending() && !recoveryTimer->isActive())
                recoveryTimer->start();
        }
    });
    // Kumorial.tmp lives beside Kumorial.ini.
    fileCommands = std::make_unique<FileCommands>(pane->pane(), prompts, modified,
                                                  QFileInfo(profile.path()).absolutePath());
    loadEncodingSettings();

    if (QClipboard* clipboard = QApplication::clipboard()) {
        const auto refresh = [this, clipboard] {
            const QMimeData* data = clipboard->mimeData();
            clipboardHasText = data && data->hasText();
        };
        connect(clipboard, &QClipboard::dataChanged, this, refresh);
        refresh();
    }
    registerViewCommands();
    registerFormatCommands();
    registerFileCommands();
    registerFindCommands();
    registerDialogCommands();
    registerPrintCommands();
}

CKumorialView::~CKumorialView()
{
    if (recovery)
        recovery->finish();
    table.save(profile, currentFace(), currentSize());
    saveEncodingSettings();
}

QString CKumorialView::currentFace() const
{
    return pane->font().family();
}

int CKumorialView::currentSize() const
{
    // What the pane draws may be limited; the stored value is not.
    if (!fontChosen)
        return table.size;
    const QFont f = pane->font();
    if (f.pointSizeF() > 0)
        return qRound(f.pointSizeF());
    return qRound(f.pixelSize() * 72.0 / pane->logicalDpiY());
}

void CKumorialView::initialUpdate(FrameLink* frame, const QStringList& arguments)
{
    frameLink = frame;
    QFont font(table.face.left(FormatTable::FaceMaxLength));
    // The sign of a stored size does not matter (the height is that of |size| points); 0
    // asks for the default height; huge sizes are kept drawable.
    const qint64 points = std::min<qint64>(std::abs(qint64(table.size)), 1000);
    if (points > 0)
        font.setPointSize(int(points));
    pane->setPaneFont(font);
    fileCommands->ChooseStartupDocument(arguments);
    publishTransparency();
    publishUserFormatNames();
}

void CKumorialView::publishUserFormatNames()
{
    if (!frameLink)
        return;
    std::array<QString, 10> names;
    for (int i = 0; i < FormatTable::UserCount; ++i)
        names[i] = table.user[i].name;
    frameLink->setUserFormatNames(names);
}

void CKumorialView::publishTransparency()
{
    if (frameLink)
        frameLink->setTransparency(table.transparency);
}

void CKumorialView::startRecovery(RecoveryStore& store, const std::optional<RecoveryCopy>& restored,
                                  RecoverySchedule::Timing timing, const QStringList& arguments)
{
    recoveryClock.start();
    DocumentRecovery::Clock clock{[this] { return recoveryClock.elapsed(); },
                                  [this] { return prompts.localTime(); }};
    // The writer's thread only posts; the results are taken here, on the view's thread.
    const auto resultsReady = [this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                recovery->collect();
                if (recovery->isPending() && !recoveryTimer->isActive())
                    recoveryTimer->start();
            },
            Qt::QueuedConnection);
    };
    recovery = std::make_unique<DocumentRecovery>(store, *fileCommands, pane->pane(), std::move(clock),
                                                  timing, resultsReady);
    if (restored)
        recovery->restore(*restored, FileCommands::startupFile(arguments), prompts);
    fileCommands->changesSettled = [this] { recovery->settled(); };
    recoveryTimer = new QTimer(this);
    recoveryTimer->setInterval(500);
    connect(recoveryTimer, &QTimer::timeout, this, [this] {
        recovery->tick();
        if (!recovery->isPending())
            recoveryTimer->stop();
    });
}

bool CKumorialView::QuerySaveChanges()
{
    return fileCommands->QuerySaveChanges();
}

void CKumorialView::insertCharacter(char16_t c)
{
    InsertAfterSelection(pane->pane(), QString(QChar(c)));
}

void CKumorialView::registerViewCommands()
{
    CommandMap& m = commandMap;
    QtEditPane& ep = pane->pane();

    m.on(
        Cmd::EditSelectAll, [this] { SelectAllText(); },
        [this](CommandState& s) { s.enabled = !pane->document()->isEmpty(); });
    m.on(Cmd::ChooseFont, [this] { ChooseEditorFont(); });
    m.on(
        Cmd::CopyAll, [this] { CopyAllText(); },
        [this](CommandState& s) { s.enabled = !pane->document()->isEmpty(); });
    m.on(
        Cmd::OpenBlogPage, [this] { OpenBlogPage(); },
        [this](CommandState& s) { s.enabled = !table.webPage.isEmpty(); });
    m.on(Cmd::NoAction1, [] {});
    m.on(Cmd::NoAction2, [] {});

    // The edit view's own commands.
    m.on(
        Cmd::EditUndo, [this] { pane->undo(); },
        [this](CommandState& s) { s.enabled = pane->document()->isUndoAvailable(); });
    m.on(
        Cmd::EditCut, [this] { pane->cut(); },
        [this](CommandState& s) { s.enabled = pane->textCursor().hasSelection(); });
    m.on(
        Cmd::EditCopy, [this] { pane->copy(); },
        [this](CommandState& s) { s.enabled = pane->textCursor().hasSelection(); });
    m.on(
        Cmd::EditPaste, [this] { pane->paste(); }, [this](CommandState& s) { s.enabled = clipboardHasText; });

    for (int digit = 0; digit < FormatTable::WordCount; ++digit)
        m.on(Cmd::Words[digit], [this, digit, &ep] { InsertAfterSelection(ep, table.words[digit]); });
}

void CKumorialView::registerFormatCommands()
{
    QtEditPane& ep = pane->pane();
    for (int n = 1; n <= FormatTable::BaseCount; ++n)
        commandMap.on(
            Cmd::BaseFormats[n - 1],
            [this, n, &ep] {
                const FormatTable::Pair p = table.baseFormat(n);
                WrapSelection(ep, p.begin, p.end);
            },
            [this, n](CommandState& s) { s.enabled = table.isBaseActive(n); });
    for (int n = 1; n <= FormatTable::UserCount; ++n)
        commandMap.on(
            Cmd::Id(Cmd::UserFormatFirst + n - 1),
            [this, n, &ep] {
                const FormatTable::UserFormat u = table.userFormat(n);
                WrapSelection(ep, u.begin, u.end);
            },
            [this, n](CommandState& s) { s.enabled = table.isUserActive(n); });
}

void CKumorialView::SelectAllText()
{
    pane->pane().setSelection(0, -1);
    pane->pane().scrollCaret();
}

void CKumorialView::ChooseEditorFont()
{
    bool ok = false;
    QFont chosen =
        QFontDialog::getFont(&ok, pane->font(), pane->window(), QString(), QFontDialog::DontUseNativeDialog);
    if (!ok)
        return;
    // The dialog offers no effects here.
    chosen.setUnderline(false);
    chosen.setStrikeOut(false);
    pane->setPaneFont(chosen);
    fontChosen = true;
}

void CKumorialView::CopyAllText()
{
    const QString& text = pane->pane().text();
    QString message = resString(Str::CopiedAll);
    if (fileCommands->encoding.kind == DocumentEncoding::Kind::ShiftJis) {
        prompts.setClipboardText(CodePage::fromUnicode(text));
        const int lost = Encodings::findUnrepresentable(text, DocumentEncoding::shiftJis()).total;
        if (lost > 0)
            message += u'\n' + resString(Str::CopiedAllLost).arg(lost);
    } else {
        // Only a Shift_JIS document is bound to the code page; the others lose nothing.
        prompts.setClipboardUnicodeText(text);
    }
    prompts.messageBox(message, Prompts::Buttons::Ok, Prompts::Icon::Information);
}

void CKumorialView::OpenBlogPage()
{
    prompts.openUrl(table.webPage);
}
