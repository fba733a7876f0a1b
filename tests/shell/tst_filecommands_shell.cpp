#include "core/document/FileCommands.h"
#include "core/res/CommandIds.h"
#include "shell/app/CKumorialApp.h"
#include "shell/frame/CMainFrame.h"
#include "shell/framework/QtEditPane.h"
#include "shell/view/CKumorialView.h"
#include "support/AppFixture.h"
#include "support/DialogAnswers.h"
#include "support/Files.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>

using TestSupport::answerNext;
using TestSupport::readBytes;
using TestSupport::writeBytes;

namespace {
// The names the file dialog's list shows, sorted.
QStringList listedNames(QFileDialog* dialog)
{
    auto* list = dialog->findChild<QListView*>(QStringLiteral("listView"));
    QStringList names;
    if (!list)
        return {QStringLiteral("<no list>")};
    const QModelIndex root = list->rootIndex();
    for (int row = 0; row < list->model()->rowCount(root); ++row)
        names << list->model()->index(row, 0, root).data().toString();
    names.sort();
    return names;
}
} // namespace

class TestFileCommandsShell : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void startupDocumentFromArguments_data();
    void startupDocumentFromArguments();
    void dropOfThreeFilesOpensTheFirst();
    void titleThroughSaveAsAndOpenWithHyphens();
    void openAsksBeforeCreatingAName();
    void aPatternInTheNameFieldFiltersTheList();
    void everyFileFilterShowsNamesWithoutADot();
    void everyFileFilterKeepsTheTypedExtension();

private:
    CMainFrame* frame() { return fx->frame(); }
    CKumorialView* view() { return fx->view(); }
    QtEditPane& pane() { return fx->pane(); }
    QString inDir(const QString& name) const { return fx->inFolder(name); }
    // A folder for documents alone: the settings folder holds files of the program's own.
    QString docs(const QString& name) const
    {
        QDir(fx->folder()).mkpath(QStringLiteral("docs"));
        return fx->inFolder(QStringLiteral("docs/") + name);
    }
    bool dispatch(Cmd::Id id) { return frame()->router().dispatchIfEnabled(id); }

    std::unique_ptr<TestSupport::AppFixture> fx;
};

void TestFileCommandsShell::init()
{
    fx = std::make_unique<TestSupport::AppFixture>();
}

void TestFileCommandsShell::cleanup()
{
    fx.reset();
    QCOMPARE(TestSupport::takePendingAnswers(), 0);
}

void TestFileCommandsShell::startupDocumentFromArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("modified");

    QTest::newRow("no arguments: the template, untitled") << QStringList() << "12月 %d"
                                                          << "無題 - クモリアル" << 0;
    QTest::newRow("a name with blanks and hyphens") << QStringList{"日記 - 12-08.txt"} << "一行目\r\n二行目"
                                                    << "日記 - 12-08.txt - クモリアル" << 1;
    QTest::newRow("a missing name, then a readable one")
        << QStringList{"none.txt", "日記 - 12-08.txt"} << "一行目\r\n二行目"
        << "日記 - 12-08.txt - クモリアル" << 1;
    QTest::newRow("leading -: the template") << QStringList{"-x"} << "12月 %d"
                                             << "無題 - クモリアル" << 0;
}

void TestFileCommandsShell::startupDocumentFromArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(int, modified);

    writeBytes(inDir("Kumorial.tmp"), "%M\x8c\x8e %d");
    writeBytes(inDir("日記 - 12-08.txt"), "\x88\xea\x8d\x73\x96\xda\n\x93\xf1\x8d\x73\x96\xda");
    for (QString& a : arguments)
        if (!a.startsWith(u'-'))
            a = inDir(a);
    QVERIFY(fx->start(arguments));
    QCOMPARE(pane().text(), text);
    QCOMPARE(frame()->windowTitle(), title);
    QCOMPARE(view()->modified, modified);
    // A freshly opened file counts as changed: closing asks, and Cancel keeps the window.
    if (modified == 1) {
        QString asked;
        answerNext<QMessageBox>(QMessageBox::Cancel, &asked);
        QVERIFY(!frame()->close());
        QCOMPARE(asked, QStringLiteral("日記 - 12-08.txt への変更を保存しますか？"));
        QVERIFY(frame()->isVisible());
    }
}

void TestFileCommandsShell::dropOfThreeFilesOpensTheFirst()
{
    QVERIFY(fx->start());
    QStringList names{"one.txt", "two.txt", "three.txt"};
    QList<QUrl> urls;
    for (const QString& name : names) {
        writeBytes(inDir(name), name.toLatin1());
        urls << QUrl::fromLocalFile(inDir(name));
    }
    auto* data = new QMimeData;
    data->setUrls(urls);
    QWidget* target = view()->paneWidget()->viewport();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QVERIFY(drop.isAccepted());
    QTRY_COMPARE(pane().text(), QStringLiteral("one.txt"));
    QCOMPARE(frame()->windowTitle(), QStringLiteral("one.txt - クモリアル"));
    QCOMPARE(view()->files().filePath, inDir("one.txt"));
    delete data;
}

void TestFileCommandsShell::titleThroughSaveAsAndOpenWithHyphens()
{
    QVERIFY(fx->start());
    pane().setText(QStringLiteral("本文"));
    QString proposed;
    answerNext<QFileDialog>(inDir("my-blog - 2"), &proposed);
    QVERIFY(dispatch(Cmd::FileSaveAs));
    QVERIFY(QFileInfo(proposed).fileName().startsWith(QStringLiteral("ブログ_")));
    QVERIFY(QRegularExpression(QStringLiteral("^ブログ_\\d{12}\\.txt$"))
                .match(QFileInfo(proposed).fileName())
                .hasMatch());
    // The dialog's default extension completes the name.
    QCOMPARE(frame()->windowTitle(), QStringLiteral("my-blog - 2.txt - クモリアル"));
    QCOMPARE(readBytes(inDir("my-blog - 2.txt")), QByteArray("\x96\x7b\x95\xb6"));
    QCOMPARE(view()->modified, 0);

    writeBytes(inDir("-a-b-.txt"), "x");
    answerNext<QFileDialog>(inDir("-a-b-.txt"));
    QVERIFY(dispatch(Cmd::FileOpen));
    QCOMPARE(frame()->windowTitle(), QStringLiteral("-a-b-.txt - クモリアル"));
    QCOMPARE(pane().text(), QStringLiteral("x"));

    answerNext<QMessageBox>(QMessageBox::No);
    QVERIFY(dispatch(Cmd::FileNew));
    QCOMPARE(frame()->windowTitle(), QStringLiteral("無題 - クモリアル"));
    QCOMPARE(pane().text(), QString());
}

void TestFileCommandsShell::openAsksBeforeCreatingAName()
{
    QVERIFY(fx->start());
    pane().setText(QStringLiteral("kept"));
    QString createQuestion, loadMessage;
    answerNext<QFileDialog>(inDir("new-file.txt"));
    answerNext<QMessageBox>(QMessageBox::Yes, &createQuestion);
    answerNext<QMessageBox>(QMessageBox::Ok, &loadMessage);
    QVERIFY(dispatch(Cmd::FileOpen));
    QVERIFY(createQuestion.startsWith(QStringLiteral("new-file.txt\n")));
    QCOMPARE(loadMessage, QStringLiteral("ファイルの読み込みができません"));
    QCOMPARE(pane().text(), QStringLiteral("kept"));
    QCOMPARE(frame()->windowTitle(), QStringLiteral("new-file.txt - クモリアル"));
}

void TestFileCommandsShell::aPatternInTheNameFieldFiltersTheList()
{
    writeBytes(docs("a.txt"), "a");
    writeBytes(docs("b.md"), "b");
    writeBytes(docs("c.txt"), "c");
    QVERIFY(fx->start());
    pane().setText(QStringLiteral("kept"));
    QStringList preset, afterMd;
    bool openOnPreset = false, openOnTyped = false;
    answerNext<QFileDialog>([&](QFileDialog* dialog) {
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        dialog->setDirectory(docs(""));
        preset << name->text();
        // Open with the preset pattern, and with one typed, then Enter: the list follows.
        static_cast<QDialog*>(dialog)->accept();
        openOnPreset = dialog->isVisible();
        name->setText(QStringLiteral("*.md"));
        QTest::keyClick(name, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(listedNames(dialog), QStringList{"b.md"}, 5000);
        afterMd = listedNames(dialog);
        openOnTyped = dialog->isVisible();
        name->setText(QStringLiteral("b.md"));
        static_cast<QDialog*>(dialog)->accept();
    });
    QVERIFY(dispatch(Cmd::FileOpen));
    QCOMPARE(preset, QStringList{"*.txt"});
    QCOMPARE(afterMd, QStringList{"b.md"});
    QVERIFY(openOnPreset);
    QVERIFY(openOnTyped);
    // Only the real name was taken: no create prompt came up, and the document is b.md.
    QCOMPARE(pane().text(), QStringLiteral("b"));
    QCOMPARE(frame()->windowTitle(), QStringLiteral("b.md - クモリアル"));
}

void TestFileCommandsShell::everyFileFilterShowsNamesWithoutADot()
{
    writeBytes(docs("README"), "no dot");
    writeBytes(docs("a.txt"), "a");
    QVERIFY(fx->start());
    QStringList shown, names;
    answerNext<QFileDialog>([&](QFileDialog* dialog) {
        dialog->setDirectory(docs(""));
        auto* filters = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        for (int i = 0; i < filters->count(); ++i)
            shown << filters->itemText(i);
        QTRY_COMPARE_WITH_TIMEOUT(listedNames(dialog), QStringList{"a.txt"}, 5000);
        filters->setFocus();
        QTest::keyClick(filters, Qt::Key_Down);
        QTRY_COMPARE_WITH_TIMEOUT(listedNames(dialog), (QStringList{"README", "a.txt"}), 5000);
        names = listedNames(dialog);
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("README"));
        static_cast<QDialog*>(dialog)->accept();
    });
    QVERIFY(dispatch(Cmd::FileOpen));
    QCOMPARE(shown, (QStringList{"テキスト文書 (*.txt)", "すべてのファイル (*.*)"}));
    QCOMPARE(names, (QStringList{"README", "a.txt"}));
    // An existing name is taken as it stands, without the default extension.
    QCOMPARE(view()->files().filePath, docs("README"));
    QCOMPARE(pane().text(), QStringLiteral("no dot"));
}

void TestFileCommandsShell::everyFileFilterKeepsTheTypedExtension()
{
    QVERIFY(fx->start());
    pane().setText(QStringLiteral("memo"));
    QString typedAfterSwitch;
    answerNext<QFileDialog>([&](QFileDialog* dialog) {
        dialog->setDirectory(docs(""));
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        name->setText(QStringLiteral("memo.txt"));
        auto* filters = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        filters->setFocus();
        QTest::keyClick(filters, Qt::Key_Down);
        typedAfterSwitch = name->text();
        static_cast<QDialog*>(dialog)->accept();
    });
    QVERIFY(dispatch(Cmd::FileSaveAs));
    QCOMPARE(typedAfterSwitch, QStringLiteral("memo.txt"));
    QCOMPARE(readBytes(docs("memo.txt")), QByteArray("memo"));
    QVERIFY(!QFileInfo::exists(docs("memo.*")));
}

QTEST_MAIN(TestFileCommandsShell)
#include "tst_filecommands_shell.moc"
