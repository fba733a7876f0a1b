#pragma once

#include "core/base/EditPane.h"

#include <QPlainTextEdit>
#include <QStringList>
#include <QTextBlock>

class PaneWidget;

// EditPane over the Qt widget. The widget's document keeps one block per line; a CR that
// is not part of a line break is kept as an inline object drawn as a marker, so the whole
// text reads back exactly as it was set or built. An object's format is the one format Qt
// never hands on to text typed or inserted next to it.
class QtEditPane final : public EditPane {
public:
    explicit QtEditPane(PaneWidget& widget);

    Selection selection() const override;
    void setSelection(qsizetype start, qsizetype end) override;
    void scrollCaret() override;
    void replaceSelection(const QString& text) override;
    const QString& text() const override;
    void setText(const QString& text) override;
    qsizetype length() const override;
    void beginUndoGroup() override;
    void endUndoGroup() override;

    qsizetype toPanePosition(int documentPosition) const;
    int toDocumentPosition(qsizetype panePosition) const;
    // The pane text of a document range, line breaks as CR LF.
    QString textOf(int documentStart, int documentEnd) const;
    // The pane text of one line, without its line break.
    static QString lineText(const QTextBlock& block);

private:
    friend class PaneWidget;
    void documentChanged();
    void insertPaneText(QTextCursor& cursor, QStringView text);

    PaneWidget& widget;
    mutable QString cache;
    mutable bool cacheValid = false;
    bool settingText = false;
    QTextCursor groupCursor;
    int groupDepth = 0;
};

// The edit pane widget: wraps long lines, has no horizontal scroll bar, keeps its selection
// shown without the focus, accepts dropped files and stops input at the text limit.
class PaneWidget : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit PaneWidget(QWidget* parent = nullptr);

    QtEditPane& pane() { return editPane; }
    void setPaneFont(const QFont& font);

    static constexpr int LoneCrObject = QTextFormat::UserObject + 1;
    // The glyph a lone CR is shown and printed as.
    static constexpr char16_t LoneCrMarker = u'\u240D';

Q_SIGNALS:
    void filesDropped(const QStringList& paths);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    qsizetype roomFor(qsizetype added) const;
    QtEditPane editPane;
};
