#include "core/base/Prompts.h"
#include "core/format/FormatTable.h"
#include "core/view/PreviewHtml.h"
#include "shell/framework/QtEditPane.h"
#include "shell/view/LiveCounts.h"
#include "shell/view/PreviewDock.h"
#include "support/OffscreenApp.h"
#include "support/StandInPrompts.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPointer>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>

// One keystroke at the end of a full pane, in a window with the counts pane and the preview
// on and with both off: what typing costs while they wait for a pause. The work they do at
// the pause is measured on its own.
namespace {
// A blog entry's lines with markup, up to one character short of the pane's limit.
QString nearlyFullText()
{
    const QString line =
        QStringLiteral("今日は<B>晴れ</B>でした。'''強調''' <a href=\"http://x.jp/\">こちら</a> abc\r\n");
    QString text;
    text.reserve(EditPane::TextLimit);
    while (text.size() + line.size() < EditPane::TextLimit)
        text += line;
    text += QString(EditPane::TextLimit - 1 - text.size(), u'x');
    return text;
}

struct Window {
    explicit Window(bool extras)
    {
        pane = new PaneWidget;
        window.setCentralWidget(pane);
        if (extras) {
            label = new CountsPane;
            window.statusBar()->addPermanentWidget(label);
            counts = std::make_unique<LiveCounts>(*pane, table, *label);
            dock = new PreviewDock(*pane, prompts, &window);
            window.addDockWidget(Qt::RightDockWidgetArea, dock);
        }
        window.resize(1000, 700);
        window.show();
        pane->pane().setText(nearlyFullText());
        pane->pane().setSelection(-1, -1);
        pane->pane().setSelection(pane->pane().length(), pane->pane().length());
        pane->setFocus();
        if (counts)
            counts->update();
        if (dock)
            dock->refresh();
        QApplication::processEvents();
    }

    void key(int key, const QString& text)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(pane, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(pane, &release);
        QApplication::processEvents();
    }

    QMainWindow window;
    PaneWidget* pane = nullptr;
    FormatTable table;
    NullPrompts prompts;
    CountsPane* label = nullptr;
    std::unique_ptr<LiveCounts> counts;
    PreviewDock* dock = nullptr;
};

void keystroke(benchmark::State& state, bool extras)
{
    TestSupport::offscreenApplication();
    Window w(extras);
    const qsizetype length = w.pane->pane().length();
    for (auto _ : state) {
        w.key(Qt::Key_X, QStringLiteral("x"));
        state.PauseTiming();
        w.key(Qt::Key_Backspace, QString());
        state.ResumeTiming();
    }
    if (w.pane->pane().length() != length)
        state.SkipWithError("the keystrokes did not type and delete one character");
}

void BM_KeystrokeFullPanePlain(benchmark::State& state)
{
    keystroke(state, false);
}

void BM_KeystrokeFullPaneCountsAndPreview(benchmark::State& state)
{
    keystroke(state, true);
}

// What runs once typing has paused.
void BM_CountsFullPane(benchmark::State& state)
{
    TestSupport::offscreenApplication();
    Window w(true);
    for (auto _ : state) {
        state.PauseTiming();
        w.key(Qt::Key_X, QStringLiteral("x")); // the pane's text has to be read again, as after typing
        w.key(Qt::Key_Backspace, QString());
        state.ResumeTiming();
        w.counts->update();
    }
}

// The whole text counted afresh after the same edit: what the pause cost before the counts
// were kept line by line.
void BM_FullRecountFullPane(benchmark::State& state)
{
    TestSupport::offscreenApplication();
    Window w(true);
    const QStringList markers = formatMarkers(w.table);
    for (auto _ : state) {
        state.PauseTiming();
        w.key(Qt::Key_X, QStringLiteral("x"));
        w.key(Qt::Key_Backspace, QString());
        state.ResumeTiming();
        benchmark::DoNotOptimize(countPane(w.pane->pane(), markers));
    }
}

void BM_PreviewRefreshFullPane(benchmark::State& state)
{
    TestSupport::offscreenApplication();
    Window w(true);
    for (auto _ : state)
        w.dock->refresh();
}

// The UI thread's share of a refresh built on the worker: the request, then the events
// that bring the page back and swap it in. The worker's own time is not counted.
void BM_PreviewBackgroundRefreshFullPane(benchmark::State& state)
{
    TestSupport::offscreenApplication();
    Window w(true);
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        // An edit first, as after typing: the pane's text is read afresh, and that counts.
        w.key(Qt::Key_X, QStringLiteral("x"));
        w.key(Qt::Key_Backspace, QString());
        Clock::duration ui{};
        auto start = Clock::now();
        w.dock->refreshInBackground();
        ui += Clock::now() - start;
        while (w.dock->building()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            start = Clock::now();
            QCoreApplication::processEvents();
            ui += Clock::now() - start;
        }
        state.SetIterationTime(std::chrono::duration<double>(ui).count());
    }
}

// The parts of one refresh: the pane's text read afresh after an edit, the page built from
// it, and the browser's document set and laid out.
void BM_PreviewReadTextFullPane(benchmark::State& state)
{
    TestSupport::offscreenApplication();
    Window w(true);
    for (auto _ : state) {
        state.PauseTiming();
        w.key(Qt::Key_X, QStringLiteral("x"));
        w.key(Qt::Key_Backspace, QString());
        state.ResumeTiming();
        benchmark::DoNotOptimize(w.pane->pane().text().size());
    }
}

void BM_PreviewHtmlFullPane(benchmark::State& state)
{
    const QString text = nearlyFullText();
    for (auto _ : state)
        benchmark::DoNotOptimize(previewPage(text, text.size()).html.size());
}

void BM_PreviewImportFullPane(benchmark::State& state)
{
    TestSupport::offscreenApplication();
    const QString html = previewPage(nearlyFullText(), EditPane::TextLimit).html;
    for (auto _ : state) {
        QTextDocument doc;
        doc.setHtml(html);
        benchmark::DoNotOptimize(doc.blockCount());
    }
}

void swapIn(benchmark::State& state, bool laidOut)
{
    TestSupport::offscreenApplication();
    Window w(true);
    const QString html = previewPage(nearlyFullText(), EditPane::TextLimit).html;
    PreviewBrowser* b = w.dock->browser();
    for (auto _ : state) {
        state.PauseTiming();
        auto* doc = new QTextDocument;
        doc->setDefaultFont(b->font());
        doc->setHtml(html);
        if (laidOut) {
            doc->setPageSize(QSizeF(b->viewport()->width(), -1));
            benchmark::DoNotOptimize(doc->documentLayout()->documentSize());
        }
        const QPointer<QTextDocument> old = b->document();
        state.ResumeTiming();
        b->setDocument(doc);
        QScrollBar* bar = b->verticalScrollBar();
        bar->setValue(bar->maximum() / 2);
        state.PauseTiming();
        if (old && !old->parent())
            delete old.get();
        state.ResumeTiming();
    }
}
void BM_PreviewSwapInFullPane(benchmark::State& state)
{
    swapIn(state, false);
}
void BM_PreviewSwapInLaidOutFullPane(benchmark::State& state)
{
    swapIn(state, true);
}

void BM_PreviewSetHtmlFullPane(benchmark::State& state)
{
    TestSupport::offscreenApplication();
    Window w(true);
    const QString html = previewPage(nearlyFullText(), EditPane::TextLimit).html;
    for (auto _ : state) {
        w.dock->browser()->setHtml(html);
        benchmark::DoNotOptimize(w.dock->browser()->verticalScrollBar()->maximum());
    }
}
} // namespace

BENCHMARK(BM_KeystrokeFullPanePlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeystrokeFullPaneCountsAndPreview)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountsFullPane)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRecountFullPane)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewRefreshFullPane)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewBackgroundRefreshFullPane)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewReadTextFullPane)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewHtmlFullPane)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewImportFullPane)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewSwapInFullPane)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewSwapInLaidOutFullPane)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewSetHtmlFullPane)->Unit(benchmark::kMillisecond);
