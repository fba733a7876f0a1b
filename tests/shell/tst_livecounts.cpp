#include "core/format/FormatTable.h"
#include "shell/framework/QtEditPane.h"
#include "shell/view/LiveCounts.h"

#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

// The counts pane kept line by line must show what a count of the whole text gives, after
// any edit the pane can make: typing, pasting lines, deleting across lines, lone CRs, undo.
class TestLiveCounts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void matchesAWholeCountOverEdits_data();
    void matchesAWholeCountOverEdits();
    void formatChangesAreCounted();
};

void TestLiveCounts::matchesAWholeCountOverEdits_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 4; ++seed)
        QTest::addRow("seed %u", seed) << seed;
}

void TestLiveCounts::matchesAWholeCountOverEdits()
{
    QFETCH(quint32, seed);
    PaneWidget widget;
    FormatTable table;
    CountsPane label;
    LiveCounts counts(widget, table, label);
    QtEditPane& pane = widget.pane();
    const QStringList markers = formatMarkers(table);
    const QStringList pieces{u"a"_qs,   u"日本"_qs, u"\U0001F600"_qs, u"<"_qs,        u">"_qs,
                             u"<b>"_qs, u"</b>"_qs, u"<a\r\nhref"_qs, u"&amp;"_qs,    u"'''"_qs,
                             u"''"_qs,  u"\r"_qs,   u"\r\n"_qs,       u"\r\n\r\n"_qs, u" "_qs};
    QRandomGenerator random(seed);
    const auto randomText = [&] {
        QString text;
        for (int n = int(random.bounded(8)); n > 0; --n)
            text += pieces[random.bounded(int(pieces.size()))];
        return text;
    };

    pane.setText(u"<p>一行目\r\n<b>二行目</b>\r\n"_qs);
    for (int edit = 0; edit < 300; ++edit) {
        const qsizetype length = pane.length();
        qsizetype start = random.bounded(int(length + 1));
        qsizetype end = std::min(length, start + qsizetype(random.bounded(12)));
        // A position inside a CR LF is no place to edit.
        const QString& text = pane.text();
        const auto inBreak = [&text](qsizetype p) { return p > 0 && p < text.size() && text[p] == u'\n'; };
        if (inBreak(start))
            --start;
        if (inBreak(end))
            ++end;
        switch (random.bounded(5)) {
        case 0:
            widget.undo();
            break;
        case 1: // typed
            widget.setFocus();
            pane.setSelection(start, start);
            QTest::keyClicks(&widget, u"x"_qs);
            break;
        default:
            pane.setSelection(start, end);
            pane.replaceSelection(randomText());
        }
        if (random.bounded(3) == 0) {
            const qsizetype a = random.bounded(int(pane.length() + 1));
            const qsizetype b = random.bounded(int(pane.length() + 1));
            pane.setSelection(std::min(a, b), std::max(a, b));
            counts.update();
            const QString whole = pane.text();
            QVERIFY2(counts.whole() == countText(whole, markers), qPrintable(whole));
            const EditPane::Selection s = pane.selection();
            QCOMPARE(counts.selection().has_value(), !s.isEmpty());
            if (!s.isEmpty())
                QVERIFY(*counts.selection() ==
                        countText(QStringView(whole).sliced(s.start, s.end - s.start), markers));
        }
    }
}

void TestLiveCounts::formatChangesAreCounted()
{
    PaneWidget widget;
    FormatTable table;
    CountsPane label;
    LiveCounts counts(widget, table, label);
    widget.pane().setText(u"※注\r\n※二"_qs);
    counts.update();
    QCOMPARE(counts.whole().visible, 4);
    table.base[6] = {u"※"_qs, QString()};
    counts.update();
    QCOMPARE(counts.whole().visible, 2);
}

QTEST_MAIN(TestLiveCounts)
#include "tst_livecounts.moc"
