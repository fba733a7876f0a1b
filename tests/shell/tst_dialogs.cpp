#include "core/res/CommandIds.h"
#include "core/res/ControlIds.h"
#include "shell/app/CKumorialApp.h"
#include "shell/dialogs/DialogBuilder.h"
#include "shell/frame/CMainFrame.h"
#include "shell/framework/QtEditPane.h"
#include "shell/view/CKumorialView.h"
#include "support/DialogAnswers.h"

#include <QClipboard>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class TestDialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void okCopiesBackOthersDoNot_data();
    void okCopiesBackOthersDoNot();
    void baseAndUserRowsStaySeparate();
    void tooltipsFollowOkOnly();
    void optionsLevel_data();
    void optionsLevel();
    void builderPlacesControlsByTheFont_data();
    void builderPlacesControlsByTheFont();
    void singleLineEditsJoinPastedLines();
    void bindingAnIdWithoutTextControlStops();

private:
    CMainFrame* frame() const { return app->mainFrame(); }
    FormatTable& table() const { return frame()->view()->formats(); }
    // Runs `command`; `act` works the dialog while it is open.
    void runDialog(Cmd::Id command, std::function<void(TemplateDialog*)> act);

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<CKumorialApp> app;
};

void TestDialogs::init()
{
    dir = std::make_unique<QTemporaryDir>();
    app = std::make_unique<CKumorialApp>();
    app->InitInstance({}, dir->path());
    QVERIFY(QTest::qWaitForWindowExposed(frame()));
}

void TestDialogs::cleanup()
{
    if (frame())
        frame()->view()->modified = 0;
    app.reset();
    dir.reset();
}

void TestDialogs::runDialog(Cmd::Id command, std::function<void(TemplateDialog*)> act)
{
    const TestSupport::AnswerHandle answer =
        TestSupport::answerNext<TemplateDialog>([&](TemplateDialog* dialog) {
            act(dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
    QVERIFY(frame()->router().dispatch(command));
    QVERIFY(answer->done);
}

namespace {
QString& field(FormatTable& t, const QString& name)
{
    if (name == "base11.begin")
        return t.base[10].begin;
    if (name == "base6.begin")
        return t.base[5].begin;
    if (name == "user1.end")
        return t.user[0].end;
    if (name == "user10.name")
        return t.user[9].name;
    if (name == "word3")
        return t.words[3];
    return t.webPage;
}

// Ends the dialog as a user would: "ok" button, "enter" in the edit, "cancel" button, "esc",
// "box" (close box).
void finish(TemplateDialog* d, QLineEdit* edit, const QString& how)
{
    if (how == "ok")
        QTest::mouseClick(d->controlAs<QPushButton>(DialogTemplates::IdOk), Qt::LeftButton);
    else if (how == "enter")
        QTest::keyClick(edit, Qt::Key_Return);
    else if (how == "cancel")
        QTest::mouseClick(d->controlAs<QPushButton>(DialogTemplates::IdCancel), Qt::LeftButton);
    else if (how == "esc")
        QTest::keyClick(edit, Qt::Key_Escape);
    else
        d->close();
}
} // namespace

void TestDialogs::okCopiesBackOthersDoNot_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("editId");
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("taken");

    const struct {
        const char* name;
        Cmd::Id command;
        int editId;
        const char* field;
    } dialogs[] = {
        {"base 右寄せ begin", Cmd::BaseFormatDialog, ControlIds::BaseFormatEdits[10].begin, "base11.begin"},
        {"base 文字色 begin (backslashes)", Cmd::BaseFormatDialog, ControlIds::BaseFormatEdits[5].begin,
         "base6.begin"},
        {"user ① end", Cmd::UserFormatDialog, ControlIds::UserFormatEdits[0].end, "user1.end"},
        {"user ⑩ name", Cmd::UserFormatDialog, ControlIds::UserFormatEdits[9].name, "user10.name"},
        {"word 3", Cmd::WordDialog, ControlIds::WordEdits[3], "word3"},
        {"blog page", Cmd::OptionDialog, ControlIds::WebPageEdit, "webPage"},
    };
    const struct {
        const char* how;
        bool taken;
    } endings[] = {{"ok", true}, {"enter", true}, {"cancel", false}, {"esc", false}, {"box", false}};
    for (const auto& d : dialogs)
        for (const auto& e : endings)
            QTest::addRow("%s, %s", d.name, e.how) << int(d.command) << d.editId << QString::fromUtf8(d.field)
                                                   << QString::fromUtf8(e.how) << e.taken;
}

void TestDialogs::okCopiesBackOthersDoNot()
{
    QFETCH(int, command);
    QFETCH(int, editId);
    QFETCH(QString, fieldName);
    QFETCH(QString, how);
    QFETCH(bool, taken);

    field(table(), fieldName) = QStringLiteral("<A HREF=\\\"x\\\"> ");
    const FormatTable before = table();
    QString shown;
    runDialog(Cmd::Id(command), [&](TemplateDialog* d) {
        auto* edit = d->controlAs<QLineEdit>(editId);
        QVERIFY(edit);
        shown = edit->text();
        // Shown from its beginning, as a text put into an edit is.
        QCOMPARE(edit->cursorPosition(), 0);
        edit->setText(QStringLiteral("新しい値"));
        finish(d, edit, how);
        QVERIFY(!d->isVisible());
    });
    // Shown in stored form, backslashes and edge blank included.
    QCOMPARE(shown, QStringLiteral("<A HREF=\\\"x\\\"> "));

    FormatTable expected = before;
    if (taken)
        field(expected, fieldName) = QStringLiteral("新しい値");
    for (int i = 0; i < FormatTable::BaseCount; ++i) {
        QCOMPARE(table().base[i].begin, expected.base[i].begin);
        QCOMPARE(table().base[i].end, expected.base[i].end);
    }
    for (int i = 0; i < FormatTable::UserCount; ++i) {
        QCOMPARE(table().user[i].name, expected.user[i].name);
        QCOMPARE(table().user[i].begin, expected.user[i].begin);
        QCOMPARE(table().user[i].end, expected.user[i].end);
    }
    QCOMPARE(table().words, expected.words);
    QCOMPARE(table().webPage, expected.webPage);
    QCOMPARE(table().transparency, expected.transparency);
}

void TestDialogs::baseAndUserRowsStaySeparate()
{
    const QString quoteEnd = table().base[14].end;
    runDialog(Cmd::BaseFormatDialog, [](TemplateDialog* d) {
        d->controlAs<QLineEdit>(ControlIds::BaseFormatEdits[10].begin)->setText(QStringLiteral("right"));
        d->accept();
    });
    runDialog(Cmd::UserFormatDialog, [](TemplateDialog* d) {
        // The same numbers as the base dialog's 右寄せ begin and 引用 end.
        static_assert(ControlIds::UserFormatEdits[0].begin == ControlIds::BaseFormatEdits[10].begin);
        static_assert(ControlIds::UserFormatEdits[0].end == ControlIds::BaseFormatEdits[14].end);
        d->controlAs<QLineEdit>(ControlIds::UserFormatEdits[0].begin)->setText(QStringLiteral("u1b"));
        d->controlAs<QLineEdit>(ControlIds::UserFormatEdits[0].end)->setText(QStringLiteral("u1e"));
        d->accept();
    });
    QCOMPARE(table().base[10].begin, QStringLiteral("right"));
    QCOMPARE(table().base[14].end, quoteEnd);
    QCOMPARE(table().user[0].begin, QStringLiteral("u1b"));
    QCOMPARE(table().user[0].end, QStringLiteral("u1e"));
}

void TestDialogs::tooltipsFollowOkOnly()
{
    const QString before = frame()->formatNames()[0];
    runDialog(Cmd::UserFormatDialog, [](TemplateDialog* d) {
        d->controlAs<QLineEdit>(ControlIds::UserFormatEdits[0].name)->setText(QStringLiteral("見出し大"));
        d->controlAs<QLineEdit>(ControlIds::UserFormatEdits[9].name)->clear();
        d->reject();
    });
    QCOMPARE(frame()->formatNames()[0], before);
    QVERIFY(!frame()->formatNames()[9].isEmpty());

    runDialog(Cmd::UserFormatDialog, [](TemplateDialog* d) {
        d->controlAs<QLineEdit>(ControlIds::UserFormatEdits[0].name)->setText(QStringLiteral("見出し大"));
        d->controlAs<QLineEdit>(ControlIds::UserFormatEdits[9].name)->clear();
        d->accept();
    });
    QCOMPARE(frame()->formatNames()[0], QStringLiteral("見出し大"));
    QCOMPARE(frame()->formatNames()[9], QString());
}

void TestDialogs::optionsLevel_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("choose"); // list item, or -1 for no change
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("shownIndex");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("passedToFrame"); // -1: nothing passed

    QTest::newRow("50 shows 50%, OK keeps 50") << 50 << -1 << true << 4 << 50 << 50;
    QTest::newRow("choose 90%, OK: 90") << 50 << 8 << true << 4 << 90 << 90;
    QTest::newRow("10 shows 10%, choose 20%") << 10 << 1 << true << 0 << 20 << 20;
    QTest::newRow("choose 90%, Cancel: 50 stays") << 50 << 8 << false << 4 << 50 << -1;
}

void TestDialogs::optionsLevel()
{
    QFETCH(int, stored);
    QFETCH(int, choose);
    QFETCH(bool, ok);
    QFETCH(int, shownIndex);
    QFETCH(int, result);
    QFETCH(int, passedToFrame);

    table().transparency = stored;
    frame()->transparency = -1;
    int shown = -2;
    QString shownText;
    runDialog(Cmd::OptionDialog, [&](TemplateDialog* d) {
        auto* list = d->controlAs<QComboBox>(ControlIds::TransparencyList);
        QVERIFY(list);
        QCOMPARE(list->count(), 9);
        shown = list->currentIndex();
        shownText = list->currentText();
        if (choose >= 0)
            list->setCurrentIndex(choose);
        if (ok)
            d->accept();
        else
            d->reject();
    });
    QCOMPARE(shown, shownIndex);
    QCOMPARE(shownText, QStringLiteral("%1%").arg(stored));
    QCOMPARE(table().transparency, result);
    QCOMPARE(frame()->transparency, passedToFrame);
}

void TestDialogs::builderPlacesControlsByTheFont_data()
{
    QTest::addColumn<int>("pixelSize");
    QTest::newRow("12-pixel font") << 12;
    QTest::newRow("24-pixel font") << 24;
}

void TestDialogs::builderPlacesControlsByTheFont()
{
    QFETCH(int, pixelSize);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    TemplateDialog dialog(DialogTemplates::BaseFormats, nullptr, &font);

    const QFontMetrics metrics(font);
    const double avgWidth =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
        52.0;
    const int bx = qRound(avgWidth), by = metrics.height();
    QCOMPARE(dialog.baseUnits(), QSize(bx, by));
    // Begin edit of "太字": (52, 18), 56 × 14; OK: (119, 291), 59 × 14; dialog 190 × 318.
    const auto px = [&](int x, int y, int w, int h) {
        const int l = qRound(x * bx / 4.0), t = qRound(y * by / 8.0);
        return QRect(l, t, qRound((x + w) * bx / 4.0) - l, qRound((y + h) * by / 8.0) - t);
    };
    const int boldBegin = ControlIds::BaseFormatEdits[0].begin;
    QCOMPARE(dialog.control(boldBegin)->geometry(), px(52, 18, 56, 14));
    QCOMPARE(dialog.control(DialogTemplates::IdOk)->geometry(), px(119, 291, 59, 14));
    QCOMPARE(dialog.size(), px(0, 0, 190, 318).size());

    // OK is the default and first tab stop, then Cancel and the edits row by row.
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(dialog.controlAs<QPushButton>(DialogTemplates::IdOk)->isDefault());
    QCOMPARE(QApplication::focusWidget(), dialog.control(DialogTemplates::IdOk));
    for (int id : {DialogTemplates::IdCancel, boldBegin, ControlIds::BaseFormatEdits[0].end,
                   ControlIds::BaseFormatEdits[1].begin}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dialog.control(id));
    }
}

void TestDialogs::singleLineEditsJoinPastedLines()
{
    TemplateDialog dialog(DialogTemplates::Words);
    auto* edit = dialog.controlAs<QLineEdit>(ControlIds::WordEdits[0]);
    QVERIFY(edit);
    edit->setText(QStringLiteral("[]"));
    edit->setCursorPosition(1);
    QApplication::clipboard()->setText(QStringLiteral("a\r\nb\nc\rd"));
    edit->paste();
    QCOMPARE(edit->text(), QStringLiteral("[abcd]"));
    QCOMPARE(edit->cursorPosition(), 5);
    edit->setText(QStringLiteral("x\r\ny"));
    QCOMPARE(edit->text(), QStringLiteral("xy"));
}

namespace {
// Binds the blog-page edit's ID in the word dialog, which has no such control.
class MisboundDialog : public TemplateDialog {
public:
    MisboundDialog() : TemplateDialog(DialogTemplates::Words) { bindText(ControlIds::WebPageEdit, text); }
    QString text;
};
} // namespace

void TestDialogs::bindingAnIdWithoutTextControlStops()
{
    if (qEnvironmentVariableIsSet("KUMORIAL_BIND_MISSING")) {
        MisboundDialog dialog;
        QFAIL("binding an ID without a control went through");
    }
    // The fault stops the program, so it is shown in a child run of this very test.
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KUMORIAL_BIND_MISSING"), QStringLiteral("1"));
    env.insert(QStringLiteral("QTEST_DISABLE_STACK_DUMP"), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("bindingAnIdWithoutTextControlStops")});
    QVERIFY2(child.waitForFinished(60000), "the child run did not end within a minute");
    const QString output = QString::fromLocal8Bit(child.readAll());
    QVERIFY2(output.contains(QStringLiteral("dialog %1 has no text control %2")
                                 .arg(DialogTemplates::Words)
                                 .arg(ControlIds::WebPageEdit)),
             qPrintable(output));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
