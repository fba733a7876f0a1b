#include "core/format/FormatTable.h"
#include "core/settings/ProfileStore.h"
#include "core/settings/SettingsKeys.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

// Whatever stands in Kumorial.ini, loading gives defaults or the readable values, and a
// save afterwards either lands completely or leaves the old file as it was.
class TestSettingsRobustness : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void loadsAndSavesWhateverIsThere_data();
    void loadsAndSavesWhateverIsThere();
    void fileThatCannotBeReplacedIsLeftAlone_data();
    void fileThatCannotBeReplacedIsLeftAlone();

private:
    QString iniPath() const { return dir->filePath(QStringLiteral("Kumorial.ini")); }
    void writeIni(const QByteArray& bytes)
    {
        QFile f(iniPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
    }
    static QByteArray fixture(const char* name)
    {
        QFile f(QStringLiteral(KUMORIAL_FIXTURES "/settings/") + QString::fromUtf8(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    std::unique_ptr<QTemporaryDir> dir;
};

namespace {
enum class Content {
    Missing,
    Junk,
    MillionLines,
    HugeValues,
    EveryKeyTwice,
    SectionsRepeated,
    Utf16Bom,
    Cp932
};

// All values of the table, in stored form.
QStringList valuesOf(FormatTable t)
{
    QStringList v;
    for (const FormatTable::Setting& s : t.settings())
        v << (s.text ? *s.text : QString::number(*s.number));
    return v;
}

// Values a user could have typed into the dialogs, with edge blanks and quotes protected
// the way the dialogs store them.
FormatTable editedTable()
{
    FormatTable t;
    t.webPage = QStringLiteral("https://blog.example.jp/日記");
    t.transparency = 80;
    t.words[0] = QStringLiteral("(´・ω・`)");
    t.words[9] = QString();
    t.base[0] = {QStringLiteral("<b class=\\\"x\\\">"), QStringLiteral("</b>")};
    t.user[3] = {QStringLiteral("名前"), QStringLiteral("= \\"), QStringLiteral("\\ =")};
    t.user[9].begin = QStringLiteral("[x]\\") + QString(5000, u'字');
    return t;
}
} // namespace

void TestSettingsRobustness::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestSettingsRobustness::loadsAndSavesWhateverIsThere_data()
{
    QTest::addColumn<Content>("content");
    QTest::addColumn<QString>("word0");
    QTest::addColumn<int>("transparency");
    QTest::addColumn<QString>("face");

    const QString defaultWord = QStringLiteral("(*^^*)"), defaultFace = QStringLiteral("ＭＳ ゴシック");
    QTest::newRow("no file") << Content::Missing << defaultWord << 50 << defaultFace;
    QTest::newRow("10 MB of binary junk") << Content::Junk << QString() << -1 << QString();
    QTest::newRow("a million lines, keys at the end")
        << Content::MillionLines << QStringLiteral("last") << 20 << defaultFace;
    QTest::newRow("values of 100,000 characters")
        << Content::HugeValues << QString(4095, u'w') << 10 << QString(4095, u'f');
    QTest::newRow("every key twice: the first counts")
        << Content::EveryKeyTwice << QStringLiteral("first") << 30 << QStringLiteral("First");
    QTest::newRow("sections repeated: the first counts")
        << Content::SectionsRepeated << QStringLiteral("one") << 40 << defaultFace;
    QTest::newRow("UTF-16 with BOM") << Content::Utf16Bom << QStringLiteral("ユニコード") << 70
                                     << defaultFace;
    QTest::newRow("code page 932") << Content::Cp932 << QStringLiteral("あいう") << 30
                                   << QStringLiteral("ＭＳ 明朝");
}

void TestSettingsRobustness::loadsAndSavesWhateverIsThere()
{
    QFETCH(Content, content);
    QFETCH(QString, word0);
    QFETCH(int, transparency);
    QFETCH(QString, face);

    switch (content) {
    case Content::Missing:
        break;
    case Content::Junk:
        writeIni(TestSupport::settingsJunk(10 << 20));
        break;
    case Content::MillionLines: {
        QByteArray b;
        b.reserve(16 << 20);
        b += "[Settings]\nLeft=120\n[Noise]\n";
        for (int i = 0; i < 1'000'000; ++i)
            b += "k" + QByteArray::number(i) + "=v\n";
        b += "[UserWord]\nWord00=last\n[Option]\nTransparency=25\n";
        writeIni(b);
        break;
    }
    case Content::HugeValues:
        writeIni(
            "[UserWord]\nWord00=" + QByteArray(100'000, 'w') + "\n[Font]\nFace=" + QByteArray(100'000, 'f') +
            "\n[Option]\nTransparency=" + QByteArray(100'000, '9').prepend('-') + "\n[Settings]\nLeft=120\n");
        break;
    case Content::EveryKeyTwice:
        writeIni("[UserWord]\nWord00=first\nword00=second\n[Font]\nFace=First\nFACE=Second\n"
                 "[Option]\nTransparency=30\nTransparency=90\n[Settings]\nLeft=120\nLeft=5\n");
        break;
    case Content::SectionsRepeated:
        writeIni("[UserWord]\nWord00=one\n[Option]\nTransparency=40\n[userword]\nWord00=two\nWord01=hidden\n"
                 "[Settings]\nLeft=120\n[UserWord]\nWord00=three\n");
        break;
    case Content::Utf16Bom:
        writeIni(fixture("utf16le_bom.ini"));
        break;
    case Content::Cp932:
        writeIni(fixture("cp932.ini"));
        break;
    }

    ProfileStore store(iniPath());
    FormatTable loaded;
    loaded.load(store);
    for (const QString& v : valuesOf(loaded))
        QVERIFY(v.size() <= ProfileStore::MaxValueLength);
    if (content != Content::Junk) {
        QCOMPARE(loaded.words[0], word0);
        QCOMPARE(loaded.transparency, transparency);
        QCOMPARE(loaded.face, face);
    }
    if (content == Content::SectionsRepeated)
        QCOMPARE(loaded.words[1], FormatTable().words[1]); // Word01 stands only in a repeated section
    QVERIFY(loaded.transparency >= 10 && loaded.transparency <= 90 && loaded.transparency % 10 == 0);

    // Exit: the edited table is written over whatever was there and reads back whole,
    // the frame's key beside it included.
    const FormatTable edited = editedTable();
    edited.save(store, edited.face, edited.size);
    ProfileStore reread(iniPath());
    FormatTable again;
    again.load(reread);
    QStringList expected = valuesOf(edited);
    expected[valuesOf(edited).indexOf(edited.user[9].begin)].truncate(ProfileStore::MaxValueLength);
    QCOMPARE(valuesOf(again), expected);
    if (content != Content::Missing && content != Content::Junk)
        QCOMPARE(reread.readInt(Keys::section(Str::SectionSettings), Keys::Left, 0), 120);
}

void TestSettingsRobustness::fileThatCannotBeReplacedIsLeftAlone_data()
{
    QTest::addColumn<QString>("blocker");
    QTest::newRow("a folder named Kumorial.ini") << QStringLiteral("folder");
    QTest::newRow("an unreadable file") << QStringLiteral("unreadable");
    QTest::newRow("a read-only settings folder") << QStringLiteral("read-only folder");
}

void TestSettingsRobustness::fileThatCannotBeReplacedIsLeftAlone()
{
    QFETCH(QString, blocker);
    const QByteArray old = "[UserWord]\r\nWord00=old\r\n";
    if (blocker == u"folder") {
        QVERIFY(QDir().mkpath(iniPath() + QStringLiteral("/inside")));
    } else {
        writeIni(old);
        QFile::Permissions p =
            blocker == u"unreadable" ? QFile::WriteOwner : QFile::ReadOwner | QFile::ExeOwner;
        QVERIFY(blocker == u"unreadable" ? QFile::setPermissions(iniPath(), p)
                                         : QFile::setPermissions(dir->path(), p));
        // Permissions do not stop the superuser; there is no other way to make them hold here.
        if (blocker == u"unreadable" ? ::access(iniPath().toLocal8Bit().constData(), R_OK) == 0
                                     : ::access(dir->path().toLocal8Bit().constData(), W_OK) == 0) {
            QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("permissions do not apply to this user");
        }
    }

    ProfileStore store(iniPath());
    FormatTable loaded;
    loaded.load(store);
    QCOMPARE(valuesOf(loaded), valuesOf(FormatTable())); // nothing readable: defaults
    const FormatTable edited = editedTable();
    edited.save(store, edited.face, edited.size); // fails silently

    QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(iniPath(), QFile::ReadOwner | QFile::WriteOwner);
    if (blocker == u"folder") {
        QVERIFY(QFileInfo(iniPath()).isDir());
        QVERIFY(QFileInfo::exists(iniPath() + QStringLiteral("/inside")));
    } else {
        QFile f(iniPath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), old);
    }
    QCOMPARE(QDir(dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("Kumorial.ini")}); // no temporary file left behind
}

QTEST_GUILESS_MAIN(TestSettingsRobustness)
#include "tst_settings_robustness.moc"
