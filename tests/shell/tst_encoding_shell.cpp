#include "core/document/FileCommands.h"
#include "core/res/CommandIds.h"
#include "shell/app/CKumorialApp.h"
#include "shell/frame/CMainFrame.h"
#include "shell/framework/ActionSet.h"
#include "shell/framework/QtEditPane.h"
#include "shell/view/CKumorialView.h"
#include "support/AppFixture.h"
#include "support/DialogAnswers.h"
#include "support/Files.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTest>

using TestSupport::answerNext;
using TestSupport::readBytes;
using TestSupport::writeBytes;

namespace {
QByteArray encodingFixture(const QString& name)
{
    return TestSupport::fixture(QStringLiteral("encoding/") + name);
}

// 😀 on line 2, ♥ twice on line 3, 𠮷 on line 5, lines ending in CR LF.
QString guardedText()
{
    return QString::fromUtf8(encodingFixture(QStringLiteral("guarded_utf8.txt")));
}

QString prose()
{
    return QString::fromUtf8(encodingFixture(QStringLiteral("prose_utf8.txt")));
}

const QString saveAsUtf8Label = QStringLiteral("UTF-8 で保存(&U)");
const QString questionMarksLabel = QStringLiteral("「?」に置き換えて保存(&Q)");
const QString cancelLabel = QStringLiteral("キャンセル");
const QStringList encodingLabels{"Shift_JIS(&S)", "UTF-8(&U)", "UTF-8 BOM 付き(&B)", "EUC-JP(&E)",
                                 "UTF-16(&W)"};

// What the loss dialog showed, and the button pressed on it.
struct LossDialog {
    QString text;
    QString informative;
    QStringList buttons;
};

TestSupport::AnswerHandle answerLossDialog(const QString& press, LossDialog* seen)
{
    return answerNext<QMessageBox>([press, seen](QMessageBox* box) {
        seen->text = box->text();
        seen->informative = box->informativeText();
        QAbstractButton* pressed = nullptr;
        for (QAbstractButton* b : box->buttons()) {
            seen->buttons << b->text();
            if (b->text() == press)
                pressed = b;
        }
        if (!pressed)
            qFatal("the loss dialog has no button %s", qPrintable(press));
        pressed->click();
    });
}
} // namespace

class TestEncodingShell : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void lossDialogChoices_data();
    void lossDialogChoices();
    void lossDialogListsTwentyAndCountsTheRest();
    void cancelledLossKeepsTheDocument_data();
    void cancelledLossKeepsTheDocument();
    void savingAsUtf8KeepsBareLineFeeds();
    void openedFileShowsItsEncoding_data();
    void openedFileShowsItsEncoding();
    void reopenAsksTheSaveQuestionFirst_data();
    void reopenAsksTheSaveQuestionFirst();
    void chosenSaveEncodingIsWritten_data();
    void chosenSaveEncodingIsWritten();

private:
    CMainFrame* frame() { return fx->frame(); }
    CKumorialView* view() { return fx->view(); }
    QtEditPane& pane() { return fx->pane(); }
    QString docs(const QString& name) const
    {
        QDir(fx->folder()).mkpath(QStringLiteral("docs"));
        return fx->inFolder(QStringLiteral("docs/") + name);
    }
    bool dispatch(Cmd::Id id) { return frame()->router().dispatchIfEnabled(id); }
    QString paneText(const char* name)
    {
        auto* label = frame()->statusBar()->findChild<QLabel*>(QString::fromLatin1(name));
        return label ? label->text() : QStringLiteral("<no %1>").arg(QString::fromLatin1(name));
    }
    // The labels of a File submenu and the one checked after the menu's update pass.
    QStringList submenuLabels(const QString& title, QString* checked = nullptr)
    {
        QMenu* menu = frame()->actionSet()->menuOf(title);
        if (!menu)
            return {QStringLiteral("<no menu %1>").arg(title)};
        frame()->actionSet()->updateMenu(menu);
        QStringList labels;
        for (QAction* a : menu->actions()) {
            labels << a->text();
            if (checked && a->isChecked())
                *checked += a->text();
        }
        return labels;
    }
    // Starts the program on a copy of an encoding fixture.
    bool startOn(const QString& fixtureName, const QString& copyName)
    {
        writeBytes(docs(copyName), encodingFixture(fixtureName));
        return fx->start({docs(copyName)});
    }

    std::unique_ptr<TestSupport::AppFixture> fx;
};

void TestEncodingShell::init()
{
    fx = std::make_unique<TestSupport::AppFixture>();
}

void TestEncodingShell::cleanup()
{
    fx.reset();
    QCOMPARE(TestSupport::takePendingAnswers(), 0);
}

void TestEncodingShell::lossDialogChoices_data()
{
    QTest::addColumn<QString>("press");
    QTest::addColumn<QString>("expectedFile"); // empty: the old file stays
    QTest::addColumn<QString>("encodingPane");
    QTest::addColumn<QString>("checkedSaveEncoding");

    QTest::newRow("save as UTF-8: UTF-8 bytes, a UTF-8 document") << saveAsUtf8Label << "guarded_utf8.txt"
                                                                  << "UTF-8"
                                                                  << "UTF-8(&U)";
    QTest::newRow("save with ?: ? where they stood") << questionMarksLabel << "guarded_question_cp932.txt"
                                                     << "Shift_JIS"
                                                     << "Shift_JIS(&S)";
    QTest::newRow("cancel: nothing written, caret on the first") << cancelLabel << ""
                                                                 << "Shift_JIS"
                                                                 << "Shift_JIS(&S)";
}

void TestEncodingShell::lossDialogChoices()
{
    QFETCH(QString, press);
    QFETCH(QString, expectedFile);
    QFETCH(QString, encodingPane);
    QFETCH(QString, checkedSaveEncoding);

    QVERIFY(startOn("prose_cp932.txt", "blog.txt"));
    QCOMPARE(paneText("EncodingPane"), QStringLiteral("Shift_JIS"));
    pane().setText(guardedText());
    pane().setSelection(pane().length(), pane().length());

    LossDialog seen;
    answerLossDialog(press, &seen);
    QVERIFY(dispatch(Cmd::FileSave));

    QCOMPARE(seen.text,
             QStringLiteral("次の文字は Shift_JIS で保存できません。\n保存のしかたを選んでください。"));
    QCOMPARE(seen.informative, QStringLiteral("😀 (U+1F600)　1 個　2 行 9 文字目\n"
                                              "♥ (U+2665)　2 個　3 行 1 文字目\n"
                                              "𠮷 (U+20BB7)　1 個　5 行 1 文字目"));
    QCOMPARE(seen.buttons.size(), 3);
    for (const QString& label : {saveAsUtf8Label, questionMarksLabel, cancelLabel})
        QVERIFY2(seen.buttons.contains(label), qPrintable(label));

    const QString path = docs("blog.txt");
    QCOMPARE(paneText("EncodingPane"), encodingPane);
    QCOMPARE(paneText("LineBreakPane"), QStringLiteral("CRLF"));
    QString checked;
    submenuLabels(QStringLiteral("保存する文字コード(&E)"), &checked);
    QCOMPARE(checked, checkedSaveEncoding);
    QCOMPARE(pane().text(), guardedText());
    QCOMPARE(frame()->windowTitle(), QStringLiteral("blog.txt - クモリアル"));
    if (expectedFile.isEmpty()) {
        QCOMPARE(readBytes(path), encodingFixture("prose_cp932.txt"));
        QCOMPARE(view()->modified, 1);
        const QTextCursor caret = view()->paneWidget()->textCursor();
        QVERIFY(!caret.hasSelection());
        QCOMPARE(caret.blockNumber(), 1);
        QCOMPARE(caret.positionInBlock(), 8);
        QCOMPARE(pane().selection().start, guardedText().indexOf(QStringLiteral("😀")));
    } else {
        QCOMPARE(readBytes(path), encodingFixture(expectedFile));
        QCOMPARE(view()->modified, 0);
    }
}

void TestEncodingShell::lossDialogListsTwentyAndCountsTheRest()
{
    QVERIFY(fx->start());
    // 25 emoji, U+1F600 to U+1F618, one per line.
    QStringList lines;
    for (char32_t c = 0x1F600; c < 0x1F600 + 25; ++c)
        lines << QString::fromUcs4(&c, 1);
    pane().setText(lines.join(QStringLiteral("\r\n")));
    LossDialog seen;
    answerNext<QFileDialog>(docs("many.txt"));
    answerLossDialog(cancelLabel, &seen);
    QVERIFY(dispatch(Cmd::FileSave));
    const QStringList listed = seen.informative.split(u'\n');
    QCOMPARE(listed.size(), 21);
    QCOMPARE(listed.at(19), QStringLiteral("😓 (U+1F613)　1 個　20 行 1 文字目"));
    QCOMPARE(listed.at(20), QStringLiteral("ほかに 5 種類の文字があります。"));
    QVERIFY(!QFileInfo::exists(docs("many.txt")));
}

void TestEncodingShell::cancelledLossKeepsTheDocument_data()
{
    QTest::addColumn<QString>("command");

    QTest::newRow("closing the window") << "close";
    QTest::newRow("New") << "new";
    QTest::newRow("Open") << "open";
}

void TestEncodingShell::cancelledLossKeepsTheDocument()
{
    QFETCH(QString, command);

    QVERIFY(startOn("prose_cp932.txt", "blog.txt"));
    pane().setText(guardedText());
    QString question;
    LossDialog seen;
    answerNext<QMessageBox>(QMessageBox::Yes, &question);
    answerLossDialog(cancelLabel, &seen);
    // Open would ask for a file next; none is answered, so a file dialog would stop the run.
    if (command == u"close")
        QVERIFY(!frame()->close());
    else
        QVERIFY(dispatch(command == u"new" ? Cmd::FileNew : Cmd::FileOpen));

    QCOMPARE(question, QStringLiteral("blog.txt への変更を保存しますか？"));
    QVERIFY(seen.text.startsWith(QStringLiteral("次の文字は Shift_JIS で")));
    QVERIFY(frame()->isVisible());
    QCOMPARE(pane().text(), guardedText());
    QCOMPARE(view()->modified, 1);
    QCOMPARE(view()->files().filePath, docs("blog.txt"));
    QCOMPARE(frame()->windowTitle(), QStringLiteral("blog.txt - クモリアル"));
    QCOMPARE(readBytes(docs("blog.txt")), encodingFixture("prose_cp932.txt"));
    QCOMPARE(view()->paneWidget()->textCursor().blockNumber(), 1);
}

void TestEncodingShell::savingAsUtf8KeepsBareLineFeeds()
{
    // An EUC-JP file with bare LF lacks ♥ as Shift_JIS does; saved as UTF-8 it keeps its LF.
    QVERIFY(startOn("prose_eucjp_lf.txt", "lf.txt"));
    QCOMPARE(paneText("LineBreakPane"), QStringLiteral("LF"));
    pane().setText(prose() + QStringLiteral("\r\n♥"));
    LossDialog seen;
    answerLossDialog(saveAsUtf8Label, &seen);
    QVERIFY(dispatch(Cmd::FileSave));
    QVERIFY(seen.text.startsWith(QStringLiteral("次の文字は EUC-JP で")));
    QCOMPARE(readBytes(docs("lf.txt")), encodingFixture("prose_utf8_lf.txt") + "\n\xe2\x99\xa5");
    QCOMPARE(paneText("EncodingPane"), QStringLiteral("UTF-8"));
    QCOMPARE(paneText("LineBreakPane"), QStringLiteral("LF"));
}

void TestEncodingShell::openedFileShowsItsEncoding_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("encodingPane");
    QTest::addColumn<QString>("lineBreakPane");
    QTest::addColumn<QString>("checkedSaveEncoding");

    QTest::newRow("Shift_JIS") << "prose_cp932.txt"
                               << "Shift_JIS"
                               << "CRLF"
                               << "Shift_JIS(&S)";
    QTest::newRow("UTF-8") << "prose_utf8.txt"
                           << "UTF-8"
                           << "CRLF"
                           << "UTF-8(&U)";
    QTest::newRow("UTF-8 BOM") << "prose_utf8_bom.txt"
                               << "UTF-8 (BOM)"
                               << "CRLF"
                               << "UTF-8 BOM 付き(&B)";
    QTest::newRow("EUC-JP") << "prose_eucjp.txt"
                            << "EUC-JP"
                            << "CRLF"
                            << "EUC-JP(&E)";
    QTest::newRow("UTF-16 LE") << "prose_utf16le.txt"
                               << "UTF-16"
                               << "CRLF"
                               << "UTF-16(&W)";
    QTest::newRow("UTF-16 BE") << "prose_utf16be.txt"
                               << "UTF-16"
                               << "CRLF"
                               << "UTF-16(&W)";
    QTest::newRow("UTF-8 bare LF") << "prose_utf8_lf.txt"
                                   << "UTF-8"
                                   << "LF"
                                   << "UTF-8(&U)";
    QTest::newRow("EUC-JP bare LF") << "prose_eucjp_lf.txt"
                                    << "EUC-JP"
                                    << "LF"
                                    << "EUC-JP(&E)";
    QTest::newRow("UTF-16 LE bare LF") << "prose_utf16le_lf.txt"
                                       << "UTF-16"
                                       << "LF"
                                       << "UTF-16(&W)";
}

void TestEncodingShell::openedFileShowsItsEncoding()
{
    QFETCH(QString, file);
    QFETCH(QString, encodingPane);
    QFETCH(QString, lineBreakPane);
    QFETCH(QString, checkedSaveEncoding);

    QVERIFY(fx->start());
    QCOMPARE(paneText("EncodingPane"), QStringLiteral("Shift_JIS"));
    QCOMPARE(paneText("LineBreakPane"), QStringLiteral("CRLF"));
    writeBytes(docs(file), encodingFixture(file));
    answerNext<QFileDialog>(docs(file));
    QVERIFY(dispatch(Cmd::FileOpen));
    QCOMPARE(view()->files().filePath, docs(file));
    QCOMPARE(pane().text(), prose());
    QCOMPARE(paneText("EncodingPane"), encodingPane);
    QCOMPARE(paneText("LineBreakPane"), lineBreakPane);

    QCOMPARE(submenuLabels(QStringLiteral("文字コードを指定して開き直す(&R)")), encodingLabels);
    QString checked;
    QCOMPARE(submenuLabels(QStringLiteral("保存する文字コード(&E)"), &checked), encodingLabels);
    QCOMPARE(checked, checkedSaveEncoding);
    // New documents stay Shift_JIS whatever was opened.
    checked.clear();
    QCOMPARE(submenuLabels(QStringLiteral("新規文書の文字コード(&W)"), &checked), encodingLabels);
    QCOMPARE(checked, QStringLiteral("Shift_JIS(&S)"));
}

void TestEncodingShell::reopenAsksTheSaveQuestionFirst_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("reopened");

    QTest::newRow("No: read again as Shift_JIS") << int(QMessageBox::No) << true;
    QTest::newRow("Cancel: the document stays") << int(QMessageBox::Cancel) << false;
}

void TestEncodingShell::reopenAsksTheSaveQuestionFirst()
{
    QFETCH(int, answer);
    QFETCH(bool, reopened);

    QVERIFY(startOn("prose_eucjp.txt", "euc.txt"));
    QCOMPARE(paneText("EncodingPane"), QStringLiteral("EUC-JP"));
    QTest::keyClicks(view()->paneWidget(), QStringLiteral("x"));
    const QString edited = pane().text();
    QVERIFY(edited != prose());

    QString question;
    answerNext<QMessageBox>(QMessageBox::StandardButton(answer), &question);
    frame()->actionSet()->action(Cmd::ReopenEncodingFirst)->trigger();
    QCOMPARE(question, QStringLiteral("euc.txt への変更を保存しますか？"));
    QCOMPARE(paneText("EncodingPane"), reopened ? QStringLiteral("Shift_JIS") : QStringLiteral("EUC-JP"));
    QCOMPARE(pane().text() == edited, !reopened);
    QCOMPARE(readBytes(docs("euc.txt")), encodingFixture("prose_eucjp.txt"));
    if (!reopened)
        return;
    QVERIFY(pane().text() != prose());
    // And back: the file reads as the prose again.
    answerNext<QMessageBox>(QMessageBox::No);
    frame()->actionSet()->action(Cmd::Id(Cmd::ReopenEncodingFirst + 3))->trigger();
    QCOMPARE(pane().text(), prose());
    QCOMPARE(paneText("EncodingPane"), QStringLiteral("EUC-JP"));
}

void TestEncodingShell::chosenSaveEncodingIsWritten_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("encodingPane");
    QTest::addColumn<QString>("expectedFile");

    QTest::newRow("Shift_JIS to UTF-8") << "prose_cp932.txt" << 1 << "UTF-8"
                                        << "prose_utf8.txt";
    QTest::newRow("Shift_JIS to UTF-8 BOM") << "prose_cp932.txt" << 2 << "UTF-8 (BOM)"
                                            << "prose_utf8_bom.txt";
    QTest::newRow("Shift_JIS to EUC-JP") << "prose_cp932.txt" << 3 << "EUC-JP"
                                         << "prose_eucjp.txt";
    QTest::newRow("Shift_JIS to UTF-16") << "prose_cp932.txt" << 4 << "UTF-16"
                                         << "prose_utf16le.txt";
    QTest::newRow("UTF-8 bare LF to Shift_JIS: CR LF") << "prose_utf8_lf.txt" << 0 << "Shift_JIS"
                                                       << "prose_cp932.txt";
    QTest::newRow("UTF-8 bare LF to EUC-JP: still LF") << "prose_utf8_lf.txt" << 3 << "EUC-JP"
                                                       << "prose_eucjp_lf.txt";
}

void TestEncodingShell::chosenSaveEncodingIsWritten()
{
    QFETCH(QString, from);
    QFETCH(int, choice);
    QFETCH(QString, encodingPane);
    QFETCH(QString, expectedFile);

    QVERIFY(startOn(from, "doc.txt"));
    view()->modified = 0;
    frame()->actionSet()->action(Cmd::Id(Cmd::SaveEncodingFirst + choice))->trigger();
    QCOMPARE(paneText("EncodingPane"), encodingPane);
    QCOMPARE(view()->modified, 1);
    QString checked;
    submenuLabels(QStringLiteral("保存する文字コード(&E)"), &checked);
    QCOMPARE(checked, encodingLabels.at(choice));
    QCOMPARE(readBytes(docs("doc.txt")), encodingFixture(from));

    QVERIFY(dispatch(Cmd::FileSave));
    QCOMPARE(readBytes(docs("doc.txt")), encodingFixture(expectedFile));
    QCOMPARE(view()->modified, 0);
    QCOMPARE(paneText("EncodingPane"), encodingPane);
}

QTEST_MAIN(TestEncodingShell)
#include "tst_encoding_shell.moc"
