#include "core/base/CodePage.h"
#include "core/document/FileCommands.h"
#include "core/document/Recovery.h"
#include "support/MemoryPane.h"
#include "support/StandInPrompts.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using Answer = Prompts::Answer;
using Status = RecoveryCopy::Status;

enum class Command { None, Save, New, Open, Drop };
Q_DECLARE_METATYPE(Answer)
Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(RecoveryCopy)

namespace {
QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

RecoveryCopy sampleCopy(const QString& name = QStringLiteral("/home/me/日記.txt"))
{
    RecoveryCopy copy;
    copy.text = QStringLiteral("今日の記事\r\nsecond line");
    copy.name = name;
    copy.time = QDateTime(QDate(2026, 12, 8), QTime(9, 5, 42));
    return copy;
}

constexpr RecoverySchedule::Timing timing{3000, 30000, 10000};
constexpr int WriterDeadlineMs = 10000;
} // namespace

// One document on an in-memory pane with its recovery copy in `folder`, on a clock the
// test moves by hand.
struct Session {
    explicit Session(const QString& folder)
        : store(folder), files(pane, prompts, modified, folder),
          recovery(store, files, pane, {[this] { return now; }, [this] { return prompts.now; }}, timing)
    {
        store.open();
        pane.setChangeHandler([this] {
            modified = 1;
            recovery.changed();
        });
        files.changesSettled = [this] { recovery.settled(); };
        files.titleSuffix = QStringLiteral("- クモリアル");
    }
    void type(const QString& text)
    {
        pane.setSelection(pane.length(), pane.length());
        pane.replaceSelection(text);
    }
    // Moves the clock on and lets a copy that fell due reach the disk.
    void wait(qint64 ms)
    {
        now += ms;
        recovery.tick();
        if (!recovery.waitForWriter(WriterDeadlineMs))
            qFatal("the recovery writer did not finish within %d ms", WriterDeadlineMs);
    }
    bool hasCopy() const { return QFileInfo::exists(store.copyPath()); }
    std::optional<RecoveryCopy> copyOnDisk() const
    {
        return RecoveryCopy::decode(readBytes(store.copyPath())).copy;
    }

    qint64 now = 1000;
    MemoryPane pane;
    ScriptedPrompts prompts;
    int modified = 0;
    RecoveryStore store;
    FileCommands files;
    DocumentRecovery recovery;
};

class TestRecovery : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void copyRoundTrip_data();
    void copyRoundTrip();
    void damagedCopy_data();
    void damagedCopy();
    void schedule_data();
    void schedule();
    void fileCommands_data();
    void fileCommands();
    void copyFollowsTheTextAndName();
    void encodingTravelsWithTheCopy();
    void leftCopyAnswers_data();
    void leftCopyAnswers();
    void badCopyIsSetAside_data();
    void badCopyIsSetAside();
    void runningCopyIsNeverTaken();
    void restoreGivesBackAModifiedDocument_data();
    void restoreGivesBackAModifiedDocument();
    void failedWritesAreRetriedSilently();
    void unwritableFolderLeavesEditingAlone();
    void newerCopyReplacesAWaitingOne();
    void removalIsNeverOvertakenByAWrite();
    void settlingDuringAWriteLeavesNoCopy();
    void exitIsNotHeldByAStuckWrite();

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString inDir(const QString& name) const { return dir->filePath(name); }
};

void TestRecovery::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    writeBytes(inDir("a.txt"), "file a");
}

void TestRecovery::copyRoundTrip_data()
{
    QTest::addColumn<RecoveryCopy>("copy");
    QTest::newRow("named, Japanese") << sampleCopy();
    QTest::newRow("untitled, empty") << sampleCopy(QString());
    RecoveryCopy odd = sampleCopy(QStringLiteral("/tmp/a\nname=b%20\n\nc.txt"));
    odd.text = QStringLiteral("lone\rCR, \n LF, NUL \0 and 😀").replace(u'\0', QChar(0));
    QTest::newRow("line breaks and escapes in name and text") << odd;
    RecoveryCopy full = sampleCopy();
    full.text = QString(EditPane::TextLimit, u'字');
    QTest::newRow("a full pane") << full;
    RecoveryCopy other = sampleCopy();
    other.encoding = QStringLiteral("UTF-8 BOM");
    other.time = {};
    QTest::newRow("another encoding, no time") << other;
}

void TestRecovery::copyRoundTrip()
{
    QFETCH(RecoveryCopy, copy);
    const ParsedRecoveryCopy parsed = RecoveryCopy::decode(copy.encode());
    QCOMPARE(int(parsed.status), int(Status::Read));
    QVERIFY(parsed.copy);
    QCOMPARE(parsed.copy->text, copy.text);
    QCOMPARE(parsed.copy->name, copy.name);
    QCOMPARE(parsed.copy->encoding, copy.encoding);
    QCOMPARE(parsed.copy->time, copy.time);
}

void TestRecovery::damagedCopy_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("status");

    const QByteArray good = sampleCopy().encode();
    const qsizetype headerEnd = good.indexOf("\n\n");
    QTest::newRow("empty file") << QByteArray() << int(Status::Truncated);
    QTest::newRow("cut in the first line") << good.left(10) << int(Status::Truncated);
    QTest::newRow("cut in the header") << good.left(headerEnd - 3) << int(Status::Truncated);
    QTest::newRow("cut after the header") << good.left(headerEnd + 2) << int(Status::Truncated);
    QTest::newRow("last byte missing") << good.chopped(1) << int(Status::Truncated);
    QTest::newRow("a byte more") << good + 'x' << int(Status::Junk);
    QByteArray flipped = good;
    flipped[flipped.size() - 3] = char(flipped[flipped.size() - 3] ^ 0x01);
    QTest::newRow("one body bit flipped") << flipped << int(Status::Junk);
    QTest::newRow("zeros") << QByteArray(4096, '\0') << int(Status::Junk);
    QTest::newRow("a document, not a copy") << QByteArray("Hello\r\nblog\r\n") << int(Status::Junk);
    QByteArray newer = good;
    newer.replace("recovery 1\n", "recovery 2\n");
    QTest::newRow("newer format") << newer << int(Status::NewerFormat);
    QByteArray noVersion = good;
    noVersion.replace("recovery 1\n", "recovery x\n");
    QTest::newRow("no version") << noVersion << int(Status::Junk);
    QByteArray longer = good;
    longer.replace("length=", "length=1");
    QTest::newRow("length larger than the body") << longer << int(Status::Truncated);
    QByteArray noHash = good;
    noHash.replace("sha256=", "sha1=");
    QTest::newRow("no checksum") << noHash << int(Status::Junk);
    QByteArray badLine = good;
    badLine.replace("encoding=", "encoding");
    QTest::newRow("header line without =") << badLine << int(Status::Junk);
}

void TestRecovery::damagedCopy()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, status);
    const ParsedRecoveryCopy parsed = RecoveryCopy::decode(bytes);
    QCOMPARE(int(parsed.status), status);
    QVERIFY(!parsed.copy);
}

void TestRecovery::schedule_data()
{
    // Steps: "c T" a change at T ms, "s" a copy submitted, "w" written, "f T" failed at T,
    // "d T" / "n T" due or not due at T.
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("nothing changed") << QStringList{"n 0", "n 100000"};
    QTest::newRow("due a pause after the last change")
        << QStringList{"c 0", "c 1000", "n 3999", "d 4000", "d 9000"};
    QTest::newRow("written: not due until the next change")
        << QStringList{"c 0", "d 3000", "s", "n 3000", "w", "n 60000", "c 61000", "n 63999", "d 64000"};
    QTest::newRow("a change while the copy is written is due after it")
        << QStringList{"c 0", "s", "c 3500", "n 6500", "w", "n 6499", "d 6500"};
    QTest::newRow("written meanwhile: no second copy in flight")
        << QStringList{"c 0", "s", "c 1000", "n 40000", "w", "d 40000"};
    QStringList typing;
    for (int t = 0; t < 30000; t += 1000)
        typing << QStringLiteral("c %1").arg(t) << QStringLiteral("n %1").arg(t + 999);
    typing << "c 30000"
           << "d 30000";
    QTest::newRow("typing without pause: due after the interval") << typing;
    QTest::newRow("failed: retried after the retry delay")
        << QStringList{"c 0", "d 3000", "s", "f 3000", "n 3000", "c 5000", "n 12999", "d 13000"};
    QTest::newRow("failed with no change since: still due")
        << QStringList{"c 0", "s", "f 3000", "n 12999", "d 13000", "s", "w", "n 100000"};
    QStringList lost{"c 0", "s", "c 2000", "f 2000"};
    for (int t = 13000; t < 30000; t += 2000)
        lost << QStringLiteral("c %1").arg(t);
    lost << "n 29999"
         << "d 30000";
    QTest::newRow("failed: the interval counts from the first change lost") << lost;
    QTest::newRow("cleared while in flight")
        << QStringList{"c 0", "s", "x", "n 100000", "c 100000", "d 103000"};
}

void TestRecovery::schedule()
{
    QFETCH(QStringList, steps);
    RecoverySchedule s(timing);
    for (const QString& step : steps) {
        const qint64 t = step.mid(2).toLongLong();
        switch (step.at(0).unicode()) {
        case 'c':
            s.changed(t);
            break;
        case 's':
            s.submitted();
            break;
        case 'w':
            s.written();
            break;
        case 'x':
            s.clear();
            break;
        case 'f':
            s.failed(t);
            break;
        case 'd':
        case 'n':
            QVERIFY2(s.isDue(t) == (step.at(0) == u'd'), qPrintable(step));
            break;
        default:
            QFAIL(qPrintable(step));
        }
    }
}

void TestRecovery::fileCommands_data()
{
    QTest::addColumn<bool>("named");
    QTest::addColumn<Command>("command");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<bool>("chooseFile");
    QTest::addColumn<bool>("copyKept");

    const QList<Answer> none;
    QTest::newRow("no command") << true << Command::None << none << false << true;
    QTest::newRow("Save") << true << Command::Save << none << false << false;
    QTest::newRow("Save untitled, Save As cancelled") << false << Command::Save << none << false << true;
    QTest::newRow("Save untitled, Save As to a name") << false << Command::Save << none << true << false;
    QTest::newRow("New, No") << true << Command::New << QList{Answer::No} << false << false;
    QTest::newRow("New, Yes and saved") << true << Command::New << QList{Answer::Yes} << false << false;
    QTest::newRow("New, Cancel") << true << Command::New << QList{Answer::Cancel} << false << true;
    QTest::newRow("New untitled, Yes, Save As cancelled")
        << false << Command::New << QList{Answer::Yes} << false << true;
    QTest::newRow("Open, No, a file") << true << Command::Open << QList{Answer::No} << true << false;
    // The text is still in the pane: its copy stays.
    QTest::newRow("Open, No, dialog cancelled")
        << true << Command::Open << QList{Answer::No} << false << true;
    QTest::newRow("Open, Cancel") << true << Command::Open << QList{Answer::Cancel} << true << true;
    QTest::newRow("Drop, No") << true << Command::Drop << QList{Answer::No} << false << false;
    QTest::newRow("Drop, Cancel") << true << Command::Drop << QList{Answer::Cancel} << false << true;
}

void TestRecovery::fileCommands()
{
    QFETCH(bool, named);
    QFETCH(Command, command);
    QFETCH(QList<Answer>, answers);
    QFETCH(bool, chooseFile);
    QFETCH(bool, copyKept);

    writeBytes(inDir("b.txt"), "file b");
    Session s(dir->path());
    QVERIFY(s.store.isOpen());
    if (named) {
        s.files.filePath = inDir("doc.txt");
        s.files.fileTitle = QStringLiteral("doc.txt");
    }
    s.type(QStringLiteral("書きかけ"));
    s.wait(2999);
    QVERIFY2(!s.hasCopy(), "written before the typing paused");
    s.wait(1);
    QVERIFY2(s.hasCopy(), "not written once the typing paused");

    s.prompts.answers = answers;
    if (chooseFile) {
        s.prompts.openAnswers = {inDir("b.txt")};
        s.prompts.saveAnswers = {inDir("saved.txt")};
    }
    switch (command) {
    case Command::None:
        break;
    case Command::Save:
        s.files.SaveDocument();
        break;
    case Command::New:
        s.files.NewDocument();
        break;
    case Command::Open:
        s.files.OpenDocument();
        break;
    case Command::Drop:
        s.files.OpenDroppedFile({inDir("b.txt")});
        break;
    }
    QCOMPARE(s.hasCopy(), copyKept);
    if (copyKept)
        QCOMPARE(s.copyOnDisk()->text, QStringLiteral("書きかけ"));
    // A copy that went comes back only with the next edit.
    s.wait(60000);
    QCOMPARE(s.hasCopy(), copyKept);
    s.type(QStringLiteral("。"));
    s.wait(3000);
    QVERIFY(s.hasCopy());
    QCOMPARE(s.copyOnDisk()->text, s.pane.text());
}

void TestRecovery::copyFollowsTheTextAndName()
{
    Session s(dir->path());
    s.type(QStringLiteral("一"));
    s.wait(3000);
    QCOMPARE(s.copyOnDisk()->name, QString());
    QCOMPARE(s.copyOnDisk()->encoding, QStringLiteral("Shift_JIS;CRLF"));
    QCOMPARE(s.copyOnDisk()->time, s.prompts.now);

    // Typing on without a pause still gets a fresh copy every 30 s.
    for (int second = 1; second < 30; ++second) {
        s.type(QString::number(second % 10));
        s.wait(1000);
        QCOMPARE(s.copyOnDisk()->text, QStringLiteral("一"));
    }
    s.type(QStringLiteral("終"));
    s.wait(1000);
    QCOMPARE(s.copyOnDisk()->text, s.pane.text());

    s.prompts.openAnswers = {inDir("a.txt")};
    s.prompts.answers = {Answer::No};
    s.files.OpenDocument();
    s.type(QStringLiteral("追記"));
    s.wait(3000);
    QCOMPARE(s.copyOnDisk()->name, inDir("a.txt"));
    QCOMPARE(s.copyOnDisk()->text, QStringLiteral("file a追記"));
}

void TestRecovery::leftCopyAnswers_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shownName");
    QTest::newRow("Yes, named") << Answer::Yes << "/home/me/日記.txt"
                                << "日記.txt";
    QTest::newRow("Yes, untitled") << Answer::Yes << ""
                                   << "無題";
    QTest::newRow("No") << Answer::No << "/home/me/日記.txt"
                        << "日記.txt";
    // A box closed without an answer keeps the copy aside as No does.
    QTest::newRow("closed") << Answer::Cancel << ""
                            << "無題";
}

void TestRecovery::leftCopyAnswers()
{
    QFETCH(Answer, answer);
    QFETCH(QString, name);
    QFETCH(QString, shownName);

    const RecoveryCopy left = sampleCopy(name);
    writeBytes(inDir("Kumorial.recovery.bak"), "an earlier backup");
    {
        RecoveryStore crashed(dir->path());
        QVERIFY(crashed.open());
        QVERIFY(crashed.write(left));
    }
    const QByteArray bytes = readBytes(inDir("Kumorial.recovery"));

    RecoveryStore store(dir->path());
    QVERIFY(store.open());
    ScriptedPrompts prompts;
    prompts.answers = {answer};
    const std::optional<RecoveryCopy> taken = store.takeLeftCopy(prompts);
    QCOMPARE(prompts.shown.size(), 1);
    QCOMPARE(prompts.shown[0], resString(Str::RecoveryQuestion).arg(shownName, "2026/12/08 09:05"));

    if (answer == Answer::Yes) {
        QVERIFY(taken);
        QCOMPARE(*taken, left);
        QCOMPARE(readBytes(store.copyPath()), bytes);
        QCOMPARE(readBytes(store.backupPath()), QByteArray("an earlier backup"));
    } else {
        QVERIFY(!taken);
        QVERIFY(!QFileInfo::exists(store.copyPath()));
        QCOMPARE(readBytes(store.backupPath()), bytes);
        // The next start asks nothing.
        QVERIFY(!store.takeLeftCopy(prompts));
        QCOMPARE(prompts.shown.size(), 1);
    }
}

void TestRecovery::badCopyIsSetAside_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = sampleCopy().encode();
    QTest::newRow("truncated") << good.left(good.size() / 2);
    QTest::newRow("junk") << QByteArray("\x89PNG\r\n\x1a\n junk");
    QTest::newRow("empty") << QByteArray();
    QByteArray newer = good;
    newer.replace("recovery 1\n", "recovery 7\n");
    QTest::newRow("newer format") << newer;
    QTest::newRow("too large") << QByteArray(RecoveryStore::MaxFileSize + 1, 'x');
    QTest::newRow("a folder") << QByteArray("<folder>");
    QTest::newRow("a FIFO") << QByteArray("<fifo>");
}

void TestRecovery::badCopyIsSetAside()
{
    QFETCH(QByteArray, bytes);
    const QString path = inDir("Kumorial.recovery");
    if (bytes == "<folder>")
        QVERIFY(QDir(dir->path()).mkdir("Kumorial.recovery"));
    else if (bytes == "<fifo>")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else
        writeBytes(path, bytes);
    writeBytes(inDir("Kumorial.recovery.bad"), "an earlier bad file");

    RecoveryStore store(dir->path());
    QVERIFY(store.open());
    ScriptedPrompts prompts;
    prompts.answers = {Answer::Ok};
    QVERIFY(!store.takeLeftCopy(prompts));
    QCOMPARE(prompts.shown,
             QStringList{resString(Str::RecoverySetAside).arg(QDir::toNativeSeparators(store.badPath()))});
    QVERIFY(!QFileInfo::exists(path));
    if (!bytes.startsWith('<'))
        QCOMPARE(readBytes(store.badPath()), bytes);

    // Set aside once: the next start asks nothing and copies go to the usual place.
    QVERIFY(!store.takeLeftCopy(prompts));
    QCOMPARE(prompts.shown.size(), 1);
    QVERIFY(store.write(sampleCopy()));
    QCOMPARE(RecoveryCopy::decode(readBytes(path)).copy, std::optional(sampleCopy()));
}

void TestRecovery::runningCopyIsNeverTaken()
{
    RecoveryStore first(dir->path());
    QVERIFY(first.open());
    QVERIFY(first.write(sampleCopy()));

    RecoveryStore second(dir->path());
    QVERIFY(second.open());
    QVERIFY(second.copyPath() != first.copyPath());
    ScriptedPrompts prompts;
    QVERIFY(!second.takeLeftCopy(prompts));
    QVERIFY(prompts.shown.isEmpty());
    QVERIFY(second.write(sampleCopy(QString())));
    second.remove();
    QCOMPARE(RecoveryCopy::decode(readBytes(first.copyPath())).copy, std::optional(sampleCopy()));

    // Every slot taken: the last copy of the program keeps no copies at all.
    std::vector<std::unique_ptr<RecoveryStore>> others;
    for (int i = 2; i < RecoveryStore::SlotCount; ++i) {
        others.push_back(std::make_unique<RecoveryStore>(dir->path()));
        QVERIFY(others.back()->open());
    }
    RecoveryStore last(dir->path());
    QVERIFY(!last.open());
    QVERIFY(!last.write(sampleCopy()));
    QVERIFY(!last.takeLeftCopy(prompts));
    last.remove();
    QVERIFY(QFileInfo::exists(first.copyPath()));
}

void TestRecovery::encodingTravelsWithTheCopy()
{
    const QString utf8 = QStringLiteral("UTF-8;BOM;LF");
    {
        Session s(dir->path());
        s.files.encoding = *DocumentEncoding::fromString(utf8);
        s.type(QStringLiteral("♥"));
        s.wait(3000);
        QCOMPARE(s.copyOnDisk()->encoding, utf8);
    }
    Session s(dir->path());
    RecoveryCopy copy = sampleCopy();
    copy.encoding = utf8;
    s.recovery.restore(copy);
    QCOMPARE(s.files.encoding.toString(), utf8);
    // An encoding this program does not know leaves the document's as it was.
    copy.encoding = QStringLiteral("KOI8-R");
    s.recovery.restore(copy);
    QCOMPARE(s.files.encoding.toString(), utf8);
}

void TestRecovery::restoreGivesBackAModifiedDocument_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::newRow("untitled") << ""
                              << "無題 - クモリアル";
    QTest::newRow("named") << "/home/me/日記.txt"
                           << "日記.txt - クモリアル";
}

void TestRecovery::restoreGivesBackAModifiedDocument()
{
    QFETCH(QString, name);
    QFETCH(QString, title);
    Session s(dir->path());
    s.pane.setText(QStringLiteral("the template"));
    s.recovery.restore(sampleCopy(name));
    QCOMPARE(s.pane.text(), sampleCopy().text);
    QCOMPARE(s.files.filePath, name);
    QCOMPARE(s.prompts.title, title);
    QCOMPARE(s.modified, 1);
    // No answer scripted: the question is Cancel, the text stays.
    QVERIFY(!s.files.QuerySaveChanges());
    QCOMPARE(s.prompts.shown.size(), 1);
}

void TestRecovery::failedWritesAreRetriedSilently()
{
    if (!QFileInfo::exists("/dev/full"))
        QSKIP("no /dev/full here");
    Session s(dir->path());
    // Every write to the copy fails as on a full disk.
    QVERIFY(QFile::link("/dev/full", s.store.copyPath()));
    s.files.filePath = inDir("a.txt");
    s.type(QStringLiteral("大事な文"));
    s.wait(3000);
    s.type(QStringLiteral("。"));
    s.wait(3000);
    QVERIFY(s.recovery.isPending());
    QVERIFY2(s.prompts.shown.isEmpty(), "a failed copy interrupted the typing");

    QVERIFY(QFile::remove(s.store.copyPath()));
    s.wait(3000);
    QVERIFY2(!s.hasCopy(), "retried before the retry delay");
    s.wait(7000);
    QVERIFY2(s.hasCopy(), "not retried");
    QCOMPARE(s.copyOnDisk()->text, QStringLiteral("大事な文。"));

    // The save is not touched by the copy's trouble.
    QVERIFY(s.files.SaveDocument());
    QCOMPARE(readBytes(inDir("a.txt")), CodePage::fromUnicode(QStringLiteral("大事な文。")));
    QVERIFY(!s.hasCopy());
}

void TestRecovery::unwritableFolderLeavesEditingAlone()
{
    // A settings "folder" that is a file: nothing can ever be created in it, not even by
    // the superuser.
    writeBytes(inDir("settings"), "not a folder");
    Session s(inDir("settings"));
    QVERIFY(!s.store.isOpen());
    s.files.filePath = inDir("a.txt");
    s.type(QStringLiteral("本文"));
    s.wait(3000);
    s.wait(60000);
    QVERIFY(s.prompts.shown.isEmpty());
    QCOMPARE(s.pane.text(), QStringLiteral("本文"));
    QVERIFY(s.files.SaveDocument());
    QCOMPARE(readBytes(inDir("a.txt")), CodePage::fromUnicode(QStringLiteral("本文")));
    QCOMPARE(s.modified, 0);
}

namespace {
RecoveryCopy fullPaneCopy(const QString& mark)
{
    RecoveryCopy copy = sampleCopy();
    copy.text = QString(EditPane::TextLimit - mark.size(), u'あ') + mark;
    // As the program hands it over: with its offset fixed.
    copy.time = copy.time.toOffsetFromUtc(copy.time.offsetFromUtc());
    return copy;
}
} // namespace

namespace {
// Reads a FIFO until `size` bytes came or the deadline passed.
QByteArray drain(int fd, qsizetype size)
{
    QByteArray drained;
    QDeadlineTimer deadline(WriterDeadlineMs);
    char buffer[65536];
    while (drained.size() < size && !deadline.hasExpired()) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0)
            drained.append(buffer, got);
        else
            QThread::msleep(1);
    }
    return drained;
}

// A FIFO in place of the copy, open for reading: a write to it stays stuck until drained.
int stuckPath(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (::mkfifo(name.constData(), 0600) != 0)
        return -1;
    return ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}
} // namespace

void TestRecovery::newerCopyReplacesAWaitingOne()
{
    const QString path = inDir("Kumorial.recovery");
    const int reader = stuckPath(path);
    QVERIFY(reader >= 0);
    std::vector<RecoveryCopy> copies;
    for (int i = 0; i < 4; ++i)
        copies.push_back(fullPaneCopy(QString::number(i)));
    RecoveryWriter writer(path);
    const quint64 first = writer.write(copies[0]);
    // The first is stuck in the FIFO; the others wait behind it, each replacing the last.
    QVERIFY(!writer.waitIdle(100));
    quint64 last = 0;
    for (int i = 1; i < 4; ++i)
        last = writer.write(copies[i]);

    const QByteArray expected = copies[0].encode() + copies[3].encode();
    const QByteArray drained = drain(reader, expected.size());
    ::close(reader);
    QVERIFY2(drained == expected, "not the first copy, then the last");
    QVERIFY2(writer.waitIdle(WriterDeadlineMs), "the writer did not finish");
    const std::vector<RecoveryWriter::Result> results = writer.takeResults();
    QCOMPARE(results.size(), size_t(2));
    QCOMPARE(results[0].ticket, first);
    QCOMPARE(results[1].ticket, last);
    QVERIFY(results[0].written && results[1].written);
    QVERIFY(writer.takeResults().empty());
}

void TestRecovery::removalIsNeverOvertakenByAWrite()
{
    const QString path = inDir("Kumorial.recovery");
    RecoveryWriter writer(path);
    // The removal is given while the write runs or still waits, at every point of it.
    for (int round = 0; round < 20; ++round) {
        writer.write(fullPaneCopy(QString::number(round)));
        if (round % 2)
            QThread::usleep(round * 500);
        QVERIFY2(writer.remove(WriterDeadlineMs), "the removal did not finish");
        // Whatever was still running has ended too.
        QVERIFY(writer.waitIdle(WriterDeadlineMs));
        QVERIFY2(!QFileInfo::exists(path), qPrintable(QStringLiteral("a copy outlived round %1").arg(round)));
    }
    // A write given after the removal is not lost.
    writer.write(sampleCopy());
    QVERIFY(writer.waitIdle(WriterDeadlineMs));
    QCOMPARE(RecoveryCopy::decode(readBytes(path)).copy, std::optional(sampleCopy()));
}

void TestRecovery::settlingDuringAWriteLeavesNoCopy()
{
    Session s(dir->path());
    s.files.filePath = inDir("a.txt");
    s.type(QString(16000, u'字'));
    s.now += 3000;
    s.recovery.tick();
    // Saved while the copy is still on its way to the disk.
    QVERIFY(s.files.SaveDocument());
    QVERIFY(!s.hasCopy());
    QVERIFY(s.recovery.waitForWriter(WriterDeadlineMs));
    QVERIFY2(!s.hasCopy(), "a copy came back after the save");
    QVERIFY2(!s.recovery.isPending(), "the result of a write from before the save counted");
    s.wait(60000);
    QVERIFY(!s.hasCopy());
}

void TestRecovery::exitIsNotHeldByAStuckWrite()
{
    // A FIFO whose reader never reads stands for a disk that stopped answering.
    const int reader = stuckPath(inDir("stuck"));
    QVERIFY(reader >= 0);
    auto writer = std::make_unique<RecoveryWriter>(inDir("stuck"));
    const RecoveryCopy copy = fullPaneCopy("x");
    writer->write(copy);
    QVERIFY(!writer->waitIdle(100));

    std::atomic<bool> gone = false;
    std::thread exiting([&] {
        writer.reset();
        gone = true;
    });
    if (!QTest::qWaitFor([&] { return gone.load(); }, RecoveryWriter::ExitWaitMs + WriterDeadlineMs)) {
        exiting.detach();
        QFAIL("the exit waited on the stuck write beyond its bound");
    }
    exiting.join();

    // Unstuck, the write left behind still ends whole.
    const QByteArray expected = copy.encode();
    const QByteArray drained = drain(reader, expected.size());
    ::close(reader);
    QVERIFY2(drained == expected, "the write left behind did not end whole");
}

QTEST_GUILESS_MAIN(TestRecovery)
#include "tst_recovery.moc"
