#include "shell/view/CMarkDlg.h"

#include "core/view/SymbolGrid.h"
#include "core/view/SymbolTable.h"
#include "shell/view/CKumorialView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

bool CMarkDlg::pickerOpen = false;

CMarkDlg::CMarkDlg(CKumorialView& view, QWidget* parent)
    : TemplateDialog(DialogTemplates::SymbolPicker, parent), targetView(view)
{
    setModal(false);
}

CMarkDlg::~CMarkDlg()
{
    pickerOpen = false;
}

CMarkDlg* CMarkDlg::open(CKumorialView& view, QWidget* parent)
{
    if (pickerOpen)
        return nullptr;
    pickerOpen = true;
    auto* picker = new CMarkDlg(view, parent);
    picker->show();
    return picker;
}

void CMarkDlg::initDialog()
{
    selectedCell = 0;
}

void CMarkDlg::done(int result)
{
    pickerOpen = false;
    TemplateDialog::done(result);
    // A hidden modeless dialog is not closed; it goes with its window.
    deleteLater();
}

void CMarkDlg::InsertSelectedSymbol()
{
    if (selectedCell < 0 || selectedCell >= SymbolTable::Count)
        return;
    targetView.insertCharacter(SymbolTable::cells()[selectedCell]);
}

bool CMarkDlg::preTranslateKey(QKeyEvent* event)
{
    SymbolGrid::Key key = SymbolGrid::Key::Other;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter inserts; it never presses "閉じる".
        InsertSelectedSymbol();
        return true;
    case Qt::Key_Home:
        key = SymbolGrid::Key::Home;
        break;
    case Qt::Key_End:
        key = SymbolGrid::Key::End;
        break;
    case Qt::Key_Left:
        key = SymbolGrid::Key::Left;
        break;
    case Qt::Key_Up:
        key = SymbolGrid::Key::Up;
        break;
    case Qt::Key_Right:
        key = SymbolGrid::Key::Right;
        break;
    case Qt::Key_Down:
        key = SymbolGrid::Key::Down;
        break;
    default:
        return false;
    }
    const int next = SymbolGrid::afterKey(selectedCell, key);
    if (next != selectedCell) {
        selectedCell = next;
        update();
    }
    return false;
}

void CMarkDlg::paintEvent(QPaintEvent* event)
{
    TemplateDialog::paintEvent(event);
    QPainter painter(this);
    QFont font(QStringLiteral("ＭＳ ゴシック"));
    font.setPixelSize(16);
    font.setWeight(QFont::Normal);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const auto& cells = SymbolTable::cells();
    for (int i = 0; i < SymbolTable::Count; ++i) {
        const int row = i / SymbolTable::Columns;
        const int column = i % SymbolTable::Columns;
        const bool selected = i == selectedCell;
        const QString text = QString(QChar(cells[i]));
        // As opaque text output: the background fills the character's own box only.
        const QRect box(SymbolGrid::CellPixels * column + SymbolGrid::CellInset,
                        SymbolGrid::CellPixels * row + SymbolGrid::CellInset, metrics.horizontalAdvance(text),
                        metrics.height());
        painter.fillRect(box, selected ? palette().color(QPalette::Highlight) : QColor(255, 255, 255));
        painter.setPen(selected ? palette().color(QPalette::HighlightedText) : QColor(0, 0, 0));
        painter.drawText(box.left(), box.top() + metrics.ascent(), text);
    }
}

void CMarkDlg::selectAt(const QPoint& point)
{
    selectedCell = SymbolGrid::hitTest(point.x(), point.y());
    update();
}

void CMarkDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        selectAt(event->position().toPoint());
    TemplateDialog::mousePressEvent(event);
}

void CMarkDlg::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        selectAt(event->position().toPoint());
        InsertSelectedSymbol();
    }
    TemplateDialog::mouseDoubleClickEvent(event);
}
