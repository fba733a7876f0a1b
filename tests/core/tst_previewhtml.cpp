#include "core/view/PreviewHtml.h"

#include <QTest>

class TestPreviewHtml : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void html_data();
    void html();
    void caretPlace_data();
    void caretPlace();
    void longTextShowsTheLinesAroundTheCaret();
};

void TestPreviewHtml::html_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("html");
    QTest::newRow("line breaks") << "a\r\nb\r\n"
                                 << "a<br>\nb<br>\n";
    QTest::newRow("lone CR dropped") << "a\rb"
                                     << "ab";
    QTest::newRow("break inside a tag stays in it") << "<FONT\r\nCOLOR=\"red\">x</FONT>"
                                                    << "<FONT  COLOR=\"red\">x</FONT>";
    QTest::newRow("bare alignment word") << "<P CENTER>x</P>"
                                         << "<P align=\"center\">x</P>";
    QTest::newRow("alignment in lower case") << "<p right>x</p>"
                                             << "<p align=\"right\">x</p>";
    QTest::newRow("align attribute kept") << "<p align=\"left\" center>x</p>"
                                          << "<p align=\"left\" center>x</p>";
    QTest::newRow("only block tags") << "<FONT CENTER>x</FONT>"
                                     << "<FONT CENTER>x</FONT>";
    QTest::newRow("< that starts no tag") << "1 < 2 <3"
                                          << "1 &lt; 2 &lt;3";
    QTest::newRow("unclosed tag") << "<B x"
                                  << "&lt;B x";
    QTest::newRow("references pass") << "&amp;&lt;"
                                     << "&amp;&lt;";
}

void TestPreviewHtml::html()
{
    QFETCH(QString, text);
    QFETCH(QString, html);
    const PreviewPage page = previewPage(text, 0);
    QCOMPARE(page.html, html);
    QVERIFY(!page.excerpt);
}

void TestPreviewHtml::caretPlace_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("caret");
    QTest::addColumn<double>("place");
    const QString fourLines = QStringLiteral("a\r\nb\r\nc\r\nd\r\ne");
    QTest::newRow("top") << fourLines << qsizetype(0) << 0.0;
    QTest::newRow("middle line") << fourLines << qsizetype(6) << 0.5;
    QTest::newRow("end") << fourLines << fourLines.size() << 1.0;
    QTest::newRow("one line") << QStringLiteral("abc") << qsizetype(2) << 0.0;
    QTest::newRow("inside a tag over two lines")
        << QStringLiteral("x\r\n<B\r\nC>y\r\nz") << qsizetype(7) << 2.0 / 3;
    QTest::newRow("at a tag's start") << QStringLiteral("x\r\n<B\r\nC>y\r\nz") << qsizetype(3) << 1.0 / 3;
}

void TestPreviewHtml::caretPlace()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, caret);
    QFETCH(double, place);
    QCOMPARE(previewPage(text, caret).caretPlace, place);
}

void TestPreviewHtml::longTextShowsTheLinesAroundTheCaret()
{
    QStringList lines;
    for (int i = 0; i < 1000; ++i)
        lines << QStringLiteral("line%1").arg(i, 4, 10, QChar(u'0'));
    const QString text = lines.join(u"\r\n");
    const qsizetype caret = text.indexOf(u"line0500");
    const PreviewPage page = previewPage(text, caret, 2000);
    QVERIFY(page.excerpt);
    QVERIFY(page.html.contains(u"line0500"));
    QVERIFY(!page.html.contains(u"line0000"));
    QVERIFY(!page.html.contains(u"line0999"));
    // Whole lines only.
    QVERIFY(page.html.contains(QRegularExpression(QStringLiteral("</p>line\\d{4}<br>"))));
    QVERIFY(page.html.endsWith(u"<br>\n"));
    QVERIFY(page.caretPlace > 0.4 && page.caretPlace < 0.6);

    // Near the end the window keeps its size and ends with the text.
    const PreviewPage last = previewPage(text, text.size(), 2000);
    QVERIFY(last.html.endsWith(u"line0999"));
    QCOMPARE(last.caretPlace, 1.0);
    QVERIFY(last.html.size() > 2000);
}

QTEST_GUILESS_MAIN(TestPreviewHtml)
#include "tst_previewhtml.moc"
