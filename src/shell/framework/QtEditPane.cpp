#include "shell/framework/QtEditPane.h"
#include "core/base/TextCut.h"

#include "core/res/Accelerators.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QTextBlock>
#include <QTextObjectInterface>
#include <QUrl>
#include <algorithm>

namespace {
QTextCharFormat plainFormat()
{
    return QTextCharFormat();
}

// Nothing but the object type: QTextCursor drops it from the format it passes on, so the
// text typed after a marker is left with no format of its own.
QTextCharFormat loneCrFormat()
{
    QTextCharFormat f;
    f.setObjectType(PaneWidget::LoneCrObject);
    return f;
}

bool isLoneCr(const QTextFragment& f)
{
    return f.charFormat().objectType() == PaneWidget::LoneCrObject;
}

class LoneCrDrawer final : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    explicit LoneCrDrawer(PaneWidget& pane) : QObject(&pane), pane(pane) {}

    QSizeF intrinsicSize(QTextDocument* doc, int, const QTextFormat&) override
    {
        // The layout puts the object's height above the baseline.
        const QFontMetricsF m(doc->defaultFont());
        return {m.horizontalAdvance(QChar(PaneWidget::LoneCrMarker)), m.ascent()};
    }

    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int,
                    const QTextFormat&) override
    {
        painter->save();
        painter->setFont(doc->defaultFont());
        painter->setPen(pane.palette().color(QPalette::Disabled, QPalette::Text));
        painter->drawText(QPointF(rect.left(), rect.bottom()), QString(QChar(PaneWidget::LoneCrMarker)));
        painter->restore();
    }

private:
    PaneWidget& pane;
};

qsizetype panePositionOfBlock(const QTextBlock& b)
{
    return qsizetype(b.position()) + b.blockNumber();
}
} // namespace

QtEditPane::QtEditPane(PaneWidget& w) : widget(w) {}

void QtEditPane::documentChanged()
{
    cacheValid = false;
    if (!settingText)
        notifyChanged();
}

qsizetype QtEditPane::toPanePosition(int documentPosition) const
{
    const QTextBlock b = widget.document()->findBlock(documentPosition);
    return qsizetype(documentPosition) +
           (b.isValid() ? b.blockNumber() : widget.document()->blockCount() - 1);
}

int QtEditPane::toDocumentPosition(qsizetype p) const
{
    const QTextDocument* doc = widget.document();
    int lo = 0, hi = doc->blockCount() - 1;
    while (lo < hi) { // last block whose pane start is at or before p
        const int mid = (lo + hi + 1) / 2;
        if (panePositionOfBlock(doc->findBlockByNumber(mid)) <= p)
            lo = mid;
        else
            hi = mid - 1;
    }
    const QTextBlock b = doc->findBlockByNumber(lo);
    const qsizetype offset = std::min<qsizetype>(p - panePositionOfBlock(b), b.length() - 1);
    return b.position() + int(std::max<qsizetype>(offset, 0));
}

qsizetype QtEditPane::length() const
{
    const QTextDocument* doc = widget.document();
    return qsizetype(doc->characterCount() - 1) + (doc->blockCount() - 1);
}

EditPane::Selection QtEditPane::selection() const
{
    const QTextCursor c = widget.textCursor();
    return {toPanePosition(c.selectionStart()), toPanePosition(c.selectionEnd())};
}

void QtEditPane::setSelection(qsizetype start, qsizetype end)
{
    const qsizetype n = length();
    if (end < 0)
        end = n;
    start = std::clamp<qsizetype>(start, 0, n);
    end = std::clamp<qsizetype>(end, 0, n);
    QTextCursor c(widget.document());
    c.setPosition(toDocumentPosition(start));
    c.setPosition(toDocumentPosition(end), QTextCursor::KeepAnchor);
    widget.setTextCursor(c);
}

void QtEditPane::scrollCaret()
{
    widget.ensureCursorVisible();
}

void QtEditPane::insertPaneText(QTextCursor& cursor, QStringView text)
{
    // Line breaks are CR LF here; a CR without its LF becomes the marker.
    qsizetype start = 0;
    const QTextCharFormat plain = plainFormat();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' || (i + 1 < text.size() && text[i + 1] == u'\n'))
            continue;
        if (i > start)
            cursor.insertText(text.sliced(start, i - start).toString(), plain);
        cursor.insertText(QString(QChar::ObjectReplacementCharacter), loneCrFormat());
        start = i + 1;
    }
    if (start < text.size())
        cursor.insertText(text.sliced(start).toString(), plain);
}

void QtEditPane::replaceSelection(const QString& text)
{
    const QString normalised = withPaneLineBreaks(text);
    QTextCursor c = widget.textCursor();
    const qsizetype selected = toPanePosition(c.selectionEnd()) - toPanePosition(c.selectionStart());
    const QStringView fitted = fitToRoom(normalised, TextLimit - (length() - selected));
    c.beginEditBlock();
    c.removeSelectedText();
    insertPaneText(c, fitted);
    c.endEditBlock();
    widget.setTextCursor(c);
}

const QString& QtEditPane::text() const
{
    if (cacheValid)
        return cache;
    cache.clear();
    cache.reserve(length());
    for (QTextBlock b = widget.document()->begin(); b.isValid(); b = b.next()) {
        if (b != widget.document()->begin())
            cache += u"\r\n";
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!isLoneCr(f)) {
                cache += f.text();
                continue;
            }
            for (const QChar ch : f.text())
                cache += ch == QChar::ObjectReplacementCharacter ? QChar(u'\r') : ch;
        }
    }
    cacheValid = true;
    return cache;
}

QString QtEditPane::lineText(const QTextBlock& block)
{
    QString line;
    line.reserve(block.length());
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (!isLoneCr(f)) {
            line += f.text();
            continue;
        }
        for (const QChar ch : f.text())
            line += ch == QChar::ObjectReplacementCharacter ? QChar(u'\r') : ch;
    }
    return line;
}

QString QtEditPane::textOf(int documentStart, int documentEnd) const
{
    const qsizetype a = toPanePosition(documentStart), b = toPanePosition(documentEnd);
    return text().sliced(a, b - a);
}

void QtEditPane::setText(const QString& t)
{
    settingText = true;
    QTextDocument* doc = widget.document();
    doc->setUndoRedoEnabled(false);
    doc->clear();
    QTextCursor c(doc);
    c.beginEditBlock();
    insertPaneText(c, withPaneLineBreaks(t));
    c.endEditBlock();
    doc->setUndoRedoEnabled(true);
    widget.setTextCursor(QTextCursor(doc));
    settingText = false;
    cacheValid = false;
}

void QtEditPane::beginUndoGroup()
{
    if (groupDepth++ == 0) {
        groupCursor = QTextCursor(widget.document());
        groupCursor.beginEditBlock();
    }
}

void QtEditPane::endUndoGroup()
{
    if (--groupDepth == 0)
        groupCursor.endEditBlock();
}

PaneWidget::PaneWidget(QWidget* parent) : QPlainTextEdit(parent), editPane(*this)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setAcceptDrops(true);
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if (removed || added)
            editPane.documentChanged();
    });
    document()->documentLayout()->registerHandler(LoneCrObject, new LoneCrDrawer(*this));
}

void PaneWidget::setPaneFont(const QFont& font)
{
    setFont(font);
    document()->setDefaultFont(font);
    // Tab stops every 32 dialog units: eight average characters.
    setTabStopDistance(fontMetrics().averageCharWidth() * 8);
}

bool PaneWidget::event(QEvent* e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        // The program's own keys go to its commands, not to the widget's built-in handling.
        const auto* k = static_cast<QKeyEvent*>(e);
        const auto mods = k->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        for (const Accelerator& a : acceleratorTable())
            if (a.key == k->key() && a.modifiers == mods) {
                e->ignore();
                return false;
            }
    }
    return QPlainTextEdit::event(e);
}

qsizetype PaneWidget::roomFor(qsizetype added) const
{
    const QTextCursor c = textCursor();
    const qsizetype selected =
        editPane.toPanePosition(c.selectionEnd()) - editPane.toPanePosition(c.selectionStart());
    return EditPane::TextLimit - (editPane.length() - selected) - added;
}

void PaneWidget::keyPressEvent(QKeyEvent* e)
{
    const QString t = e->text();
    const bool inserts = !t.isEmpty() && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
                         (t[0].isPrint() || t[0] == u'\t' || t[0] == u'\r' || t[0] == u'\n');
    if (inserts && roomFor(t[0] == u'\r' || t[0] == u'\n' ? 2 : t.size()) < 0) {
        QApplication::beep();
        e->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

void PaneWidget::inputMethodEvent(QInputMethodEvent* e)
{
    if (!e->commitString().isEmpty() && roomFor(e->commitString().size()) < 0) {
        QInputMethodEvent trimmed(e->preeditString(), e->attributes());
        trimmed.setCommitString(fitToRoom(e->commitString(), roomFor(0)).toString());
        QPlainTextEdit::inputMethodEvent(&trimmed);
        return;
    }
    QPlainTextEdit::inputMethodEvent(e);
}

bool PaneWidget::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasText();
}

void PaneWidget::insertFromMimeData(const QMimeData* source)
{
    if (source->hasText())
        editPane.replaceSelection(source->text());
    ensureCursorVisible();
}

QMimeData* PaneWidget::createMimeDataFromSelection() const
{
    const QTextCursor c = textCursor();
    auto* data = new QMimeData;
    data->setText(editPane.textOf(c.selectionStart(), c.selectionEnd()));
    return data;
}

namespace {
QStringList localFiles(const QMimeData* data)
{
    QStringList paths;
    if (data && data->hasUrls())
        for (const QUrl& u : data->urls())
            if (u.isLocalFile())
                paths.append(u.toLocalFile());
    return paths;
}
} // namespace

void PaneWidget::dragEnterEvent(QDragEnterEvent* e)
{
    if (!localFiles(e->mimeData()).isEmpty()) {
        e->acceptProposedAction();
        return;
    }
    QPlainTextEdit::dragEnterEvent(e);
}

void PaneWidget::dragMoveEvent(QDragMoveEvent* e)
{
    if (!localFiles(e->mimeData()).isEmpty()) {
        e->acceptProposedAction();
        return;
    }
    QPlainTextEdit::dragMoveEvent(e);
}

void PaneWidget::dropEvent(QDropEvent* e)
{
    const QStringList files = localFiles(e->mimeData());
    if (!files.isEmpty()) {
        e->acceptProposedAction();
        Q_EMIT filesDropped(files);
        return;
    }
    QPlainTextEdit::dropEvent(e);
}

#include "QtEditPane.moc"
