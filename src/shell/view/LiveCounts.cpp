#include "shell/view/LiveCounts.h"

#include "core/format/FormatTable.h"
#include "shell/framework/QtEditPane.h"

#include <QPainter>
#include <QTextBlock>

CountsPane::CountsPane(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void CountsPane::setText(const QString& text)
{
    if (text == shown)
        return;
    const bool wider = fontMetrics().horizontalAdvance(text) > fontMetrics().horizontalAdvance(shown);
    shown = text;
    if (wider)
        updateGeometry();
    update();
}

QSize CountsPane::sizeHint() const
{
    const int w = fontMetrics().horizontalAdvance(shown) + 2 * frameWidth() + 8;
    return {w, fontMetrics().height() + 2 * frameWidth()};
}

void CountsPane::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter p(this);
    p.drawText(contentsRect().adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, shown);
}

LiveCounts::LiveCounts(PaneWidget& w, const FormatTable& t, CountsPane& l) : pane(w), table(t), label(l)
{
    timer.setSingleShot(true);
    timer.setInterval(Delay);
    connect(&timer, &QTimer::timeout, this, &LiveCounts::update);
    connect(pane.document(), &QTextDocument::contentsChange, this, &LiveCounts::contentsChanged);
    connect(&pane, &QPlainTextEdit::cursorPositionChanged, this, &LiveCounts::selectionMoved);
    connect(&pane, &QPlainTextEdit::selectionChanged, this, &LiveCounts::selectionMoved);
    update();
}

void LiveCounts::selectionMoved()
{
    // A caret moving without a selection changes nothing that is shown.
    const bool has = pane.textCursor().hasSelection();
    if (has || hadSelection)
        timer.start();
    hadSelection = has;
}

void LiveCounts::contentsChanged(int position, int removed, int added)
{
    if (!removed && !added)
        return;
    timer.start();
    // The lines from the one holding `position` to the one holding the end of what was
    // added are new; the lines after them are the old ones moved.
    const QTextDocument* doc = pane.document();
    const QTextBlock first = doc->findBlock(position);
    QTextBlock last = doc->findBlock(position + added);
    if (!last.isValid())
        last = doc->lastBlock();
    const qsizetype lineCount = doc->blockCount();
    const qsizetype firstLine = first.isValid() ? first.blockNumber() : 0;
    const qsizetype now = last.blockNumber() - firstLine + 1;
    const qsizetype before = now + lines.lineCount() - lineCount;
    if (!first.isValid() || now < 1 || before < 0 || firstLine + before > lines.lineCount()) {
        lines.replaceLines(0, lines.lineCount(), lineCount);
        return;
    }
    lines.replaceLines(firstLine, before, now);
}

QString LiveCounts::lineText(qsizetype line) const
{
    return QtEditPane::lineText(pane.document()->findBlockByNumber(int(line)));
}

void LiveCounts::update()
{
    timer.stop();
    const QStringList markers = formatMarkers(table);
    if (markers != lines.markers() || lines.lineCount() != pane.document()->blockCount()) {
        lines = LineCountTable(markers);
        lines.replaceLines(0, lines.lineCount(), pane.document()->blockCount());
    }
    QtEditPane& ep = pane.pane();
    wholeCounts = lines.counts([this](qsizetype n) { return lineText(n); }, [&ep] { return ep.text(); });
    // Only the selection is counted again, on its own.
    const EditPane::Selection s = ep.selection();
    selectionCounts.reset();
    if (!s.isEmpty())
        selectionCounts = countText(QStringView(ep.text()).sliced(s.start, s.end - s.start), lines.markers());
    label.setText(countsLabel(wholeCounts, selectionCounts));
}
