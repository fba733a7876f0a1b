#include "core/res/CommandIds.h"
#include "shell/app/CKumorialApp.h"
#include "shell/frame/CMainFrame.h"
#include "shell/framework/ActionSet.h"
#include "shell/framework/QtEditPane.h"
#include "shell/view/CKumorialView.h"
#include "shell/view/FindDialog.h"
#include "support/DialogAnswers.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

class TestFindDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void findThenReplaceAllThenReopenPreset();
    void repeatKeysOpenTheDialogUntilSomethingWasSearched();
    void fieldsKeepPastedTextOnOneLine();
    void replaceAllShowsNotFoundWithoutTheWaitCursor();

private:
    QtEditPane& pane() { return app->mainFrame()->view()->paneWidget()->pane(); }
    void run(Cmd::Id id) { app->mainFrame()->actionSet()->action(id)->trigger(); }
    QList<FindDialog*> dialogs() { return app->mainFrame()->findChildren<FindDialog*>(); }
    FindDialog* dialog()
    {
        const auto all = dialogs();
        return all.size() == 1 ? all.front() : nullptr;
    }
    template <typename T> T* control(const char* name)
    {
        return dialog()->findChild<T*>(QString::fromLatin1(name));
    }
    void closeAndWait()
    {
        QPointer<FindDialog> closing = dialog();
        closing->close();
        QTRY_VERIFY(closing.isNull());
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<CKumorialApp> app;
};

void TestFindDialog::init()
{
    dir = std::make_unique<QTemporaryDir>();
    app = std::make_unique<CKumorialApp>();
    app->InitInstance({}, dir->path());
    QVERIFY(QTest::qWaitForWindowExposed(app->mainFrame()));
}

void TestFindDialog::cleanup()
{
    if (app->mainFrame())
        app->mainFrame()->view()->modified = 0;
    app.reset();
    dir.reset();
}

void TestFindDialog::findThenReplaceAllThenReopenPreset()
{
    pane().setText(QStringLiteral("ab AB ab"));
    run(Cmd::Find);
    QVERIFY(dialog());
    QCOMPARE(dialog()->kind(), FindDialog::Kind::Find);
    QVERIFY(!dialog()->isModal());
    QCOMPARE(dialog()->parentWidget(), app->mainFrame());
    QCOMPARE(dialog()->windowTitle(), QStringLiteral("検索"));
    QVERIFY(control<QRadioButton>("down")->isChecked());
    QVERIFY(!control<QCheckBox>("matchCase")->isChecked());
    QVERIFY(!control<QPushButton>("findNext")->isEnabled());

    QTest::keyClicks(control<QLineEdit>("findWhat"), QStringLiteral("ab"));
    QVERIFY(control<QPushButton>("findNext")->isEnabled());
    control<QPushButton>("findNext")->click();
    QCOMPARE(pane().selection(), (EditPane::Selection{0, 2}));
    control<QPushButton>("findNext")->click();
    QCOMPARE(pane().selection(), (EditPane::Selection{3, 5}));
    control<QCheckBox>("matchCase")->setChecked(true);
    control<QPushButton>("findNext")->click();
    QCOMPARE(pane().selection(), (EditPane::Selection{6, 8}));
    QString message;
    TestSupport::answerNext<QMessageBox>(QMessageBox::Ok, &message);
    control<QPushButton>("findNext")->click();
    QCOMPARE(message, QStringLiteral("\"ab\"が見つかりません"));
    QCOMPARE(pane().selection(), (EditPane::Selection{6, 8}));

    // One dialog at a time, whichever kind is asked for.
    run(Cmd::Replace);
    run(Cmd::Find);
    QCOMPARE(dialogs().size(), 1);
    QCOMPARE(dialog()->kind(), FindDialog::Kind::Find);
    control<QPushButton>("cancel")->click();
    QTRY_VERIFY(dialogs().isEmpty());

    run(Cmd::Replace);
    QVERIFY(dialog());
    QCOMPARE(dialog()->kind(), FindDialog::Kind::Replace);
    QCOMPARE(control<QLineEdit>("findWhat")->text(), QStringLiteral("ab"));
    QVERIFY(control<QCheckBox>("matchCase")->isChecked());
    QVERIFY(!control<QRadioButton>("up"));
    QTest::keyClicks(control<QLineEdit>("replaceWith"), QStringLiteral("X"));
    pane().setSelection(0, 0);
    control<QPushButton>("replaceAll")->click();
    QCOMPARE(pane().text(), QStringLiteral("X AB X"));
    QCOMPARE(pane().selection(), (EditPane::Selection{6, 6}));
    app->mainFrame()->view()->paneWidget()->undo();
    QCOMPARE(pane().text(), QStringLiteral("ab AB ab"));

    control<QLineEdit>("findWhat")->clear();
    QVERIFY(!control<QPushButton>("replace")->isEnabled());
    QVERIFY(!control<QPushButton>("replaceAll")->isEnabled());
    QTest::keyClicks(control<QLineEdit>("findWhat"), QStringLiteral("AB"));
    closeAndWait();

    // The last request presets the next dialog; closing sent nothing to search for.
    run(Cmd::Replace);
    QCOMPARE(control<QLineEdit>("findWhat")->text(), QStringLiteral("ab"));
    QCOMPARE(control<QLineEdit>("replaceWith")->text(), QStringLiteral("X"));
    closeAndWait();
    run(Cmd::Find);
    QCOMPARE(control<QLineEdit>("findWhat")->text(), QStringLiteral("ab"));
    QVERIFY(control<QCheckBox>("matchCase")->isChecked());
    QVERIFY(control<QRadioButton>("down")->isChecked());
    closeAndWait();
}

void TestFindDialog::repeatKeysOpenTheDialogUntilSomethingWasSearched()
{
    pane().setText(QStringLiteral("abc abc"));
    run(Cmd::FindNextUp);
    QVERIFY(dialog());
    QVERIFY(control<QRadioButton>("up")->isChecked());
    QTest::keyClicks(control<QLineEdit>("findWhat"), QStringLiteral("abc"));
    control<QRadioButton>("down")->setChecked(true);
    control<QPushButton>("findNext")->click();
    QCOMPARE(pane().selection(), (EditPane::Selection{0, 3}));
    // The keys search while the dialog is open and leave the stored direction alone.
    run(Cmd::FindNextDown);
    QCOMPARE(pane().selection(), (EditPane::Selection{4, 7}));
    run(Cmd::FindNextUp);
    QCOMPARE(pane().selection(), (EditPane::Selection{0, 3}));
    QCOMPARE(dialogs().size(), 1);
    closeAndWait();
    run(Cmd::Find);
    QVERIFY(control<QRadioButton>("down")->isChecked());
    closeAndWait();
}

void TestFindDialog::fieldsKeepPastedTextOnOneLine()
{
    pane().setText(QStringLiteral("ab\r\ncd abcd"));
    run(Cmd::Replace);
    QVERIFY(dialog());
    QApplication::clipboard()->setText(QStringLiteral("ab\r\ncd"));
    for (const char* name : {"findWhat", "replaceWith"}) {
        auto* edit = control<QLineEdit>(name);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), QStringLiteral("abcd"));
    }
    control<QPushButton>("findNext")->click();
    QCOMPARE(pane().selection(), (EditPane::Selection{7, 11}));
    closeAndWait();
}

void TestFindDialog::replaceAllShowsNotFoundWithoutTheWaitCursor()
{
    pane().setText(QStringLiteral("abc"));
    run(Cmd::Replace);
    QVERIFY(dialog());
    QTest::keyClicks(control<QLineEdit>("findWhat"), QStringLiteral("zz"));
    bool shown = false;
    const QCursor* cursorUnderBox = nullptr;
    TestSupport::answerNext<QMessageBox>([&](QMessageBox* box) {
        shown = true;
        cursorUnderBox = QApplication::overrideCursor();
        box->button(QMessageBox::Ok)->click();
    });
    control<QPushButton>("replaceAll")->click();
    QVERIFY2(shown, "Replace All without a hit showed no message");
    QVERIFY2(!cursorUnderBox, "the not-found box came up under the wait cursor");
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(pane().text(), QStringLiteral("abc"));
    closeAndWait();
}

QTEST_MAIN(TestFindDialog)
#include "tst_finddialog.moc"
