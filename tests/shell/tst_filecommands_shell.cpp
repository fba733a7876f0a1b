#include "app/CKumorialApp.h"
#include "document/FileCommands.h"
#include "frame/CMainFrame.h"
#include "framework/QtEditPane.h"
#include "res/CommandIds.h"
#include "support.h"
#include "view/CKumorialView.h"

#include <QFile>
#include <QFileDialog>
#include <QMimeData>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {
void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Answers the next file dialog with `path`, recording the name it proposed.
void chooseInFileDialog(const QString& path, QString* proposed = nullptr)
{
    TestSupport::whenModal([path, proposed](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        if (!dialog) {
            w->close();
            return;
        }
        if (proposed)
            *proposed = dialog->selectedFiles().value(0);
        // A dialog still reading its folder may ignore the first accept: retry until it
        // closes (the timer goes with the dialog).
        const auto choose = [dialog, path] {
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept();
        };
        auto* retry = new QTimer(dialog);
        QObject::connect(retry, &QTimer::timeout, dialog, choose);
        retry->start(50);
        choose();
    });
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

private:
    void start(const QStringList& arguments);
    CKumorialView* view() { return app->mainFrame()->view(); }
    QtEditPane& pane() { return view()->paneWidget()->pane(); }
    QString inDir(const QString& name) const { return dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<CKumorialApp> app;
};

void TestFileCommandsShell::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestFileCommandsShell::start(const QStringList& arguments)
{
    app = std::make_unique<CKumorialApp>();
    QVERIFY(app->InitInstance(arguments, dir->path()));
    QVERIFY(QTest::qWaitForWindowExposed(app->mainFrame()));
}

void TestFileCommandsShell::cleanup()
{
    if (app && app->mainFrame())
        view()->modified = 0;
    app.reset();
    dir.reset();
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
    start(arguments);
    QCOMPARE(pane().text(), text);
    QCOMPARE(app->mainFrame()->windowTitle(), title);
    QCOMPARE(view()->modified, modified);
    // A freshly opened file counts as changed: closing asks, and Cancel keeps the window.
    if (modified == 1) {
        QString asked;
        TestSupport::answerMessageBox(QMessageBox::Cancel, &asked);
        QVERIFY(!app->mainFrame()->close());
        QCOMPARE(asked, QStringLiteral("日記 - 12-08.txt への変更を保存しますか？"));
        QVERIFY(app->mainFrame()->isVisible());
    }
}

void TestFileCommandsShell::dropOfThreeFilesOpensTheFirst()
{
    start({});
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
    QCOMPARE(app->mainFrame()->windowTitle(), QStringLiteral("one.txt - クモリアル"));
    QCOMPARE(view()->files().filePath, inDir("one.txt"));
    delete data;
}

void TestFileCommandsShell::titleThroughSaveAsAndOpenWithHyphens()
{
    start({});
    pane().setText(QStringLiteral("本文"));
    QString proposed;
    chooseInFileDialog(inDir("my-blog - 2"), &proposed);
    QVERIFY(app->mainFrame()->router().dispatchIfEnabled(Cmd::FileSaveAs));
    QVERIFY(QFileInfo(proposed).fileName().startsWith(QStringLiteral("ブログ_")));
    QVERIFY(QRegularExpression(QStringLiteral("^ブログ_\\d{12}\\.txt$"))
                .match(QFileInfo(proposed).fileName())
                .hasMatch());
    // The dialog's default extension completes the name.
    QCOMPARE(app->mainFrame()->windowTitle(), QStringLiteral("my-blog - 2.txt - クモリアル"));
    QCOMPARE(readBytes(inDir("my-blog - 2.txt")), QByteArray("\x96\x7b\x95\xb6"));
    QCOMPARE(view()->modified, 0);

    writeBytes(inDir("-a-b-.txt"), "x");
    chooseInFileDialog(inDir("-a-b-.txt"));
    QVERIFY(app->mainFrame()->router().dispatchIfEnabled(Cmd::FileOpen));
    QCOMPARE(app->mainFrame()->windowTitle(), QStringLiteral("-a-b-.txt - クモリアル"));
    QCOMPARE(pane().text(), QStringLiteral("x"));

    TestSupport::answerMessageBox(QMessageBox::No);
    QVERIFY(app->mainFrame()->router().dispatchIfEnabled(Cmd::FileNew));
    QCOMPARE(app->mainFrame()->windowTitle(), QStringLiteral("無題 - クモリアル"));
    QCOMPARE(pane().text(), QString());
}

void TestFileCommandsShell::openAsksBeforeCreatingAName()
{
    start({});
    pane().setText(QStringLiteral("kept"));
    chooseInFileDialog(inDir("new-file.txt"));
    QString createQuestion, loadMessage;
    TestSupport::whenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        createQuestion = box->text();
        box->button(QMessageBox::Yes)->click();
        TestSupport::answerMessageBox(QMessageBox::Ok, &loadMessage);
    });
    QVERIFY(app->mainFrame()->router().dispatchIfEnabled(Cmd::FileOpen));
    QVERIFY(createQuestion.startsWith(QStringLiteral("new-file.txt\n")));
    QCOMPARE(loadMessage, QStringLiteral("ファイルの読み込みができません"));
    QCOMPARE(pane().text(), QStringLiteral("kept"));
    QCOMPARE(app->mainFrame()->windowTitle(), QStringLiteral("new-file.txt - クモリアル"));
}

QTEST_MAIN(TestFileCommandsShell)
#include "tst_filecommands_shell.moc"
