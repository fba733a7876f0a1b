#include "shell/view/LiveCounts.h"

#include "core/format/FormatTable.h"
#include "shell/framework/QtEditPane.h"

#include <QPainter>

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
    connect(pane.document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if (removed || added)
            timer.start();
    });
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

void LiveCounts::update()
{
    timer.stop();
    const PaneCounts c = countPane(pane.pane(), formatMarkers(table));
    wholeCounts = c.whole;
    selectionCounts = c.selection;
    label.setText(countsLabel(wholeCounts, selectionCounts));
}
