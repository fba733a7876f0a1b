#include "core/document/TextCodec.h"
#include "core/view/SymbolTable.h"
#include "support/Files.h"
#include "support/MemoryPane.h"
#include "support/StandInPrompts.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

using Answer = Prompts::Answer;
Q_DECLARE_METATYPE(Answer)

using TestSupport::readBytes;
using TestSupport::writeBytes;

namespace {
constexpr qsizetype Limit = TextCodec::SizeLimit;

QString fixture(const QString& name)
{
    return TestSupport::fixturePath(QStringLiteral("codec/") + name);
}

QString symbolsText()
{
    QString text;
    for (int row = 0; row < SymbolTable::Rows; ++row) {
        if (row > 0)
            text += QStringLiteral("\r\n");
        for (int column = 0; column < SymbolTable::Columns; ++column)
            text += QChar(SymbolTable::cells()[row * SymbolTable::Columns + column]);
    }
    return text;
}
} // namespace

class TestTextCodec : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void loadAndSaveGoldenFixtures_data();
    void loadAndSaveGoldenFixtures();
    void saveFromPane_data();
    void saveFromPane();
    void loadFailuresChangeNothing_data();
    void loadFailuresChangeNothing();
    void saveFailuresKeepTheOldFile_data();
    void saveFailuresKeepTheOldFile();
    void saveFollowsSymbolicLinksAndKeepsPermissions();
    void fileCanBeRead_data();
    void fileCanBeRead();
    void cutInMemoryKeepsWholeCharacters_data();
    void cutInMemoryKeepsWholeCharacters();

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString inDir(const QString& name) const { return dir->filePath(name); }
};

void TestTextCodec::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestTextCodec::loadAndSaveGoldenFixtures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("paneText");
    QTest::addColumn<QList<int>>("loadMessages");
    QTest::addColumn<QList<int>>("saveMessages");

    // 1820 lines of 18 bytes and eight more make the limit exactly.
    const QString exact = QStringLiteral("日本語のテキスト\r\n").repeated(1820) + QStringLiteral("abcdefgh");

    QTest::newRow("bare LF: CR LF in the pane and on disk")
        << "bare_lf" << QStringLiteral("one\r\ntwo\r\n\r\nthree") << QList<int>{} << QList<int>{};
    QTest::newRow("lone CR shown, then dropped by the save")
        << "lone_cr" << QStringLiteral("a\rb\r\nc\r") << QList<int>{} << QList<int>{};
    QTest::newRow("0x1A ends the data")
        << "ctrl_z" << QStringLiteral("ab\r\ncd") << QList<int>{} << QList<int>{};
    QTest::newRow("zero byte ends the text")
        << "zero_byte" << QStringLiteral("ab") << QList<int>{} << QList<int>{};
    QTest::newRow("CR LF Japanese round trip")
        << "japanese_crlf" << QStringLiteral("件名：テスト\r\n本文①～②\r\n半角ｶﾅ") << QList<int>{}
        << QList<int>{};
    QTest::newRow("the 200 symbols") << "symbols" << symbolsText() << QList<int>{} << QList<int>{};
    QTest::newRow("exactly 32768 bytes: 106 though nothing is cut")
        << "exact_limit" << exact << QList<int>{Str::LoadTooLarge} << QList<int>{};
    QTest::newRow("LF at the limit keeps its CR; the save cuts before the pair")
        << "lf_at_limit" << QString(Limit - 1, u'a') + QStringLiteral("\r\n") << QList<int>{Str::LoadTooLarge}
        << QList<int>{Str::SaveTooLarge};
    QTest::newRow("double-byte character across the load limit: its lead byte reads as ?")
        << "dbcs_across_limit" << QString(Limit - 1, u'a') + u'?' << QList<int>{Str::LoadTooLarge}
        << QList<int>{};
}

void TestTextCodec::loadAndSaveGoldenFixtures()
{
    QFETCH(QString, name);
    QFETCH(QString, paneText);
    QFETCH(QList<int>, loadMessages);
    QFETCH(QList<int>, saveMessages);

    TextCodec codec;
    MemoryPane pane(QStringLiteral("old"));
    ScriptedPrompts prompts;
    int modified = 0;
    QVERIFY(codec.LoadTextFile(pane, prompts, fixture(name + ".txt"), modified));
    QCOMPARE(pane.text().size(), paneText.size());
    QCOMPARE(pane.text(), paneText);
    QCOMPARE(modified, 1);
    QCOMPARE(pane.changeCount(), 0);
    QCOMPARE(prompts.shown, messageTexts(loadMessages));

    prompts.shown.clear();
    prompts.answers = {Answer::Ok};
    const QString saved = inDir(QStringLiteral("out.txt"));
    QCOMPARE(codec.SaveTextFile(pane, prompts, saved, modified), TextCodec::SaveResult::Saved);
    QCOMPARE(prompts.shown, messageTexts(saveMessages));
    QCOMPARE(modified, 0);
    const QString golden =
        QFile::exists(fixture(name + ".saved")) ? fixture(name + ".saved") : fixture(name + ".txt");
    QCOMPARE(readBytes(saved), readBytes(golden));
}

void TestTextCodec::saveFromPane_data()
{
    QTest::addColumn<QString>("paneText");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QString>("golden");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QString>("reloaded");

    QTest::newRow("characters outside the code page become ?")
        << QStringLiteral("café € あ😀") << QList<Answer>{} << "outside_cp932" << QByteArray()
        << QStringLiteral("caf? ? あ?");
    QTest::newRow("lone CR dropped, CR LF kept")
        << QStringLiteral("a\rb\r\nc") << QList<Answer>{} << QString() << QByteArray("ab\r\nc")
        << QStringLiteral("ab\r\nc");
    QTest::newRow("exactly 32768 bytes: no question") << QString(Limit, u'a') << QList<Answer>{} << QString()
                                                      << QByteArray(Limit, 'a') << QString(Limit, u'a');
    QTest::newRow("OK at 105: a double-byte character across the limit is left out")
        << QString(Limit - 1, u'a') + QStringLiteral("日") << QList<Answer>{Answer::Ok} << "cut_before_dbcs"
        << QByteArray() << QString(Limit - 1, u'a');
    QTest::newRow("OK at 105: a CR LF across the limit is left out")
        << QString(Limit - 1, u'a') + QStringLiteral("\r\nb") << QList<Answer>{Answer::Ok}
        << "cut_before_crlf" << QByteArray() << QString(Limit - 1, u'a');
    QTest::newRow("OK at 105: [aa…a][日] at byte 32767 fits whole")
        << QString(Limit - 2, u'a') + QStringLiteral("日本") << QList<Answer>{Answer::Ok} << QString()
        << QByteArray(Limit - 2, 'a') + QByteArray("\x93\xfa")
        << QString(Limit - 2, u'a') + QStringLiteral("日");
}

void TestTextCodec::saveFromPane()
{
    QFETCH(QString, paneText);
    QFETCH(QList<Answer>, answers);
    QFETCH(QString, golden);
    QFETCH(QByteArray, expected);
    QFETCH(QString, reloaded);

    TextCodec codec;
    MemoryPane pane(paneText);
    ScriptedPrompts prompts;
    prompts.answers = answers;
    int modified = 1;
    const QString path = inDir(QStringLiteral("doc.txt"));
    QCOMPARE(codec.SaveTextFile(pane, prompts, path, modified), TextCodec::SaveResult::Saved);
    QCOMPARE(prompts.shown, messageTexts(answers.isEmpty() ? QList<int>{} : QList<int>{Str::SaveTooLarge}));
    QCOMPARE(modified, 0);
    QCOMPARE(readBytes(path), golden.isEmpty() ? expected : readBytes(fixture(golden + ".saved")));
    QCOMPARE(pane.text(), paneText);

    QVERIFY(codec.LoadTextFile(pane, prompts, path, modified));
    QCOMPARE(pane.text(), reloaded);
}

void TestTextCodec::loadFailuresChangeNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing file") << "missing";
    QTest::newRow("folder") << "folder";
    QTest::newRow("FIFO without a writer (must not hang)") << "fifo";
    QTest::newRow("empty path") << "empty";
}

void TestTextCodec::loadFailuresChangeNothing()
{
    QFETCH(QString, kind);
    QString path = inDir(QStringLiteral("x"));
    if (kind == "folder")
        QVERIFY(QDir(dir->path()).mkdir("x"));
    else if (kind == "fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind == "empty")
        path.clear();

    TextCodec codec;
    MemoryPane pane(QStringLiteral("kept"));
    ScriptedPrompts prompts;
    int modified = 0;
    QVERIFY(!codec.LoadTextFile(pane, prompts, path, modified));
    QCOMPARE(prompts.shown, messageTexts({Str::CannotLoad}));
    QCOMPARE(pane.text(), QStringLiteral("kept"));
    QCOMPARE(modified, 0);

    // An empty file is no failure: an empty pane, no message, and it counts as changed.
    writeBytes(inDir("empty.txt"), {});
    prompts.shown.clear();
    QVERIFY(codec.LoadTextFile(pane, prompts, inDir("empty.txt"), modified));
    QCOMPARE(pane.text(), QString());
    QCOMPARE(prompts.shown, QStringList());
    QCOMPARE(modified, 1);
}

void TestTextCodec::saveFailuresKeepTheOldFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("read-only file") << "readonly";
    QTest::newRow("missing folder") << "nofolder";
    QTest::newRow("a folder as target") << "folder";
    QTest::newRow("full device (like /dev/full)") << "full";
    QTest::newRow("FIFO without a reader") << "fifo";
    QTest::newRow("write error on a regular file (file size limit)") << "fsize";
}

void TestTextCodec::saveFailuresKeepTheOldFile()
{
    QFETCH(QString, kind);
    const QByteArray old("old contents\r\n");
    QString path = inDir(QStringLiteral("doc.txt"));
    writeBytes(path, old);
    rlimit savedLimit{};
    if (kind == "readonly") {
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    } else if (kind == "nofolder") {
        path = inDir(QStringLiteral("no/such/folder/doc.txt"));
    } else if (kind == "folder") {
        path = dir->path();
    } else if (kind == "full") {
        // A node of the full device inside the test's own folder: whatever happens, only
        // the test's folder can be touched.
        path = inDir(QStringLiteral("full"));
        if (::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
            QSKIP("cannot make a device node here");
    } else if (kind == "fifo") {
        path = inDir(QStringLiteral("fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == "fsize") {
        std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &savedLimit), 0);
        rlimit small = savedLimit;
        small.rlim_cur = 100;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    }

    TextCodec codec;
    MemoryPane pane(QString(1000, u'z'));
    ScriptedPrompts prompts;
    int modified = 1;
    const TextCodec::SaveResult result = codec.SaveTextFile(pane, prompts, path, modified);
    if (kind == "fsize")
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &savedLimit), 0);
    QCOMPARE(result, TextCodec::SaveResult::Failed);
    QCOMPARE(prompts.shown, messageTexts({Str::CannotSave}));
    QCOMPARE(modified, 1);
    QCOMPARE(readBytes(inDir("doc.txt")), old);
    if (kind == "full" || kind == "fifo")
        QVERIFY(!QFileInfo(path).isFile());
    // No temporary file is left behind, hidden ones included.
    QStringList expected{QStringLiteral("doc.txt")};
    if (kind == "full" || kind == "fifo")
        expected << kind;
    expected.sort();
    QCOMPARE(
        QDir(dir->path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name),
        expected);
}

void TestTextCodec::saveFollowsSymbolicLinksAndKeepsPermissions()
{
    const QString target = inDir(QStringLiteral("target.txt"));
    const QString link = inDir(QStringLiteral("link.txt"));
    writeBytes(target, "old");
    const QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(target, permissions));
    QVERIFY(QFile::link(target, link));

    TextCodec codec;
    MemoryPane pane(QStringLiteral("new"));
    ScriptedPrompts prompts;
    int modified = 1;
    QCOMPARE(codec.SaveTextFile(pane, prompts, link, modified), TextCodec::SaveResult::Saved);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readBytes(target), QByteArray("new"));
    QCOMPARE(QFile::permissions(target) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
             permissions);
}

void TestTextCodec::fileCanBeRead_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("readable");
    QTest::newRow("regular file") << "file" << true;
    QTest::newRow("name with blanks and hyphens") << "blanks" << true;
    QTest::newRow("folder") << "folder" << false;
    QTest::newRow("missing") << "missing" << false;
    QTest::newRow("FIFO") << "fifo" << false;
    QTest::newRow("empty path") << "empty" << false;
}

void TestTextCodec::fileCanBeRead()
{
    QFETCH(QString, kind);
    QFETCH(bool, readable);
    QString path = inDir(kind == "blanks" ? QStringLiteral("a - b -c.txt") : QStringLiteral("x"));
    if (kind == "file" || kind == "blanks")
        writeBytes(path, "text");
    else if (kind == "folder")
        QVERIFY(QDir(dir->path()).mkdir("x"));
    else if (kind == "fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind == "empty")
        path.clear();
    QCOMPARE(TextCodec::FileCanBeRead(path), readable);
}

void TestTextCodec::cutInMemoryKeepsWholeCharacters_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("unit");
    // Each unit mixes widths, and the shifts move it, so that every kind of character and
    // the CR LF come to lie across the limit in every encoding.
    const QString unit = QStringLiteral("a\u3042\r\n\u4E9C");
    const QString withPair =
        QStringLiteral("a\r\n") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("\u3042");
    for (int choice = 0; choice < Encodings::ChoiceCount; ++choice) {
        const QString name = Encodings::choice(choice).displayName();
        QTest::addRow("%s", qPrintable(name)) << choice << unit;
        if (Encodings::choice(choice).isUtf())
            QTest::addRow("%s, surrogate pairs", qPrintable(name)) << choice << withPair;
    }
}

void TestTextCodec::cutInMemoryKeepsWholeCharacters()
{
    QFETCH(int, choice);
    QFETCH(QString, unit);
    const DocumentEncoding encoding = Encodings::choice(choice);
    for (int shift = 0; shift < 4; ++shift) {
        const QString text = QString(shift, u'a') + unit.repeated(Limit / 2);
        QByteArray encoded;
        TextCodec::encode(text, encoding, encoded);
        QVERIFY(encoded.size() > Limit);
        const qsizetype kept = TextCodec::keptLength(encoded, encoding);
        QVERIFY2(kept <= Limit && kept > Limit - 6, qPrintable(QString::number(kept)));
        const TextCodec::Decoded back = TextCodec::decode(
            TextCodec::fileBytes(QByteArrayView(encoded).first(kept), encoding), encoding.kind);
        QVERIFY2(text.startsWith(back.text), qPrintable(back.text.right(4)));
        QVERIFY(!back.text.endsWith(u'\r'));
    }
}

QTEST_GUILESS_MAIN(TestTextCodec)
#include "tst_textcodec.moc"
