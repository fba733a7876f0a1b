#include "core/base/Prompts.h"
#include "core/format/FormatTable.h"
#include "core/res/CommandIds.h"
#include "core/res/ControlIds.h"
#include "core/settings/ProfileStore.h"
#include "shell/app/CKumorialApp.h"
#include "shell/dialogs/CBaseSettingDlg.h"
#include "shell/frame/CMainFrame.h"
#include "shell/framework/ActionSet.h"
#include "shell/framework/QtEditPane.h"
#include "shell/view/CKumorialView.h"
#include "shell/view/LiveCounts.h"
#include "shell/view/PreviewDock.h"
#include "support/DialogAnswers.h"
#include "support/StandInPrompts.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace {
class RecordingPrompts : public NullPrompts {
public:
    void openUrl(const QString& address) override { opened << address; }
    QStringList opened;
};

// The inserted texts of base format `n` around `text`, as the format command puts them.
QString formatted(int n, const QString& text)
{
    const FormatTable t;
    return insertedForm(t.baseFormat(n).begin) + text + insertedForm(t.baseFormat(n).end);
}

// Each section of a settings file, by its header line.
QMap<QByteArray, QByteArray> sections(const QByteArray& file)
{
    QMap<QByteArray, QByteArray> result;
    QByteArray header;
    for (const QByteArray& line : file.split('\n')) {
        if (line.startsWith('['))
            header = line.trimmed();
        else
            result[header] += line + '\n';
    }
    return result;
}

// Counts the pages the browser is given.
class PageCounter : public QObject {
public:
    int pages = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ChildAdded &&
            qobject_cast<QTextDocument*>(static_cast<QChildEvent*>(event)->child()))
            ++pages;
        return false;
    }
};

// The cursor over the first occurrence of `text` in the preview's document.
QTextCursor found(const QTextDocument* doc, const QString& text)
{
    return doc->find(text);
}
} // namespace

class TestPreview : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void defaultFormatsRender();
    void blocksEndLinesAsABrowserDoes_data();
    void blocksEndLinesAsABrowserDoes();
    void linksGoToTheBrowser();
    void images_data();
    void images();
    void followsTheCaret_data();
    void followsTheCaret();
    void followsTypingAfterAPause();
    void showsTheLatestOfABurst();
    void anOlderPageNeverReplacesANewerOne();
    void menuCreatesItOnFirstShow();
    void placeIsKeptInItsOwnSection();
    void countsFollowTextAndSelection();
    void countsFollowAFormatDialog();

private:
    // A preview of its own pane, outside the main window.
    void standalone()
    {
        window = std::make_unique<QMainWindow>();
        pane = new PaneWidget;
        window->setCentralWidget(pane);
        dock = new PreviewDock(*pane, prompts, window.get());
        window->addDockWidget(Qt::RightDockWidgetArea, dock);
        window->resize(700, 400);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void show(const QString& text, qsizetype caret = 0, bool background = false)
    {
        pane->pane().setText(text);
        pane->pane().setSelection(caret, caret);
        if (!background) {
            dock->refresh();
            return;
        }
        dock->refreshInBackground();
        QTRY_VERIFY2_WITH_TIMEOUT(!dock->building(), "the page built in the background never came", 5000);
    }
    QTextDocument* page() const { return dock->browser()->document(); }
    void start()
    {
        app = std::make_unique<CKumorialApp>();
        app->InitInstance({}, dir->path());
        QVERIFY(QTest::qWaitForWindowExposed(app->mainFrame()));
    }
    void quit()
    {
        app->mainFrame()->view()->modified = 0;
        QVERIFY(app->mainFrame()->close());
        app.reset();
    }
    QString iniPath() const { return dir->filePath(QStringLiteral("Kumorial.ini")); }

    RecordingPrompts prompts;
    std::unique_ptr<QMainWindow> window;
    PaneWidget* pane = nullptr;
    PreviewDock* dock = nullptr;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<CKumorialApp> app;
};

void TestPreview::init()
{
    dir = std::make_unique<QTemporaryDir>();
    prompts.opened.clear();
}

void TestPreview::cleanup()
{
    if (app && app->mainFrame())
        app->mainFrame()->view()->modified = 0;
    app.reset();
    window.reset();
    dir.reset();
}

void TestPreview::defaultFormatsRender()
{
    standalone();
    const QStringList lines = {
        formatted(1, QStringLiteral("太字")),  formatted(2, QStringLiteral("斜体")),
        formatted(4, QStringLiteral("下線")),  formatted(5, QStringLiteral("取消")),
        formatted(6, QStringLiteral("赤字")),  formatted(10, QStringLiteral("中央")),
        formatted(11, QStringLiteral("右端")), formatted(13, QStringLiteral("http://example.jp/")),
        QStringLiteral("一行目\r\n二行目")};
    show(lines.join(u"\r\n"));

    const auto charFormat = [this](const QString& text) {
        const QTextCursor c = found(page(), text);
        return c.isNull() ? QTextCharFormat() : c.charFormat();
    };
    QVERIFY(charFormat(QStringLiteral("太字")).fontWeight() >= QFont::Bold);
    QVERIFY(charFormat(QStringLiteral("斜体")).fontItalic());
    QVERIFY(charFormat(QStringLiteral("下線")).fontUnderline());
    QVERIFY(charFormat(QStringLiteral("取消")).fontStrikeOut());
    QCOMPARE(charFormat(QStringLiteral("赤字")).foreground().color(), QColor(Qt::red));
    QVERIFY(charFormat(QStringLiteral("赤字")).fontWeight() < QFont::Bold);
    const auto alignment = [this](const QString& text) {
        return found(page(), text).blockFormat().alignment() &
               (Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter | Qt::AlignJustify);
    };
    QCOMPARE(alignment(QStringLiteral("中央")), Qt::AlignHCenter);
    QCOMPARE(alignment(QStringLiteral("右端")), Qt::AlignRight);
    QCOMPARE(alignment(QStringLiteral("太字")), Qt::AlignLeft);
    const QTextCharFormat link = charFormat(QStringLiteral("こちら"));
    QVERIFY(link.isAnchor());
    QCOMPARE(link.anchorHref(), QStringLiteral("http://example.jp/"));
    // A line break of the text is a line break of the page.
    const QString block = found(page(), QStringLiteral("一行目")).block().text();
    QVERIFY2(block.contains(u"一行目\u2028二行目"), qPrintable(block));
}

void TestPreview::blocksEndLinesAsABrowserDoes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("blocks"); // "|" for a line break inside a block

    QTest::newRow("text after a div is outside it")
        << u"a\r\n<div align=\"center\">b</div>\r\nc"_qs << QStringList{u"a"_qs, u"b (center)"_qs, u"|c"_qs};
    QTest::newRow("div over three lines")
        << u"<div align=\"right\">\r\nb\r\n</div>c"_qs << QStringList{u"|b (right)"_qs, u"c"_qs};
    QTest::newRow("line break before a heading")
        << u"a\r\n<h2>b</h2>\r\nc"_qs << QStringList{u"a"_qs, u"b"_qs, u"|c"_qs};
    QTest::newRow("empty line before a paragraph")
        << u"a\r\n\r\n<p>b</p>"_qs << QStringList{u"a|"_qs, u"b"_qs};
    QTest::newRow("nested divs") << u"<div align=\"right\"><div align=\"center\">b</div>\r\nc</div>d"_qs
                                 << QStringList{u"b (center)"_qs, u"|c (right)"_qs, u"d"_qs};
}

// Where the page's lines break and how they are aligned, as blocks of the preview.
void TestPreview::blocksEndLinesAsABrowserDoes()
{
    QFETCH(QString, text);
    QFETCH(QStringList, blocks);
    standalone();
    show(text);
    QStringList shown;
    for (QTextBlock b = page()->begin(); b.isValid(); b = b.next()) {
        QString line = b.text().replace(QChar::LineSeparator, u'|');
        const Qt::Alignment a = b.blockFormat().alignment();
        if (a & Qt::AlignHCenter)
            line += u" (center)"_qs;
        else if (a & Qt::AlignRight)
            line += u" (right)"_qs;
        shown << line;
    }
    QCOMPARE(shown, blocks);
}

void TestPreview::linksGoToTheBrowser()
{
    standalone();
    show(QStringLiteral("前\r\n") + formatted(13, QStringLiteral("http://example.jp/a?b=1")));
    const QString before = page()->toPlainText();
    QTextCursor c = found(page(), QStringLiteral("こちら"));
    QVERIFY(!c.isNull());
    c.setPosition(c.selectionStart() + 1);
    const QPoint at = dock->browser()->cursorRect(c).center();
    QTest::mouseClick(dock->browser()->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(prompts.opened, QStringList{QStringLiteral("http://example.jp/a?b=1")});
    // The preview itself stays on the entry.
    QCOMPARE(page()->toPlainText(), before);
}

void TestPreview::images_data()
{
    QTest::addColumn<QString>("source"); // %1: the temporary folder
    QTest::addColumn<bool>("shown");     // the file's own picture, not a placeholder
    QTest::newRow("absolute path") << "%1/pic.png" << true;
    QTest::newRow("file address") << "file://%1/pic.png" << true;
    QTest::newRow("relative to the document") << "pic.png" << true;
    QTest::newRow("web address") << "http://example.jp/pic.png" << false;
    QTest::newRow("missing file") << "%1/none.png" << false;
    QTest::newRow("not a picture") << "%1/Kumorial.ini" << false;
}

void TestPreview::images()
{
    QFETCH(QString, source);
    QFETCH(bool, shown);
    standalone();
    QImage picture(7, 5, QImage::Format_RGB32);
    picture.fill(Qt::green);
    QVERIFY(picture.save(dir->filePath(QStringLiteral("pic.png"))));
    QFile other(dir->filePath(QStringLiteral("Kumorial.ini")));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write("[Settings]\n");
    other.close();
    dock->setFolderSource([this] { return dir->path(); });

    const QString address = source.contains(u"%1") ? source.arg(dir->path()) : source;
    show(formatted(12, address));
    QTextCursor c(page());
    c.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    const QTextImageFormat f = c.charFormat().toImageFormat();
    QVERIFY(f.isValid());
    const QImage image = page()->resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>();
    QVERIFY(!image.isNull());
    if (shown) {
        QCOMPARE(image.size(), picture.size());
        QCOMPARE(image.pixelColor(3, 2), QColor(Qt::green));
    } else {
        QCOMPARE(image, dock->browser()->placeholder(address));
        QVERIFY(image != dock->browser()->placeholder(address + u'x'));
    }
}

void TestPreview::followsTheCaret_data()
{
    QTest::addColumn<int>("caretLine");
    QTest::addColumn<bool>("background"); // built on the worker thread, as after typing
    QTest::newRow("top") << 0 << false;
    QTest::newRow("middle") << 150 << false;
    QTest::newRow("bottom") << 299 << false;
    QTest::newRow("top, in the background") << 0 << true;
    QTest::newRow("middle, in the background") << 150 << true;
    QTest::newRow("bottom, in the background") << 299 << true;
}

void TestPreview::followsTheCaret()
{
    QFETCH(int, caretLine);
    QFETCH(bool, background);
    standalone();
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << QStringLiteral("行%1").arg(i, 3, 10, QChar(u'0'));
    const QString text = lines.join(u"\r\n");
    show(text, text.indexOf(QStringLiteral("行%1").arg(caretLine, 3, 10, QChar(u'0'))), background);
    const QTextCursor c = found(page(), QStringLiteral("行%1").arg(caretLine, 3, 10, QChar(u'0')));
    QVERIFY(!c.isNull());
    const QRect r = dock->browser()->cursorRect(c);
    const QRect view = dock->browser()->viewport()->rect();
    QVERIFY2(
        view.contains(r.center()),
        qPrintable(
            QStringLiteral("line %1 at y %2 of %3").arg(caretLine).arg(r.center().y()).arg(view.height())));
}

void TestPreview::showsTheLatestOfABurst()
{
    standalone();
    for (int i = 0; i < 20; ++i) {
        pane->pane().setText(QStringLiteral("版%1").arg(i));
        dock->refreshInBackground();
    }
    QTRY_VERIFY2_WITH_TIMEOUT(!dock->building(), "the last page asked for never came", 5000);
    QCOMPARE(page()->toPlainText(), QStringLiteral("版19"));
}

void TestPreview::anOlderPageNeverReplacesANewerOne()
{
    standalone();
    pane->pane().setText(QStringLiteral("古い本文"));
    dock->refreshInBackground();
    pane->pane().setText(QStringLiteral("新しい本文"));
    dock->refresh();
    QCOMPARE(page()->toPlainText(), QStringLiteral("新しい本文"));
    // The worker takes requests in turn, so once this one is shown the older page has
    // arrived too: it must have been dropped, not shown in between.
    PageCounter counter;
    dock->browser()->installEventFilter(&counter);
    dock->refreshInBackground();
    QTRY_VERIFY2_WITH_TIMEOUT(!dock->building(), "the page built in the background never came", 5000);
    dock->browser()->removeEventFilter(&counter);
    QCOMPARE(counter.pages, 1);
    QCOMPARE(page()->toPlainText(), QStringLiteral("新しい本文"));
}

void TestPreview::followsTypingAfterAPause()
{
    standalone();
    show(QStringLiteral("前"), 1);
    pane->setFocus();
    QTest::keyClicks(pane, QStringLiteral("abc"));
    QTRY_VERIFY2_WITH_TIMEOUT(page()->toPlainText().contains(QStringLiteral("前abc")),
                              "the preview did not follow the typed text", 5000);
    // A hidden preview does no work; shown again, it catches up at once.
    dock->hide();
    QTest::keyClicks(pane, QStringLiteral("xyz"));
    QTest::qWait(PreviewDock::Delay * 2);
    QVERIFY(!page()->toPlainText().contains(QStringLiteral("xyz")));
    dock->show();
    QVERIFY(page()->toPlainText().contains(QStringLiteral("前abcxyz")));
}

void TestPreview::menuCreatesItOnFirstShow()
{
    start();
    CMainFrame* frame = app->mainFrame();
    QVERIFY2(!frame->preview(), "the preview is made at start-up");
    QAction* item = frame->actionSet()->action(Cmd::ViewPreview);
    QMenu* view = frame->actionSet()->menuOf(QStringLiteral("表示(&V)"));
    QVERIFY(view->actions().contains(item));
    frame->actionSet()->updateMenu(view);
    QVERIFY(!item->isChecked());

    frame->view()->paneWidget()->pane().setText(formatted(1, QStringLiteral("太字")));
    item->trigger();
    QVERIFY(frame->preview());
    QTRY_VERIFY_WITH_TIMEOUT(frame->preview()->isVisible(), 5000);
    QCOMPARE(frame->dockWidgetArea(frame->preview()), Qt::RightDockWidgetArea);
    QVERIFY(
        found(frame->preview()->browser()->document(), QStringLiteral("太字")).charFormat().fontWeight() >=
        QFont::Bold);
    frame->actionSet()->updateMenu(view);
    QVERIFY(item->isChecked());

    item->trigger();
    QVERIFY(frame->preview()->isHidden());
    frame->actionSet()->updateMenu(view);
    QVERIFY(!item->isChecked());
}

void TestPreview::placeIsKeptInItsOwnSection()
{
    // A run that never shows the preview writes no section for it.
    start();
    quit();
    QFile ini(iniPath());
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray seed = ini.readAll();
    ini.close();
    QVERIFY(!seed.contains("[Preview]"));

    start();
    CMainFrame* frame = app->mainFrame();
    frame->TogglePreview();
    frame->addDockWidget(Qt::BottomDockWidgetArea, frame->preview());
    quit();
    {
        ProfileStore store(iniPath());
        QCOMPARE(store.readInt(QStringLiteral("Preview"), QStringLiteral("Visible"), -1), 1);
        QCOMPARE(store.readInt(QStringLiteral("Preview"), QStringLiteral("Area"), -1),
                 int(Qt::BottomDockWidgetArea));
    }
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray after = ini.readAll();
    ini.close();
    // The other sections are as the first run left them; only the bar layout, which
    // records every docked window, now holds the preview too.
    const QMap<QByteArray, QByteArray> before = sections(seed);
    QMap<QByteArray, QByteArray> now = sections(after);
    QVERIFY(now.remove("[Preview]"));
    QCOMPARE(now.keys(), before.keys());
    for (auto it = before.begin(); it != before.end(); ++it)
        if (it.key() != "[ToolBar-Summary]")
            QCOMPARE(now.value(it.key()).trimmed(), it.value().trimmed());

    start();
    frame = app->mainFrame();
    QVERIFY2(frame->preview() && frame->preview()->isVisible(), "the preview did not come back");
    QCOMPARE(frame->dockWidgetArea(frame->preview()), Qt::BottomDockWidgetArea);
    frame->TogglePreview();
    quit();
    start();
    QVERIFY(!app->mainFrame()->preview());
}

void TestPreview::countsFollowTextAndSelection()
{
    start();
    CMainFrame* frame = app->mainFrame();
    QtEditPane& ep = frame->view()->paneWidget()->pane();
    CountsPane* label = frame->countsPane();
    QVERIFY(label);
    QVERIFY(frame->statusBar()->isAncestorOf(label));

    ep.setText(formatted(1, QStringLiteral("日本")) + QStringLiteral("\r\nabc"));
    QTRY_COMPARE_WITH_TIMEOUT(label->text(), u"12 文字（本文 5）  16 / 32,768 バイト"_qs, 5000);
    ep.setSelection(3, 5);
    QTRY_COMPARE_WITH_TIMEOUT(
        label->text(), u"選択 2 文字（本文 2） 4 バイト ／ 12 文字（本文 5）  16 / 32,768 バイト"_qs, 5000);
    ep.setSelection(0, 0);
    QTRY_COMPARE_WITH_TIMEOUT(label->text(), u"12 文字（本文 5）  16 / 32,768 バイト"_qs, 5000);

    frame->view()->paneWidget()->setFocus();
    ep.setSelection(ep.length(), ep.length());
    QTest::keyClicks(frame->view()->paneWidget(), QStringLiteral("x"));
    QTRY_COMPARE_WITH_TIMEOUT(label->text(), u"13 文字（本文 6）  17 / 32,768 バイト"_qs, 5000);
}

void TestPreview::countsFollowAFormatDialog()
{
    start();
    CMainFrame* frame = app->mainFrame();
    frame->view()->paneWidget()->pane().setText(u"※注"_qs);
    QTRY_COMPARE_WITH_TIMEOUT(frame->counts()->whole().visible, 2, 5000);
    const TestSupport::AnswerHandle answer = TestSupport::answerNext<CBaseSettingDlg>([](CBaseSettingDlg* d) {
        d->controlAs<QLineEdit>(ControlIds::BaseFormatEdits[6].begin)->setText(u"※"_qs);
        QTest::mouseClick(d->controlAs<QPushButton>(DialogTemplates::IdOk), Qt::LeftButton);
    });
    QVERIFY(frame->router().dispatch(Cmd::BaseFormatDialog));
    QVERIFY(answer->done);
    QCOMPARE(frame->view()->formats().base[6].begin, u"※"_qs);
    QTRY_COMPARE_WITH_TIMEOUT(frame->countsPane()->text(), u"2 文字（本文 1）  4 / 32,768 バイト"_qs, 5000);
}

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
