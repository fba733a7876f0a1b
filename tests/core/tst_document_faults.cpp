#include "core/document/TextCodec.h"
#include "support/Files.h"
#include "support/MemoryPane.h"
#include "support/StandInPrompts.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

// Documents under faults the codec's own tests do not reach: a save killed at any moment,
// and loads of endless or enormous inputs.
class TestDocumentFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void killedSaveLeavesOldOrNewFile();
    void loadReadsNoMoreThanTheLimit_data();
    void loadReadsNoMoreThanTheLimit();

private:
    std::unique_ptr<QTemporaryDir> dir;
};

using TestSupport::readBytes;

namespace {
// Bytes this process has read through read() and its relatives so far.
qint64 bytesReadSoFar()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    return -1;
}
} // namespace

void TestDocumentFaults::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestDocumentFaults::killedSaveLeavesOldOrNewFile()
{
    // Two complete versions of a full-size document; a child saves them in turn until it is
    // killed at a random moment. Whenever that happens, the file is one version or the other.
    const QString path = dir->filePath(QStringLiteral("entry.txt"));
    const QString first = QStringLiteral("一行目\r\n").repeated(3000);
    const QString second = QStringLiteral("second line\r\n").repeated(2500);
    QByteArray firstBytes, secondBytes;
    {
        TextCodec codec;
        ScriptedPrompts prompts;
        int modified = 1;
        MemoryPane pane(second);
        QCOMPARE(codec.SaveTextFile(pane, prompts, path, modified), TextCodec::SaveResult::Saved);
        secondBytes = readBytes(path);
        pane.setText(first);
        QCOMPARE(codec.SaveTextFile(pane, prompts, path, modified), TextCodec::SaveResult::Saved);
        firstBytes = readBytes(path);
        QVERIFY(firstBytes != secondBytes);
    }

    QRandomGenerator rng(11);
    for (int round = 0; round < 25; ++round) {
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            TextCodec codec;
            ScriptedPrompts prompts;
            MemoryPane panes[] = {MemoryPane(first), MemoryPane(second)};
            int modified = 1;
            for (unsigned i = 0;; ++i)
                codec.SaveTextFile(panes[i % 2], prompts, path, modified);
        }
        ::usleep(1000 + rng.bounded(20000));
        ::kill(child, SIGKILL);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        const QByteArray now = readBytes(path);
        QVERIFY2(
            now == firstBytes || now == secondBytes,
            qPrintable(QStringLiteral("round %1: %2 bytes of neither version").arg(round).arg(now.size())));
    }

    // Temporary files left by the killed saves neither block the next save nor show up
    // as the document.
    TextCodec codec;
    ScriptedPrompts prompts;
    int modified = 1;
    MemoryPane pane(QStringLiteral("last"));
    QCOMPARE(codec.SaveTextFile(pane, prompts, path, modified), TextCodec::SaveResult::Saved);
    QCOMPARE(readBytes(path), QByteArray("last"));
    QVERIFY(prompts.shown.isEmpty());
}

void TestDocumentFaults::loadReadsNoMoreThanTheLimit_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::newRow("sparse 1 GB file with text up front") << "sparse" << QString(TextCodec::SizeLimit, u'a');
    QTest::newRow("endless line breaks: 32 KB, the last break whole")
        << "breaks" << QStringLiteral("\r\n").repeated(TextCodec::SizeLimit / 2);
}

void TestDocumentFaults::loadReadsNoMoreThanTheLimit()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    const QString path = dir->filePath(QStringLiteral("big.txt"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        if (kind == u"sparse") {
            f.write(QByteArray(40'000, 'a'));
            QVERIFY(f.resize(qint64(1) << 30));
        } else {
            f.write(QByteArray(8 << 20, '\n')); // each LF becomes CR LF in the pane
        }
    }

    TextCodec codec;
    MemoryPane pane;
    ScriptedPrompts prompts;
    prompts.answers = {Prompts::Answer::Ok};
    int modified = 0;
    const qint64 before = bytesReadSoFar();
    QVERIFY(codec.LoadTextFile(pane, prompts, path, modified));
    const qint64 read = bytesReadSoFar() - before;
    QCOMPARE(pane.text(), text);
    QCOMPARE(prompts.shown, QStringList{resString(Str::LoadTooLarge)});
    if (before >= 0)
        QVERIFY2(read < 256 * 1024, qPrintable(QStringLiteral("%1 bytes read").arg(read)));
}

QTEST_GUILESS_MAIN(TestDocumentFaults)
#include "tst_document_faults.moc"
