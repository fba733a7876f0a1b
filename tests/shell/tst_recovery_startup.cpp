#include "core/base/CodePage.h"
#include "core/document/FileCommands.h"
#include "core/document/Recovery.h"
#include "core/res/Strings.h"
#include "shell/frame/CMainFrame.h"
#include "shell/framework/QtEditPane.h"
#include "shell/view/CKumorialView.h"
#include "support/AppFixture.h"
#include "support/DialogAnswers.h"
#include "support/Files.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using TestSupport::answerNext;
using TestSupport::readBytes;
using TestSupport::writeBytes;

// The question about a copy left by a run that did not end normally, asked by the real
// program with its real message boxes, before the main window comes up.
class TestRecoveryStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void yesRestoresTheText_data();
    void yesRestoresTheText();
    void noKeepsOneBackupAndAsksNoMore();
    void badCopyIsSetAsideAndStartUpGoesOn();
    void fileOnTheCommandLine_data();
    void fileOnTheCommandLine();

private:
    // Leaves a copy in the settings folder as a killed run would.
    void leaveCopy(const QString& name, const QString& text)
    {
        RecoveryCopy copy;
        copy.text = text;
        copy.name = name;
        copy.time = QDateTime(QDate(2026, 12, 8), QTime(9, 5, 42));
        writeBytes(copyPath(), copy.encode());
    }
    QString copyPath() const { return app->inFolder(QStringLiteral("Kumorial.recovery")); }
    QString backupPath() const { return copyPath() + QStringLiteral(".bak"); }

    std::unique_ptr<TestSupport::AppFixture> app;
};

namespace {
struct SeenBox {
    QString text;
    bool yesIsDefault = false;
};

// Records the question and presses `button`.
TestSupport::AnswerHandle answerQuestion(QMessageBox::StandardButton button, SeenBox& seen)
{
    return answerNext<QMessageBox>([button, &seen](QMessageBox* box) {
        seen.text = box->text();
        seen.yesIsDefault = box->defaultButton() && box->defaultButton() == box->button(QMessageBox::Yes);
        if (QAbstractButton* b = box->button(button))
            b->click();
        else
            box->reject();
    });
}
} // namespace

void TestRecoveryStartup::init()
{
    app = std::make_unique<TestSupport::AppFixture>();
}

void TestRecoveryStartup::cleanup()
{
    app.reset();
    QCOMPARE(TestSupport::takePendingAnswers(), 0);
}

void TestRecoveryStartup::yesRestoresTheText_data()
{
    QTest::addColumn<bool>("named");
    QTest::addColumn<QString>("shownName");
    QTest::addColumn<QString>("title");
    QTest::newRow("untitled") << false << "無題"
                              << "無題 - クモリアル";
    QTest::newRow("named") << true << "日記.txt"
                           << "日記.txt - クモリアル";
}

void TestRecoveryStartup::yesRestoresTheText()
{
    QFETCH(bool, named);
    QFETCH(QString, shownName);
    QFETCH(QString, title);
    const QString name = named ? app->inFolder(QStringLiteral("日記.txt")) : QString();
    const QString text = QStringLiteral("書きかけの記事\r\n二行目");
    leaveCopy(name, text);

    SeenBox seen;
    answerQuestion(QMessageBox::Yes, seen);
    QVERIFY(app->start());
    QVERIFY2(seen.text.contains(QStringLiteral("「%1」").arg(shownName)), qPrintable(seen.text));
    QVERIFY2(seen.text.contains(QStringLiteral("2026/12/08 09:05")), qPrintable(seen.text));
    QVERIFY2(seen.text.contains(QStringLiteral("復元しますか？")), qPrintable(seen.text));
    QVERIFY2(seen.yesIsDefault, "Yes is not the default button");

    QCOMPARE(app->pane().text(), text);
    QCOMPARE(app->view()->modified, 1);
    QCOMPARE(app->view()->files().filePath, name);
    QCOMPARE(app->frame()->windowTitle(), title);
    // Still the copy of unsaved work until the text is saved or let go.
    QVERIFY(QFileInfo::exists(copyPath()));
    app->end();
    QVERIFY2(!QFileInfo::exists(copyPath()), "a normal exit left the copy");
}

void TestRecoveryStartup::noKeepsOneBackupAndAsksNoMore()
{
    writeBytes(backupPath(), "an older backup");
    leaveCopy(QString(), QStringLiteral("誤って捨てかけた文"));
    const QByteArray copyBytes = readBytes(copyPath());

    SeenBox seen;
    answerQuestion(QMessageBox::No, seen);
    QVERIFY(app->start());
    QVERIFY(!seen.text.isEmpty());
    QCOMPARE(app->view()->modified, 0);
    QVERIFY(app->pane().text() != QStringLiteral("誤って捨てかけた文"));
    QVERIFY(!QFileInfo::exists(copyPath()));
    QCOMPARE(readBytes(backupPath()), copyBytes);
    app->end();

    // No answer is given: a box now would fail the test.
    QVERIFY(app->start());
    QCOMPARE(app->view()->modified, 0);
    QCOMPARE(readBytes(backupPath()), copyBytes);
}

void TestRecoveryStartup::badCopyIsSetAsideAndStartUpGoesOn()
{
    leaveCopy(QString(), QStringLiteral("途中で切れた文章"));
    const QByteArray whole = readBytes(copyPath());
    writeBytes(copyPath(), whole.left(whole.size() - 3));

    QString message;
    answerNext<QMessageBox>(QMessageBox::Ok, &message);
    QVERIFY(app->start());
    QVERIFY2(message.startsWith(QStringLiteral("前回の復元用ファイルが壊れていたため")), qPrintable(message));
    const QString bad = copyPath() + QStringLiteral(".bad");
    QVERIFY2(message.contains(QDir::toNativeSeparators(bad)), qPrintable(message));
    QCOMPARE(readBytes(bad), whole.left(whole.size() - 3));
    QVERIFY(!QFileInfo::exists(copyPath()));
    QCOMPARE(app->view()->modified, 0);
}

void TestRecoveryStartup::fileOnTheCommandLine_data()
{
    // Which file the copy was of, the answer, and what the program then shows.
    QTest::addColumn<QString>("copyOf");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("filePath");
    QTest::addColumn<bool>("told");
    QTest::newRow("Yes, a copy of that file: restored under its name")
        << "named.txt" << QMessageBox::Yes << "復元した文"
        << "named.txt" << false;
    QTest::newRow("Yes, a copy of another file: restored, the user told")
        << "other.txt" << QMessageBox::Yes << "復元した文"
        << "other.txt" << true;
    QTest::newRow("Yes, an untitled copy: restored, the user told") << "" << QMessageBox::Yes << "復元した文"
                                                                    << "" << true;
    QTest::newRow("No: the named file opens") << "other.txt" << QMessageBox::No << "ファイルの本文"
                                              << "named.txt" << false;
}

void TestRecoveryStartup::fileOnTheCommandLine()
{
    QFETCH(QString, copyOf);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QString, text);
    QFETCH(QString, filePath);
    QFETCH(bool, told);
    const QString named = app->inFolder(QStringLiteral("named.txt"));
    writeBytes(named, CodePage::fromUnicode(QStringLiteral("ファイルの本文")));
    leaveCopy(copyOf.isEmpty() ? QString() : app->inFolder(copyOf), QStringLiteral("復元した文"));

    SeenBox seen;
    answerQuestion(answer, seen);
    QString message;
    if (told)
        answerNext<QMessageBox>(QMessageBox::Ok, &message);
    // Relative to the working folder, as a shell passes it.
    QVERIFY(QDir::setCurrent(app->folder()));
    QVERIFY(app->start({QStringLiteral("named.txt")}));
    QVERIFY(!seen.text.isEmpty());
    QCOMPARE(app->pane().text(), text);
    QCOMPARE(app->view()->files().filePath.isEmpty(), filePath.isEmpty());
    if (!filePath.isEmpty())
        QCOMPARE(QFileInfo(app->view()->files().filePath).fileName(), filePath);
    // A file opened from the command line counts as changed as well.
    QCOMPARE(app->view()->modified, 1);
    if (told) {
        QVERIFY2(message.contains(QStringLiteral("指定されたファイルは開きませんでした")),
                 qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("named.txt")), qPrintable(message));
    }
    // The named file itself is never touched.
    QCOMPARE(readBytes(named), CodePage::fromUnicode(QStringLiteral("ファイルの本文")));
}

QTEST_MAIN(TestRecoveryStartup)
#include "tst_recovery_startup.moc"
