#pragma once

#include "core/view/TextCounts.h"

#include <QFrame>
#include <QObject>
#include <QTimer>

class PaneWidget;
struct FormatTable;

// A status-bar pane that shows one line of text.
class CountsPane : public QFrame {
    Q_OBJECT
public:
    explicit CountsPane(QWidget* parent = nullptr);
    QString text() const { return shown; }
    void setText(const QString& text);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString shown;
};

// Keeps the counts pane up to date. An edit only marks the lines it touched; once typing
// pauses for Delay, those lines are counted again and the pane shows the sums.
class LiveCounts : public QObject {
    Q_OBJECT
public:
    static constexpr int Delay = 100;

    LiveCounts(PaneWidget& pane, const FormatTable& table, CountsPane& label);

    // Counts now; the pane otherwise catches up once the text has been still for Delay.
    void update();
    const TextCounts& whole() const { return wholeCounts; }
    const std::optional<TextCounts>& selection() const { return selectionCounts; }

private:
    void selectionMoved();
    void contentsChanged(int position, int removed, int added);
    QString lineText(qsizetype line) const;

    PaneWidget& pane;
    const FormatTable& table;
    CountsPane& label;
    QTimer timer;
    bool hadSelection = false;
    LineCountTable lines;
    TextCounts wholeCounts;
    std::optional<TextCounts> selectionCounts;
};
