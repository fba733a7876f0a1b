#include "core/document/FileCommands.h"
#include "core/res/Strings.h"
#include "core/settings/ProfileStore.h"
#include "core/settings/SettingsKeys.h"
#include "shell/app/CKumorialApp.h"
#include "shell/frame/CMainFrame.h"
#include "shell/framework/QtEditPane.h"
#include "shell/view/CKumorialView.h"
#include "support/DialogAnswers.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// Start-up always succeeds, whatever stands in Kumorial.ini and whatever the command line
// names; exit then leaves a complete settings file or the old one untouched.
class TestStartupRobustness : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void startsWithAnySettingsFile_data();
    void startsWithAnySettingsFile();
    void startsWithAnyDocumentArgument_data();
    void startsWithAnyDocumentArgument();

private:
    QString iniPath() const { return dir->filePath(QStringLiteral("Kumorial.ini")); }
    CKumorialView* view() const { return app->mainFrame()->view(); }
    void start(const QStringList& arguments)
    {
        app = std::make_unique<CKumorialApp>();
        app->InitInstance(arguments, dir->path());
        QVERIFY(QTest::qWaitForWindowExposed(app->mainFrame()));
    }
    void exit()
    {
        view()->modified = 0;
        app->mainFrame()->close();
        app->ExitInstance();
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<CKumorialApp> app;
};

namespace {
QByteArray fixture(const char* name)
{
    return TestSupport::fixture(QStringLiteral("settings/") + QString::fromUtf8(name));
}

long peakMemoryKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
} // namespace

void TestStartupRobustness::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestStartupRobustness::cleanup()
{
    app.reset();
    dir.reset();
}

void TestStartupRobustness::startsWithAnySettingsFile_data()
{
    QTest::addColumn<QByteArray>("content"); // "folder": a folder in its place
    QTest::addColumn<QString>("word0");      // Word00 at start and after exit

    QTest::newRow("no file") << QByteArray() << QStringLiteral("(*^^*)");
    QTest::newRow("a folder in its place") << QByteArray("folder") << QStringLiteral("(*^^*)");
    QTest::newRow("10 MB of binary junk") << TestSupport::randomBytes(10 << 20) << QString();
    QTest::newRow("UTF-16 with BOM") << fixture("utf16le_bom.ini") << QStringLiteral("ユニコード");
    QTest::newRow("code page 932") << fixture("cp932.ini") << QStringLiteral("あいう");
    QTest::newRow("every key and section twice")
        << QByteArray("[UserWord]\nWord00=first\nWord00=second\n[UserWord]\nWord00=third\n"
                      "[Settings]\nLeft=abc\nLeft=-99999999999\nMostTopWindow=7\n")
        << QStringLiteral("first");
}

void TestStartupRobustness::startsWithAnySettingsFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, word0);
    const bool folder = content == "folder";
    if (folder) {
        QVERIFY(QDir().mkpath(iniPath()));
    } else if (!content.isEmpty()) {
        QFile f(iniPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    start({});
    if (!word0.isNull())
        QCOMPARE(view()->formats().words[0], word0);
    QVERIFY(view()->formats().words[0].size() <= ProfileStore::MaxValueLength);
    exit();

    if (folder) {
        QVERIFY(QFileInfo(iniPath()).isDir());
        return;
    }
    // A complete file: the next start reads what this run held.
    ProfileStore after(iniPath());
    const QString words = Keys::section(Str::SectionUserWord), format = Keys::section(Str::SectionFormat);
    if (!word0.isNull())
        QCOMPARE(after.readString(words, Keys::word(0), QString()), word0);
    QCOMPARE(after.readString(words, Keys::word(9), QString()), QStringLiteral("(^^)/~ bye"));
    QCOMPARE(after.readString(format, Keys::user(10, u'e'), QString()), QStringLiteral(")]]"));
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Kumorial.ini")});
}

void TestStartupRobustness::startsWithAnyDocumentArgument_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text"); // the pane's text after start-up
    QTest::addColumn<bool>("opened");  // the named file became the document

    QTest::newRow("sparse 1 GB file: the first 32 KB, up to the first zero byte")
        << "sparse" << QString(100, u'x') << true;
    QTest::newRow("/dev/zero: no regular file, a new document") << "/dev/zero" << QString() << false;
    QTest::newRow("a FIFO with no writer: a new document") << "fifo" << QString() << false;
    QTest::newRow("a folder: a new document") << "folder" << QString() << false;
    QTest::newRow("a name that is not valid UTF-8") << "bad name" << QString() << false;
    QTest::newRow("the first readable of several") << "several" << QStringLiteral("second") << true;
}

void TestStartupRobustness::startsWithAnyDocumentArgument()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(bool, opened);

    QStringList arguments;
    QString opensAs;
    if (kind == u"sparse") {
        opensAs = dir->filePath(QStringLiteral("huge.txt"));
        QFile f(opensAs);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(100, 'x'));
        QVERIFY(f.resize(qint64(1) << 30)); // the rest is a hole of zero bytes
        arguments << opensAs;
    } else if (kind == u"fifo") {
        const QString fifo = dir->filePath(QStringLiteral("fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        arguments << fifo;
    } else if (kind == u"folder") {
        arguments << dir->path();
    } else if (kind == u"bad name") {
        // Bytes that decode to no name: the argument the program receives cannot be opened.
        const QByteArray raw = QFile::encodeName(dir->path()) + "/\xff\xfe.txt";
        const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "kept", 4), 4);
        ::close(fd);
        arguments << QFile::decodeName(raw);
    } else if (kind == u"several") {
        opensAs = dir->filePath(QStringLiteral("second.txt"));
        QFile f(opensAs);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("second");
        arguments << dir->filePath(QStringLiteral("missing.txt")) << dir->path() << opensAs;
    } else {
        arguments << kind;
    }

    QString message;
    if (kind == u"sparse")
        TestSupport::answerNext<QMessageBox>(QMessageBox::Ok, &message);
    const long memoryBefore = peakMemoryKb();
    start(arguments);
    QVERIFY(peakMemoryKb() - memoryBefore < 200 * 1024); // nowhere near the file's gigabyte
    if (kind == u"sparse")
        QCOMPARE(message, resString(Str::LoadTooLarge));
    QCOMPARE(view()->paneWidget()->pane().text(), text);
    QCOMPARE(view()->files().filePath, opened ? opensAs : QString());
    exit();

    if (kind == u"bad name") {
        const int fd = ::open((QFile::encodeName(dir->path()) + "/\xff\xfe.txt").constData(), O_RDONLY);
        QVERIFY(fd >= 0);
        char b[8] = {};
        QCOMPARE(::read(fd, b, sizeof b), 4);
        ::close(fd);
        QCOMPARE(QByteArray(b), QByteArray("kept"));
    }
}

QTEST_MAIN(TestStartupRobustness)
#include "tst_startup_robustness.moc"
