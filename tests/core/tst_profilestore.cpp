#include "core/base/CodePage.h"
#include "core/format/FormatTable.h"
#include "core/settings/ProfileStore.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

namespace {
QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}
} // namespace

class TestProfileStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void readingRules_data();
    void readingRules();
    void integerRules_data();
    void integerRules();
    void namesIgnoreCaseAndFirstOccurrenceCounts();
    void firstExitWritesAllKeysInOrder();
    void writeReplacesInPlaceAndKeepsOtherLines();
    void lineBreakCannotInjectKeys();
    void encodings_data();
    void encodings();
    void valuesRoundTrip();
    void unwritableAndUnreadableFiles();
    void batchSeesEditsMadeAfterStartUp_data();
    void batchSeesEditsMadeAfterStartUp();
    void parseThenSerialise_data();
    void parseThenSerialise();
    void keysAddedAcrossSectionsInMemory();
    void manyRewritesKeepEveryLine();

private:
    QTemporaryDir dir;
    QString path;
};

void TestProfileStore::init()
{
    path = dir.filePath(QStringLiteral("Kumorial.ini"));
    QFile::remove(path);
}

void TestProfileStore::readingRules_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("value");
    QTest::newRow("blanks trimmed") << QByteArray("Word00=  hello  ") << "hello";
    QTest::newRow("tabs trimmed") << QByteArray("Word00=\thello\t") << "hello";
    QTest::newRow("blanks around key") << QByteArray("  Word00 = x") << "x";
    QTest::newRow("apostrophe pair dropped") << QByteArray("Word00=''' ") << "'";
    QTest::newRow("double quote pair dropped") << QByteArray("Word00=\"a b\"") << "a b";
    QTest::newRow("unmatched quotes kept") << QByteArray("Word00=\"a'") << "\"a'";
    QTest::newRow("single quote char kept") << QByteArray("Word00=\"") << "\"";
    QTest::newRow("only one pair dropped") << QByteArray("Word00=\"\"x\"\"") << "\"x\"";
    QTest::newRow("backslash protects blank") << QByteArray("Word00== \\") << "= \\";
    QTest::newRow("edge blank lost") << QByteArray("Word00== ") << "=";
    QTest::newRow("escaped apostrophes") << QByteArray("Word00=\\'\\'\\'") << "\\'\\'\\'";
    QTest::newRow("present empty value") << QByteArray("Word00=") << "";
    QTest::newRow("equals sign in value") << QByteArray("Word00=a=b") << "a=b";
    QTest::newRow("missing key gives default") << QByteArray("Other=1") << "DEFAULT";
    QTest::newRow("long value cut") << (QByteArray("Word00=") + QByteArray(5000, 'x')) << QString(4095, u'x');
    QTest::newRow("japanese") << QByteArray("Word00=(^^ゞ") << "(^^ゞ";
}

void TestProfileStore::readingRules()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, value);
    writeAll(path, "[UserWord]\n" + line + "\n");
    const ProfileStore store(path);
    QCOMPARE(
        store.readString(QStringLiteral("UserWord"), QStringLiteral("Word00"), QStringLiteral("DEFAULT")),
        value);
}

void TestProfileStore::integerRules_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << QByteArray("Size=12") << 12;
    QTest::newRow("negative") << QByteArray("Size=-300") << -300;
    QTest::newRow("leading number") << QByteArray("Size=12pt") << 12;
    QTest::newRow("blanks") << QByteArray("Size=  7  ") << 7;
    QTest::newRow("not a number") << QByteArray("Size=abc") << 0;
    QTest::newRow("empty") << QByteArray("Size=") << 0;
    QTest::newRow("missing") << QByteArray("Other=5") << 14;
    QTest::newRow("huge saturates") << QByteArray("Size=99999999999999") << 2147483647;
}

void TestProfileStore::integerRules()
{
    QFETCH(QByteArray, line);
    QFETCH(int, value);
    writeAll(path, "[Font]\r\n" + line + "\r\n");
    const ProfileStore store(path);
    QCOMPARE(store.readInt(QStringLiteral("Font"), QStringLiteral("Size"), 14), value);
}

void TestProfileStore::namesIgnoreCaseAndFirstOccurrenceCounts()
{
    writeAll(path, "[font]\nFACE=first\nface=second\n[Font]\nSize=99\n[FONT]\n");
    const ProfileStore store(path);
    QCOMPARE(store.readString(QStringLiteral("Font"), QStringLiteral("Face"), QString()),
             QStringLiteral("first"));
    // Only the first section of a name is read.
    QCOMPARE(store.readInt(QStringLiteral("Font"), QStringLiteral("Size"), 14), 14);

    // Beyond ASCII, names match as their case-folded forms do: Kelvin sign and k, final and
    // other sigma, full-width letters; blanks around a name do not count.
    ProfileText text = ProfileText::parse(QStringLiteral("[\u212AEY Σας]\n ａ=wide\nÄ=umlaut\n").toUtf8());
    const QString section = QStringLiteral(" key σασ ");
    QCOMPARE(text.readString(section, QStringLiteral("Ａ"), QString()), QStringLiteral("wide"));
    QCOMPARE(text.readString(section, QStringLiteral("ä"), QString()), QStringLiteral("umlaut"));
    QCOMPARE(text.readString(section, QStringLiteral("a"), QStringLiteral("none")), QStringLiteral("none"));
    text.writeString(QStringLiteral("KEY ΣΑΣ"), QStringLiteral("Ä"), QStringLiteral("written"));
    QCOMPARE(text.serialize(), QStringLiteral("[\u212AEY Σας]\n ａ=wide\nÄ=written\n").toUtf8());
}

void TestProfileStore::firstExitWritesAllKeysInOrder()
{
    ProfileStore store(path);
    FormatTable t;
    t.load(store); // no file: defaults
    t.save(store, t.face, t.size);
    const QStringList lines = QString::fromUtf8(readAll(path)).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4 + 74);
    QCOMPARE(lines.mid(0, 9),
             (QStringList{"[Option]", "Transparency=50", "WebPage=", "[Font]", "Face=ＭＳ ゴシック",
                          "Size=14", "[UserWord]", "Word00=(*^^*)", "Word01=(o^^o)"}));
    QCOMPARE(lines[16], QStringLiteral("Word09=(^^)/~ bye"));
    QCOMPARE(lines[17], QStringLiteral("[Format]"));
    QCOMPARE(lines[18], QStringLiteral("Base01b=<B>"));
    QCOMPARE(lines[19], QStringLiteral("Base01e=</B>"));
    QVERIFY(lines.contains(QStringLiteral(R"(Base06b=<FONT COLOR=\"red\">)")));
    QCOMPARE(lines[18 + 30], QStringLiteral("User01n=太字"));
    QVERIFY(lines.contains(QStringLiteral("User04b== \\")));
    QCOMPARE(lines.last(), QStringLiteral("User10e=)]]"));

    // The next start reads back exactly what was written.
    FormatTable again;
    again.words[0] = QStringLiteral("changed");
    again.load(ProfileStore(path));
    QCOMPARE(again.words, t.words);
    for (int i = 0; i < FormatTable::BaseCount; ++i)
        QCOMPARE(again.base[i].begin, t.base[i].begin);
    QCOMPARE(again.user[3].begin, QStringLiteral("= \\"));
    QCOMPARE(::insertedForm(again.user[3].begin), QStringLiteral("= "));
}

void TestProfileStore::writeReplacesInPlaceAndKeepsOtherLines()
{
    writeAll(path, "; comment\r\n[Font]\r\nFace=old\r\njunk line\r\n\r\n[Other]\r\nKey=v\r\n");
    ProfileStore store(path);
    QVERIFY(store.writeString(QStringLiteral("FONT"), QStringLiteral("face"), QStringLiteral("new")));
    QVERIFY(store.writeInt(QStringLiteral("Font"), QStringLiteral("Size"), -3));
    QVERIFY(store.writeString(QStringLiteral("Added"), QStringLiteral("K"), QString()));
    QCOMPARE(readAll(path), QByteArray("; comment\r\n[Font]\r\nface=new\r\njunk line\r\nSize=-3\r\n\r\n"
                                       "[Other]\r\nKey=v\r\n[Added]\r\nK=\r\n"));
}

void TestProfileStore::lineBreakCannotInjectKeys()
{
    ProfileStore store(path);
    QVERIFY(store.writeString(QStringLiteral("UserWord"), QStringLiteral("Word00"),
                              QStringLiteral("a\r\n[Font]\nFace=evil\rx")));
    const ProfileStore again(path);
    QCOMPARE(again.readString(QStringLiteral("Font"), QStringLiteral("Face"), QStringLiteral("none")),
             QStringLiteral("none"));
    QCOMPARE(again.readString(QStringLiteral("UserWord"), QStringLiteral("Word00"), QString()),
             QStringLiteral("a [Font] Face=evil x"));
}

void TestProfileStore::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QString text = QStringLiteral("[Font]\r\nFace=ＭＳ Ｐゴシック\r\n");
    QTest::newRow("utf-8") << text.toUtf8();
    QTest::newRow("utf-8 with bom") << "\xEF\xBB\xBF" + text.toUtf8();
    QStringEncoder le(QStringEncoder::Utf16LE), be(QStringEncoder::Utf16BE);
    QTest::newRow("utf-16le with bom") << "\xFF\xFE" + QByteArray(le(text));
    QTest::newRow("utf-16be with bom") << "\xFE\xFF" + QByteArray(be(text));
    QTest::newRow("code page 932") << CodePage::fromUnicode(text);
}

void TestProfileStore::encodings()
{
    QFETCH(QByteArray, bytes);
    writeAll(path, bytes);
    ProfileStore store(path);
    QCOMPARE(store.readString(QStringLiteral("Font"), QStringLiteral("Face"), QString()),
             QStringLiteral("ＭＳ Ｐゴシック"));
    // A write turns the file into UTF-8 and keeps what was there.
    QVERIFY(store.writeInt(QStringLiteral("Font"), QStringLiteral("Size"), 9));
    QVERIFY(readAll(path).contains(QStringLiteral("Face=ＭＳ Ｐゴシック").toUtf8()));
    QCOMPARE(ProfileStore(path).readString(QStringLiteral("Font"), QStringLiteral("Face"), QString()),
             QStringLiteral("ＭＳ Ｐゴシック"));
}

void TestProfileStore::valuesRoundTrip()
{
    const QStringList values = {QStringLiteral("= \\"),        QStringLiteral("\\ ="),
                                QStringLiteral("(^^ゞ"),       QStringLiteral("𠮷野家 ①㊤"),
                                QStringLiteral("tab\tinside"), QStringLiteral("a=b;c")};
    {
        ProfileStore store(path);
        ProfileStore::Batch batch(store);
        for (int i = 0; i < values.size(); ++i)
            store.writeString(QStringLiteral("UserWord"), QStringLiteral("W%1").arg(i), values[i]);
    }
    const ProfileStore again(path);
    for (int i = 0; i < values.size(); ++i)
        QCOMPARE(again.readString(QStringLiteral("UserWord"), QStringLiteral("W%1").arg(i), QString()),
                 values[i]);
}

void TestProfileStore::unwritableAndUnreadableFiles()
{
    // A folder where the file should be: writes fail silently, reads give defaults.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Kumorial.ini")));
    ProfileStore store(path);
    QVERIFY(!store.writeInt(QStringLiteral("Font"), QStringLiteral("Size"), 9));
    QCOMPARE(store.readInt(QStringLiteral("Font"), QStringLiteral("Size"), 14), 14);
    QVERIFY(QDir(dir.path()).rmdir(QStringLiteral("Kumorial.ini")));

    // A file that cannot be read is never replaced by a file made of our keys alone.
    writeAll(path, "[Keep]\nMe=1\n");
    QFile::setPermissions(path, QFileDevice::WriteOwner);
    if (QFile(path).open(QIODevice::ReadOnly))
        QSKIP("running with rights that read any file");
    ProfileStore blind(path);
    QVERIFY(!blind.writeInt(QStringLiteral("Font"), QStringLiteral("Size"), 9));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(readAll(path), QByteArray("[Keep]\nMe=1\n"));
}

void TestProfileStore::batchSeesEditsMadeAfterStartUp_data()
{
    QTest::addColumn<QByteArray>("edited");
    QTest::addColumn<bool>("keepTime");
    // The start-up file holds "[Settings]\nDonationsLink=1\n".
    QTest::newRow("line added") << QByteArray("[Settings]\nDonationsLink=1\n[Mine]\nHand=made\n") << false;
    QTest::newRow("same size, same time") << QByteArray("[Settings]\nDonationsLink=0\n") << true;
    QTest::newRow("section added before ours")
        << QByteArray("[Mine]\nHand=made\n[Settings]\nDonationsLink=0\n") << false;
}

void TestProfileStore::batchSeesEditsMadeAfterStartUp()
{
    QFETCH(QByteArray, edited);
    QFETCH(bool, keepTime);
    writeAll(path, "[Settings]\nDonationsLink=1\n");
    ProfileStore store(path);
    FormatTable table;
    table.load(store);
    QCOMPARE(store.readInt(QStringLiteral("Settings"), QStringLiteral("DonationsLink"), 1), 1);

    const QDateTime time = QFileInfo(path).lastModified();
    writeAll(path, edited);
    if (keepTime) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(time, QFileDevice::FileModificationTime));
    }

    {
        ProfileStore::Batch batch(store);
        table.save(store, table.face, table.size);
    }
    const QByteArray after = readAll(path);
    QVERIFY2(after.startsWith(edited), after.constData());
    QVERIFY(after.contains("Face=ＭＳ ゴシック"));
    const ProfileStore again(path);
    QCOMPARE(again.readInt(QStringLiteral("Settings"), QStringLiteral("DonationsLink"), 1),
             edited.contains("DonationsLink=0") ? 0 : 1);
}

void TestProfileStore::parseThenSerialise_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("serialised");
    QTest::newRow("CR LF kept") << QByteArray("[A]\r\nk=v\r\n") << QByteArray("[A]\r\nk=v\r\n");
    QTest::newRow("LF kept") << QByteArray("[A]\nk=v\n\n") << QByteArray("[A]\nk=v\n\n");
    QTest::newRow("last line gets its break") << QByteArray("[A]\r\nk=v") << QByteArray("[A]\r\nk=v\r\n");
    QTest::newRow("first break decides")
        << QByteArray("[A]\nk=v\r\nj=w\rx") << QByteArray("[A]\nk=v\nj=w\nx\n");
    QTest::newRow("utf-8 bom kept") << QByteArray("\xEF\xBB\xBF[A]\n") << QByteArray("\xEF\xBB\xBF[A]\n");
    QTest::newRow("utf-16 becomes utf-8") << QByteArray("\xFF\xFE[\0A\0]\0\n\0", 10) << QByteArray("[A]\n");
    // Stray marks after the file's own are dropped too, so that one round gives the fixed point.
    QTest::newRow("utf-8 second bom dropped")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBF[A]\n") << QByteArray("\xEF\xBB\xBF[A]\n");
    QTest::newRow("utf-16 second bom dropped")
        << QByteArray("\xFF\xFE\xFF\xFE\xFF\xFE[\0A\0]\0", 12) << QByteArray("[A]\n");
    QTest::newRow("utf-16 be second bom dropped")
        << QByteArray("\xFE\xFF\xFE\xFF\0k", 6) << QByteArray("k\n");
    QTest::newRow("utf-16 half pairs read as replacement")
        << QByteArray("\xFF\xFEk\0=\0\x00\xD8x\0\x3D\xD8\x00\xDE\x00\xDC", 16)
        << QByteArray("k=\xEF\xBF\xBDx\xF0\x9F\x98\x80\xEF\xBF\xBD\n");
    QTest::newRow("code page 932 becomes utf-8")
        << CodePage::fromUnicode(u"k=あ\n") << QStringLiteral("k=あ\n").toUtf8();
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestProfileStore::parseThenSerialise()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, serialised);
    QCOMPARE(ProfileText::parse(bytes).serialize(), serialised);
    QCOMPARE(ProfileText::parse(serialised).serialize(), serialised);
}

void TestProfileStore::keysAddedAcrossSectionsInMemory()
{
    // Keys added to an early section move the later ones; replacing and adding keys there
    // afterwards must still find their lines.
    ProfileStore store = ProfileStore::inMemory("[A]\nk=1\n[B]\nx=1\n\n[C]\ny=1\n");
    const QString a = QStringLiteral("A"), b = QStringLiteral("B"), c = QStringLiteral("C");
    QVERIFY(store.writeString(a, QStringLiteral("k2"), QStringLiteral("2")));
    QVERIFY(store.writeString(a, QStringLiteral("k3"), QStringLiteral("3")));
    QVERIFY(store.writeString(c, QStringLiteral("Y"), QStringLiteral("9")));
    QVERIFY(store.writeString(b, QStringLiteral("x"), QStringLiteral("8")));
    QVERIFY(store.writeString(c, QStringLiteral("z"), QStringLiteral("7")));
    QVERIFY(store.writeInt(b, QStringLiteral("w"), 6));
    QVERIFY(store.writeString(QStringLiteral("D"), QStringLiteral("d"), QString()));
    QVERIFY(store.writeString(QStringLiteral("D"), QStringLiteral("e"), QStringLiteral("5")));
    QCOMPARE(store.bytes(),
             QByteArray("[A]\nk=1\nk2=2\nk3=3\n[B]\nx=8\nw=6\n\n[C]\nY=9\nz=7\n[D]\nd=\ne=5\n"));
    const ProfileText reread = ProfileText::parse(store.bytes());
    QCOMPARE(reread.readString(c, QStringLiteral("y"), QString()), QStringLiteral("9"));
    QCOMPARE(reread.readInt(b, QStringLiteral("W"), 0), 6);
    QCOMPARE(store.readString(a, QStringLiteral("K3"), QString()), QStringLiteral("3"));
    QCOMPARE(store.readString(QStringLiteral("d"), QStringLiteral("E"), QString()), QStringLiteral("5"));
    QVERIFY(store.path().isEmpty());
}

void TestProfileStore::manyRewritesKeepEveryLine()
{
    // Rewritten lines leave their old text behind until the store tidies it away; whatever
    // the moment, every line must come out as last written.
    ProfileText text = ProfileText::parse("[A]\r\nfirst=1\r\n[B]\r\nlast=2\r\n");
    const QString a = QStringLiteral("A"), b = QStringLiteral("B");
    for (int i = 0; i < 3000; ++i) {
        const QString value = QString(i % 97, QChar(u'x')) + QString::number(i);
        text.writeString(i % 2 ? a : b, QStringLiteral("k%1").arg(i % 5), value);
    }
    // Section A got the odd writes, B the even ones; each key sits where its first write put it.
    const auto lastWrites = [](int parity, std::initializer_list<int> keyOrder) {
        QByteArray lines;
        for (int k : keyOrder) {
            int last = 2999;
            while (last % 2 != parity || last % 5 != k)
                --last;
            lines += "k" + QByteArray::number(k) + "=" + QByteArray(last % 97, 'x') +
                     QByteArray::number(last) + "\r\n";
        }
        return lines;
    };
    const QByteArray expected = "[A]\r\nfirst=1\r\n" + lastWrites(1, {1, 3, 0, 2, 4}) + "[B]\r\nlast=2\r\n" +
                                lastWrites(0, {0, 2, 4, 1, 3});
    QCOMPARE(text.serialize(), expected);
    QCOMPARE(ProfileText::parse(expected).serialize(), expected);
}

QTEST_GUILESS_MAIN(TestProfileStore)
#include "tst_profilestore.moc"
