#include "core/document/Encoding.h"
#include "core/document/FileCommands.h"
#include "core/document/TextCodec.h"
#include "support/MemoryPane.h"
#include "support/StandInPrompts.h"

#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using Answer = Prompts::Answer;
using Choice = Prompts::LossChoice;
using Kind = DocumentEncoding::Kind;
Q_DECLARE_METATYPE(Choice)
Q_DECLARE_METATYPE(Kind)

namespace {
constexpr qsizetype Limit = TextCodec::SizeLimit;

QString fixture(const QString& name)
{
    return QStringLiteral(KUMORIAL_FIXTURES "/encoding/") + name;
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

DocumentEncoding parsed(const char* text)
{
    return DocumentEncoding::fromString(QString::fromLatin1(text)).value();
}

// The prose of the fixtures, as the pane holds it.
QString prose()
{
    return QString::fromUtf8(readBytes(fixture("prose_utf8.txt")));
}

// 😀 on line 2, ♥ twice on line 3, 𠮷 on line 5.
QString guardedText()
{
    return QString::fromUtf8(readBytes(fixture("guarded_utf8.txt")));
}

// One document on an in-memory pane with scripted answers.
struct Document {
    explicit Document(const QString& folder) : files(pane, prompts, modified, folder)
    {
        pane.setChangeHandler([this] { modified = 1; });
    }
    MemoryPane pane;
    ScriptedPrompts prompts;
    int modified = 0;
    FileCommands files;
};
} // namespace

class TestEncoding : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void detectsFixtures_data();
    void detectsFixtures();
    void detectsBytes_data();
    void detectsBytes();
    void roundTripIsByteExact_data();
    void roundTripIsByteExact();
    void utf8DocumentSavedAsShiftJis();
    void necSelectedRowsAreSavedInTheIbmRows();
    void bareLfFileStaysBareLf();
    void saveCutKeepsWholeCharacters_data();
    void saveCutKeepsWholeCharacters();
    void loadCutKeepsWholeCharacters_data();
    void loadCutKeepsWholeCharacters();
    void ctrlZAndZeroEndTheText_data();
    void ctrlZAndZeroEndTheText();
    void encodedByteCount_data();
    void encodedByteCount();
    void stringForm_data();
    void stringForm();
    void unrepresentableScan_data();
    void unrepresentableScan();
    void unrepresentableListStopsAtTwenty();
    void guardChoices_data();
    void guardChoices();
    void cancelledGuardStopsTheSaveQuestion();
    void templateAndNewUseTheNewDocumentEncoding();
    void reopenInChosenEncoding_data();
    void reopenInChosenEncoding();
    void choosingTheSaveEncodingMarksTheDocument();

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString inDir(const QString& name) const { return dir->filePath(name); }
};

void TestEncoding::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestEncoding::detectsFixtures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("paneText");

    const QString text = prose();
    const QString extended = QString::fromUtf8(readBytes(fixture("extensions_utf8.txt")));
    QTest::newRow("UTF-8") << "prose_utf8.txt"
                           << "UTF-8;CRLF" << text;
    QTest::newRow("UTF-8 with BOM") << "prose_utf8_bom.txt"
                                    << "UTF-8;BOM;CRLF" << text;
    QTest::newRow("UTF-8, bare LF") << "prose_utf8_lf.txt"
                                    << "UTF-8;LF" << text;
    QTest::newRow("UTF-16 LE") << "prose_utf16le.txt"
                               << "UTF-16LE;CRLF" << text;
    QTest::newRow("UTF-16 BE") << "prose_utf16be.txt"
                               << "UTF-16BE;CRLF" << text;
    QTest::newRow("UTF-16 LE, bare LF") << "prose_utf16le_lf.txt"
                                        << "UTF-16LE;LF" << text;
    QTest::newRow("EUC-JP") << "prose_eucjp.txt"
                            << "EUC-JP;CRLF" << text;
    QTest::newRow("EUC-JP, bare LF") << "prose_eucjp_lf.txt"
                                     << "EUC-JP;LF" << text;
    QTest::newRow("code page 932") << "prose_cp932.txt"
                                   << "Shift_JIS;CRLF" << text;
    QTest::newRow("code page 932 extensions ① ㈱ 髙 﨑") << "extensions_cp932.txt"
                                                         << "Shift_JIS;CRLF" << extended;
    QTest::newRow("code page 932, NEC-selected IBM rows") << "extensions_necsel_cp932.txt"
                                                          << "Shift_JIS;CRLF" << extended;
    QTest::newRow("pure ASCII is Shift_JIS")
        << "ascii.txt"
        << "Shift_JIS;CRLF" << QStringLiteral("Hello, blog.\r\n<b>bold</b> & plain ASCII only.");
    QTest::newRow("2 characters of UTF-8") << "short_utf8_2chars.txt"
                                           << "UTF-8;CRLF" << QStringLiteral("日本");
    QTest::newRow("2 characters of code page 932") << "short_cp932_2chars.txt"
                                                   << "Shift_JIS;CRLF" << QStringLiteral("日本");
    // Both code pages could read these bytes until the last lead byte lacks its trail.
    QTest::newRow("3 characters of EUC-JP") << "short_eucjp_3chars.txt"
                                            << "EUC-JP;CRLF" << QStringLiteral("日本語");
    QTest::newRow("one half-width katakana byte") << "short_cp932_halfwidth_kana.txt"
                                                  << "Shift_JIS;CRLF" << QStringLiteral("ｱ");
    QTest::newRow("one half-width katakana in UTF-8") << "short_utf8_halfwidth_kana.txt"
                                                      << "UTF-8;CRLF" << QStringLiteral("ｱ");
    QTest::newRow("mixed ASCII, code page 932") << "mixed_ascii_cp932.txt"
                                                << "Shift_JIS;CRLF" << QStringLiteral("Blog: 今日 2026");
    QTest::newRow("mixed ASCII, EUC-JP") << "mixed_ascii_eucjp.txt"
                                         << "EUC-JP;CRLF" << QStringLiteral("Blog: 今日 2026");
    QTest::newRow("mixed ASCII, UTF-8") << "mixed_ascii_utf8.txt"
                                        << "UTF-8;CRLF" << QStringLiteral("Blog: 今日 2026");
}

void TestEncoding::detectsFixtures()
{
    QFETCH(QString, name);
    QFETCH(QString, encoding);
    QFETCH(QString, paneText);

    TextCodec codec;
    MemoryPane pane(QStringLiteral("old"));
    ScriptedPrompts prompts;
    int modified = 0;
    DocumentEncoding found = DocumentEncoding::utf8(true);
    QVERIFY(codec.LoadTextFile(pane, prompts, fixture(name), modified, found));
    QCOMPARE(found.toString(), encoding);
    QCOMPARE(pane.text(), paneText);
    QCOMPARE(prompts.shown, QStringList());
    QCOMPARE(modified, 1);
}

void TestEncoding::detectsBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("truncated");
    QTest::addColumn<Kind>("kind");

    QTest::newRow("empty") << QByteArray() << false << Kind::ShiftJis;
    QTest::newRow("BOM alone, UTF-8") << QByteArray("\xEF\xBB\xBF") << false << Kind::Utf8;
    QTest::newRow("BOM alone, UTF-16 LE") << QByteArray("\xFF\xFE") << false << Kind::Utf16Le;
    QTest::newRow("BOM alone, UTF-16 BE") << QByteArray("\xFE\xFF") << false << Kind::Utf16Be;
    // "あ" with its last byte cut off: whole file, or the head of a longer one.
    QTest::newRow("UTF-8 cut at the end of a whole file")
        << QByteArray("abc\xE3\x81") << false << Kind::ShiftJis;
    QTest::newRow("UTF-8 cut at the end of a head") << QByteArray("abc\xE3\x81") << true << Kind::Utf8;
    QTest::newRow("overlong UTF-8 is not UTF-8") << QByteArray("\xC0\xAF\x82\xA0") << false << Kind::ShiftJis;
    QTest::newRow("UTF-8 surrogate is not UTF-8") << QByteArray("\xED\xA0\x80") << false << Kind::ShiftJis;
    // A page template's long ASCII head must not hide the Japanese text from the detector.
    const QByteArray head = QByteArray("<!-- template: <p>abc</p> -->\r\n").repeated(300);
    QTest::newRow("EUC-JP after 9 KB of ASCII")
        << head + readBytes(fixture("prose_eucjp.txt")) << false << Kind::EucJp;
    QTest::newRow("code page 932 after 9 KB of ASCII")
        << head + readBytes(fixture("prose_cp932.txt")) << false << Kind::ShiftJis;
}

void TestEncoding::detectsBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, truncated);
    QFETCH(Kind, kind);
    QCOMPARE(Encodings::detect(bytes, truncated).kind, kind);
}

void TestEncoding::roundTripIsByteExact_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name :
         {"prose_utf8.txt", "prose_utf8_bom.txt", "prose_utf8_lf.txt", "prose_utf16le.txt",
          "prose_utf16be.txt", "prose_utf16le_lf.txt", "prose_eucjp.txt", "prose_eucjp_lf.txt",
          "prose_cp932.txt", "extensions_cp932.txt", "extensions_utf8.txt", "ascii.txt", "guarded_utf8.txt"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestEncoding::roundTripIsByteExact()
{
    QFETCH(QString, name);
    Document doc(dir->path());
    doc.prompts.openAnswers = {fixture(name)};
    doc.files.OpenDocument();
    QCOMPARE(doc.files.filePath, fixture(name));
    doc.prompts.saveAnswers = {inDir("out.txt")};
    QVERIFY(doc.files.SaveDocumentAs());
    QCOMPARE(readBytes(inDir("out.txt")), readBytes(fixture(name)));
    QCOMPARE(doc.prompts.lossShown.size(), 0);
}

void TestEncoding::utf8DocumentSavedAsShiftJis()
{
    Document doc(dir->path());
    doc.prompts.openAnswers = {fixture("extensions_utf8.txt")};
    doc.files.OpenDocument();
    QCOMPARE(doc.files.encoding, DocumentEncoding::utf8());
    doc.files.SetSaveEncoding(DocumentEncoding::shiftJis());
    doc.prompts.saveAnswers = {inDir("out.txt")};
    QVERIFY(doc.files.SaveDocumentAs());
    QCOMPARE(readBytes(inDir("out.txt")), readBytes(fixture("extensions_cp932.txt")));
    QCOMPARE(doc.prompts.lossShown.size(), 0);
    QCOMPARE(doc.prompts.shown, QStringList());
}

void TestEncoding::necSelectedRowsAreSavedInTheIbmRows()
{
    // The code page reads both rows as the same characters and writes the IBM one.
    Document doc(dir->path());
    doc.prompts.openAnswers = {fixture("extensions_necsel_cp932.txt")};
    doc.files.OpenDocument();
    doc.prompts.saveAnswers = {inDir("out.txt")};
    QVERIFY(doc.files.SaveDocumentAs());
    QCOMPARE(readBytes(inDir("out.txt")), readBytes(fixture("extensions_cp932.txt")));
}

void TestEncoding::bareLfFileStaysBareLf()
{
    const QString path = inDir("lf.txt");
    writeBytes(path, readBytes(fixture("prose_utf8_lf.txt")));
    Document doc(dir->path());
    doc.prompts.openAnswers = {path};
    doc.files.OpenDocument();
    doc.pane.setSelection(doc.pane.length(), doc.pane.length());
    doc.pane.replaceSelection(QStringLiteral("\r\n追記♥"));
    QVERIFY(doc.files.SaveDocument());
    QCOMPARE(readBytes(path), readBytes(fixture("prose_utf8_lf.txt")) + QStringLiteral("\n追記♥").toUtf8());
}

void TestEncoding::saveCutKeepsWholeCharacters_data()
{
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("savedSize");

    const QString a = QStringLiteral("あ");
    const QString yoshi = QStringLiteral("𠮷");
    const QString line = QStringLiteral("ab\r\n");
    // 10922 three-byte characters fill 32766 bytes; a 10923rd would split.
    QTest::newRow("UTF-8, 3-byte characters") << "UTF-8" << a.repeated(11000) << qsizetype(32766);
    QTest::newRow("UTF-8 with BOM: the BOM counts") << "UTF-8;BOM" << a.repeated(11000) << qsizetype(32766);
    // BOM + 8191 surrogate pairs = 32766 bytes; half a pair would fit, but stays out.
    QTest::newRow("UTF-16 LE, surrogate pairs") << "UTF-16LE" << yoshi.repeated(8200) << qsizetype(32766);
    QTest::newRow("UTF-16 BE, surrogate pairs") << "UTF-16BE" << yoshi.repeated(8200) << qsizetype(32766);
    QTest::newRow("EUC-JP, odd start") << "EUC-JP" << u'a' + a.repeated(17000) << qsizetype(32767);
    QTest::newRow("Shift_JIS, odd start") << "Shift_JIS" << u'a' + a.repeated(17000) << qsizetype(32767);
    // The CR is the last byte that fits: it stays out with its LF.
    QTest::newRow("UTF-8, CR LF at the limit") << "UTF-8" << u'x' + line.repeated(8200) << qsizetype(32767);
    QTest::newRow("UTF-16 LE, CR LF at the limit") << "UTF-16LE" << line.repeated(4200) << qsizetype(32766);
}

void TestEncoding::saveCutKeepsWholeCharacters()
{
    QFETCH(QString, encoding);
    QFETCH(QString, text);
    QFETCH(qsizetype, savedSize);

    const DocumentEncoding e = DocumentEncoding::fromString(encoding).value();
    TextCodec codec;
    MemoryPane pane(text);
    ScriptedPrompts prompts;
    prompts.answers = {Answer::Ok};
    int modified = 1;
    QCOMPARE(codec.SaveTextFile(pane, prompts, inDir("cut.txt"), modified, e), TextCodec::SaveResult::Saved);
    QCOMPARE(prompts.shown, messageTexts({Str::SaveTooLarge}));
    const QByteArray saved = readBytes(inDir("cut.txt"));
    QCOMPARE(saved.size(), savedSize);
    QVERIFY(saved.startsWith(Encodings::bomBytes(e)));

    // Decoded by Qt's own decoders: a whole prefix of the text, no broken sequence.
    const char* name = e.kind == Kind::Utf8      ? "UTF-8"
                       : e.kind == Kind::Utf16Le ? "UTF-16LE"
                       : e.kind == Kind::Utf16Be ? "UTF-16BE"
                       : e.kind == Kind::EucJp   ? "EUC-JP"
                                                 : "Shift_JIS";
    QStringDecoder decoder(name, QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        QSKIP("Qt was built without this decoder");
    const QString back = decoder(QByteArrayView(saved).sliced(Encodings::bomBytes(e).size()));
    QVERIFY(!decoder.hasError());
    QVERIFY2(text.startsWith(back), qPrintable(back.right(4)));
    QVERIFY(!back.endsWith(u'\r'));
}

void TestEncoding::loadCutKeepsWholeCharacters_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("paneText");

    const QString a = QStringLiteral("あ");
    QTest::newRow("UTF-8 across the limit") << a.repeated(11000).toUtf8() << a.repeated(10922);
    QTest::newRow("UTF-8 with BOM across the limit")
        << QByteArray("\xEF\xBB\xBF") + a.repeated(11000).toUtf8() << a.repeated(10921);
    QByteArray utf16("\xFF\xFE");
    for (int i = 0; i < 8200; ++i)
        utf16 += QByteArray("\x42\xD8\xB7\xDF", 4);
    QTest::newRow("UTF-16 LE pairs across the limit") << utf16 << QStringLiteral("𠮷").repeated(8191);
}

void TestEncoding::loadCutKeepsWholeCharacters()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, paneText);
    writeBytes(inDir("long.txt"), bytes);
    TextCodec codec;
    MemoryPane pane;
    ScriptedPrompts prompts;
    int modified = 0;
    DocumentEncoding found;
    QVERIFY(codec.LoadTextFile(pane, prompts, inDir("long.txt"), modified, found));
    QCOMPARE(prompts.shown, messageTexts({Str::LoadTooLarge}));
    QCOMPARE(pane.text().size(), paneText.size());
    QCOMPARE(pane.text(), paneText);
}

void TestEncoding::ctrlZAndZeroEndTheText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("paneText");

    QTest::newRow("UTF-8: Ctrl+Z") << QByteArray("\xE3\x81\x82\nb\x1A tail") << QStringLiteral("あ\r\nb");
    QTest::newRow("UTF-8: zero") << QByteArray("\xE3\x81\x82\0tail", 8) << QStringLiteral("あ");
    // U+1A00 holds the byte 0x1A without being Ctrl+Z.
    QTest::newRow("UTF-16 LE: only the unit U+001A ends it")
        << QByteArray("\xFF\xFE\x00\x1A\x41\x00\x1A\x00\x42\x00", 10) << QStringLiteral("\u1A00A");
}

void TestEncoding::ctrlZAndZeroEndTheText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, paneText);
    writeBytes(inDir("z.txt"), bytes);
    TextCodec codec;
    MemoryPane pane;
    ScriptedPrompts prompts;
    int modified = 0;
    DocumentEncoding found;
    QVERIFY(codec.LoadTextFile(pane, prompts, inDir("z.txt"), modified, found));
    QCOMPARE(pane.text(), paneText);
    QCOMPARE(prompts.shown, QStringList());
}

void TestEncoding::encodedByteCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<qsizetype>("count");

    const QString text = QStringLiteral("あ\r\nb");
    QTest::newRow("Shift_JIS") << text << "Shift_JIS" << qsizetype(5);
    QTest::newRow("Shift_JIS: a bare LF is written as CR LF, a lone CR dropped")
        << QStringLiteral("a\nb\rc") << "Shift_JIS" << qsizetype(5);
    QTest::newRow("Shift_JIS: a missing character is one ?")
        << QStringLiteral("😀") << "Shift_JIS" << qsizetype(1);
    QTest::newRow("UTF-8") << text << "UTF-8" << qsizetype(6);
    QTest::newRow("UTF-8 with BOM") << text << "UTF-8;BOM" << qsizetype(9);
    QTest::newRow("UTF-8, LF") << text << "UTF-8;LF" << qsizetype(5);
    QTest::newRow("UTF-16") << text << "UTF-16LE" << qsizetype(10);
    QTest::newRow("UTF-16, LF, a pair") << QStringLiteral("𠮷\r\n") << "UTF-16BE;LF" << qsizetype(8);
    QTest::newRow("EUC-JP") << text << "EUC-JP" << qsizetype(5);
    QTest::newRow("empty UTF-16 is its BOM") << QString() << "UTF-16LE" << qsizetype(2);
}

void TestEncoding::encodedByteCount()
{
    QFETCH(QString, text);
    QFETCH(QString, encoding);
    QFETCH(qsizetype, count);
    QCOMPARE(Encodings::encodedByteCount(text, DocumentEncoding::fromString(encoding).value()), count);
}

void TestEncoding::stringForm_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("normal"); // empty: refused
    QTest::addColumn<QString>("display");

    QTest::newRow("Shift_JIS") << "Shift_JIS"
                               << "Shift_JIS;CRLF"
                               << "Shift_JIS";
    QTest::newRow("UTF-8 BOM LF") << "utf-8;bom;lf"
                                  << "UTF-8;BOM;LF"
                                  << "UTF-8 (BOM)";
    QTest::newRow("UTF-8") << "UTF-8;CRLF"
                           << "UTF-8;CRLF"
                           << "UTF-8";
    QTest::newRow("EUC-JP LF") << "EUC-JP;LF"
                               << "EUC-JP;LF"
                               << "EUC-JP";
    QTest::newRow("UTF-16 BE") << "UTF-16BE"
                               << "UTF-16BE;CRLF"
                               << "UTF-16";
    QTest::newRow("a BOM only UTF-8 chooses is ignored") << "EUC-JP;BOM"
                                                         << "EUC-JP;CRLF"
                                                         << "EUC-JP";
    QTest::newRow("unknown name") << "Latin-1"
                                  << ""
                                  << "";
    QTest::newRow("unknown part") << "UTF-8;CR"
                                  << ""
                                  << "";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
}

void TestEncoding::stringForm()
{
    QFETCH(QString, text);
    QFETCH(QString, normal);
    QFETCH(QString, display);
    const std::optional<DocumentEncoding> e = DocumentEncoding::fromString(text);
    QCOMPARE(e.has_value(), !normal.isEmpty());
    if (!e)
        return;
    QCOMPARE(e->toString(), normal);
    QCOMPARE(e->displayName(), display);
    QCOMPARE(DocumentEncoding::fromString(e->toString()), e);
}

void TestEncoding::unrepresentableScan_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("encoding");
    // code point, count, line, column, each
    QTest::addColumn<QList<QList<int>>>("expected");

    const QList<QList<int>> guarded{{0x1F600, 1, 2, 9}, {0x2665, 2, 3, 1}, {0x20BB7, 1, 5, 1}};
    QTest::newRow("Shift_JIS: 😀 ♥ 𠮷") << guardedText() << "Shift_JIS" << guarded;
    QTest::newRow("EUC-JP: 😀 ♥ 𠮷") << guardedText() << "EUC-JP" << guarded;
    QTest::newRow("UTF-8 holds them all") << guardedText() << "UTF-8" << QList<QList<int>>{};
    QTest::newRow("UTF-16 holds them all") << guardedText() << "UTF-16LE" << QList<QList<int>>{};
    QTest::newRow("code page extensions are held")
        << QStringLiteral("①㈱髙﨑") << "Shift_JIS" << QList<QList<int>>{};
    QTest::newRow("a pair counts as one column; a CR as none")
        << QStringLiteral("😀♥\r\n\r\n\rab♥x") << "Shift_JIS"
        << QList<QList<int>>{{0x1F600, 1, 1, 1}, {0x2665, 2, 1, 2}};
    QTest::newRow("bare LF counts as a line")
        << QStringLiteral("a\nb\n♥") << "Shift_JIS" << QList<QList<int>>{{0x2665, 1, 3, 1}};
}

void TestEncoding::unrepresentableScan()
{
    QFETCH(QString, text);
    QFETCH(QString, encoding);
    QFETCH(QList<QList<int>>, expected);

    const Encodings::UnrepresentableScan scan =
        Encodings::findUnrepresentable(text, DocumentEncoding::fromString(encoding).value());
    QList<QList<int>> got;
    int total = 0;
    for (const Encodings::Unrepresentable& u : scan.characters) {
        got.append({int(u.codePoint), u.count, u.line, u.column});
        total += u.count;
        // The position is where the character stands in the pane.
        QCOMPARE(QStringView(text).sliced(u.position).toUcs4().constFirst(), uint(u.codePoint));
    }
    QCOMPARE(got, expected);
    QCOMPARE(scan.total, total);
    QCOMPARE(scan.moreDistinct, 0);
}

void TestEncoding::unrepresentableListStopsAtTwenty()
{
    QString text;
    for (char32_t c = 0x1F600; c < 0x1F600 + 25; ++c)
        text += QString::fromUcs4(&c, 1) + QString::fromUcs4(&c, 1);
    const Encodings::UnrepresentableScan scan =
        Encodings::findUnrepresentable(text, DocumentEncoding::shiftJis());
    QCOMPARE(scan.characters.size(), Encodings::UnrepresentableScan::Listed);
    QCOMPARE(scan.moreDistinct, 5);
    QCOMPARE(scan.total, 50);
    QCOMPARE(scan.characters.last().codePoint, char32_t(0x1F600 + 19));
    QCOMPARE(scan.characters.last().column, 39);
    QCOMPARE(Encodings::codePointName(scan.characters.first().codePoint), QStringLiteral("U+1F600"));
    QCOMPARE(Encodings::codePointName(0x2665), QStringLiteral("U+2665"));
}

void TestEncoding::guardChoices_data()
{
    QTest::addColumn<Choice>("choice");
    QTest::addColumn<QString>("expectedFile"); // empty: nothing written
    QTest::addColumn<QString>("encodingAfter");

    QTest::newRow("save as UTF-8: the document becomes UTF-8") << Choice::SaveAsUtf8 << "guarded_utf8.txt"
                                                               << "UTF-8;CRLF";
    QTest::newRow("save with ?: the old bytes, chosen knowingly")
        << Choice::SaveWithQuestionMarks << "guarded_question_cp932.txt"
        << "Shift_JIS;CRLF";
    QTest::newRow("cancel: nothing written") << Choice::Cancel << ""
                                             << "Shift_JIS;CRLF";
}

void TestEncoding::guardChoices()
{
    QFETCH(Choice, choice);
    QFETCH(QString, expectedFile);
    QFETCH(QString, encodingAfter);

    Document doc(dir->path());
    doc.files.NewDocument();
    doc.pane.replaceSelection(guardedText());
    doc.pane.setSelection(3, 3);
    doc.prompts.saveAnswers = {inDir("out.txt")};
    doc.prompts.lossChoices = {choice};

    QCOMPARE(doc.files.SaveDocumentAs(), !expectedFile.isEmpty());
    QCOMPARE(doc.prompts.lossEncodings, QStringList{QStringLiteral("Shift_JIS")});
    QCOMPARE(doc.prompts.lossShown.constFirst().characters.size(), 3);
    QCOMPARE(doc.prompts.lossShown.constFirst().total, 4);
    QCOMPARE(doc.files.encoding.toString(), encodingAfter);
    if (expectedFile.isEmpty()) {
        QVERIFY(!QFile::exists(inDir("out.txt")));
        QCOMPARE(doc.modified, 1);
        // The caret stands before the 😀 of line 2.
        const qsizetype at = guardedText().indexOf(QStringLiteral("😀"));
        QCOMPARE(doc.pane.selection(), (EditPane::Selection{at, at}));
    } else {
        QCOMPARE(readBytes(inDir("out.txt")), readBytes(fixture(expectedFile)));
        QCOMPARE(doc.modified, 0);
        // Saved once, the question does not come back for the same text.
        doc.prompts.lossShown.clear();
        doc.prompts.lossChoices = {Choice::Cancel};
        QVERIFY(doc.files.SaveDocument() == (choice == Choice::SaveAsUtf8));
        QCOMPARE(doc.prompts.lossShown.size(), choice == Choice::SaveAsUtf8 ? 0 : 1);
    }
}

void TestEncoding::cancelledGuardStopsTheSaveQuestion()
{
    Document doc(dir->path());
    doc.files.NewDocument();
    doc.pane.replaceSelection(guardedText());
    doc.prompts.saveAnswers = {inDir("out.txt")};
    doc.prompts.answers = {Answer::Yes};
    doc.prompts.lossChoices = {Choice::Cancel};
    doc.files.NewDocument();
    QCOMPARE(doc.pane.text(), guardedText());
    QCOMPARE(doc.modified, 1);
    QCOMPARE(doc.prompts.lossShown.size(), 1);
    QVERIFY(!QFile::exists(inDir("out.txt")));

    doc.prompts.answers = {Answer::Yes};
    doc.prompts.lossChoices = {Choice::Cancel};
    QVERIFY(!doc.files.QuerySaveChanges());
}

void TestEncoding::templateAndNewUseTheNewDocumentEncoding()
{
    Document doc(dir->path());
    doc.files.newDocumentEncoding = DocumentEncoding::utf8();
    doc.files.NewDocument();
    QCOMPARE(doc.files.encoding, DocumentEncoding::utf8());

    // A template with characters the code page lacks, saved as UTF-8 on request, comes back.
    doc.files.newDocumentEncoding = DocumentEncoding::shiftJis();
    doc.pane.replaceSelection(QStringLiteral("%Y年♥"));
    doc.prompts.lossChoices = {Choice::SaveAsUtf8};
    doc.files.SaveAsTemplate();
    QCOMPARE(readBytes(doc.files.GetTemplatePath()), QStringLiteral("%Y年♥").toUtf8());
    doc.modified = 0;
    doc.files.NewDocument();
    QCOMPARE(doc.pane.text(), QStringLiteral("2026年♥"));
    QCOMPARE(doc.files.encoding, DocumentEncoding::shiftJis());
}

void TestEncoding::reopenInChosenEncoding_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("reopened");

    QTest::newRow("No: reopened") << Answer::No << true;
    QTest::newRow("Cancel: nothing changes") << Answer::Cancel << false;
}

void TestEncoding::reopenInChosenEncoding()
{
    QFETCH(Answer, answer);
    QFETCH(bool, reopened);

    Document doc(dir->path());
    doc.prompts.openAnswers = {fixture("prose_eucjp.txt")};
    doc.files.OpenDocument();
    QCOMPARE(doc.files.encoding.kind, Kind::EucJp);
    doc.prompts.shown.clear();
    doc.prompts.answers = {answer};
    doc.files.ReopenWithEncoding(Kind::ShiftJis);
    QCOMPARE(doc.prompts.shown,
             QStringList{QStringLiteral("prose_eucjp.txt ") + resString(Str::SaveQuestion)});
    QCOMPARE(doc.files.encoding.kind, reopened ? Kind::ShiftJis : Kind::EucJp);
    QCOMPARE(doc.pane.text() == prose(), !reopened);
    QCOMPARE(doc.files.filePath, fixture("prose_eucjp.txt"));

    // And back: the chosen encoding reads the prose again.
    doc.prompts.answers = {Answer::No};
    doc.files.ReopenWithEncoding(Kind::EucJp);
    QCOMPARE(doc.pane.text(), prose());
    QCOMPARE(doc.files.encoding.toString(), QStringLiteral("EUC-JP;CRLF"));
}

void TestEncoding::choosingTheSaveEncodingMarksTheDocument()
{
    Document doc(dir->path());
    doc.prompts.openAnswers = {fixture("prose_utf8_lf.txt")};
    doc.files.OpenDocument();
    doc.modified = 0;
    doc.files.SetSaveEncoding(DocumentEncoding::utf8());
    QCOMPARE(doc.modified, 0);
    doc.files.SetSaveEncoding(parsed("UTF-16LE"));
    QCOMPARE(doc.modified, 1);
    // The file's line breaks go along; Shift_JIS has CR LF only.
    QCOMPARE(doc.files.encoding.toString(), QStringLiteral("UTF-16LE;LF"));
    doc.files.SetSaveEncoding(DocumentEncoding::shiftJis());
    QCOMPARE(doc.files.encoding.toString(), QStringLiteral("Shift_JIS;CRLF"));
}

QTEST_GUILESS_MAIN(TestEncoding)
#include "tst_encoding.moc"
