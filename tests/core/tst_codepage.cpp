#include "core/base/CodePage.h"
#include "core/view/SymbolTable.h"

#include <QTest>

class TestCodePage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void conversions_data();
    void conversions();
    void everySymbolRoundTrips();
};

void TestCodePage::conversions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("decoded");
    QTest::newRow("ascii") << "abc\r\n" << QByteArray("abc\r\n") << "abc\r\n";
    QTest::newRow("kana") << "あ" << QByteArray("\x82\xA0") << "あ";
    QTest::newRow("windows extension ①") << "①" << QByteArray("\x87\x40") << "①";
    QTest::newRow("wave dash is the full-width tilde") << "～" << QByteArray("\x81\x60") << "～";
    QTest::newRow("outside the code page") << "a€b" << QByteArray("a?b") << "a?b";
    QTest::newRow("supplementary character") << "𠮷" << QByteArray("?") << "?";
    QTest::newRow("no best fit for À") << "À" << QByteArray("?") << "?";
    // Code page 932 maps every control code to itself; a U+001C saved as 0x1A would end
    // the document there on the next open.
    QTest::newRow("controls 1A 1C 7F one to one")
        << u"a\x1A\x1C\x7F\x1Bz"_qs << QByteArray("a\x1A\x1C\x7F\x1Bz") << u"a\x1A\x1C\x7F\x1Bz"_qs;
}

void TestCodePage::conversions()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, decoded);
    QCOMPARE(CodePage::fromUnicode(text), bytes);
    QCOMPARE(CodePage::toUnicode(bytes), decoded);
}

void TestCodePage::everySymbolRoundTrips()
{
    for (char16_t c : SymbolTable::cells()) {
        const QString s(QChar{c});
        const QByteArray b = CodePage::fromUnicode(s);
        QVERIFY2(b != "?", qPrintable(QStringLiteral("U+%1 is not in code page 932").arg(int(c), 4, 16)));
        QCOMPARE(CodePage::toUnicode(b), s);
    }
}

QTEST_GUILESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
