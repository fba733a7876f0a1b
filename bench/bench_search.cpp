#include "core/base/Prompts.h"
#include "core/search/FindReplace.h"
#include "core/search/Search.h"
#include "shell/framework/QtEditPane.h"
#include "support/MemoryPane.h"
#include "support/OffscreenApp.h"
#include "support/StandInPrompts.h"

#include <QApplication>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstring>
#include <functional>
#include <memory>

namespace {
// A full pane of Japanese prose with ASCII markup; the needle's first letters occur often.
QString fullPaneText()
{
    const QString line = QStringLiteral("今日は<B>晴れ</B>でした。Blog entry text, Ａｂｃ äöü abcd!\r\n");
    QString text;
    text.reserve(EditPane::TextLimit);
    while (text.size() + line.size() <= EditPane::TextLimit)
        text += line;
    text += QString(EditPane::TextLimit - text.size(), u'x');
    return text;
}

const QString& paneText()
{
    static const QString text = fullPaneText();
    return text;
}

const QString missing = QStringLiteral("abcde");

void searchMiss(benchmark::State& state, bool matchCase)
{
    MemoryPane pane(paneText());
    NullPrompts prompts;
    for (auto _ : state) {
        pane.setSelection(0, 0);
        benchmark::DoNotOptimize(SearchText(pane, prompts, missing, true, matchCase));
    }
    state.SetBytesProcessed(state.iterations() * pane.length() * 2);
}

void BM_F3MissMatchCase(benchmark::State& state)
{
    searchMiss(state, true);
}
void BM_F3MissIgnoreCase(benchmark::State& state)
{
    searchMiss(state, false);
}

void BM_StdSearchSameBuffer(benchmark::State& state)
{
    const QString& text = paneText();
    const char16_t* begin = QStringView(text).utf16();
    const char16_t* end = begin + text.size();
    const char16_t* needle = QStringView(missing).utf16();
    for (auto _ : state)
        benchmark::DoNotOptimize(std::search(begin, end, needle, needle + missing.size()));
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}

void BM_MemmemSameBuffer(benchmark::State& state)
{
    const QString& text = paneText();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            memmem(text.utf16(), size_t(text.size()) * 2, missing.utf16(), size_t(missing.size()) * 2));
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}

QString textWithHits(qsizetype hits)
{
    QString text;
    text.reserve(hits * 4);
    for (qsizetype i = 0; i < hits; ++i)
        text += (i % 20 == 19) ? QStringLiteral("ab\r\n") : QStringLiteral("ab, ");
    return text;
}

void replaceAll(benchmark::State& state, EditPane& pane)
{
    const QString text = textWithHits(state.range(0));
    NullPrompts prompts;
    FindReplace finder(pane, prompts);
    for (auto _ : state) {
        state.PauseTiming();
        pane.setText(text);
        state.ResumeTiming();
        finder.handleRequest(
            {FindFlag::ReplaceAll | FindFlag::Down, QStringLiteral("ab"), QStringLiteral("xyz")});
    }
    if (pane.text().count(QStringLiteral("xyz")) != state.range(0))
        state.SkipWithError("not every occurrence was replaced");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ReplaceAllMemoryPane(benchmark::State& state)
{
    MemoryPane pane;
    replaceAll(state, pane);
}

// The placeholder form: case-sensitive, from the top.
void BM_ReplaceAllFromTopMemoryPane(benchmark::State& state)
{
    const QString text = textWithHits(state.range(0));
    MemoryPane pane;
    NullPrompts prompts;
    for (auto _ : state) {
        state.PauseTiming();
        pane.setText(text);
        state.ResumeTiming();
        ReplaceAllFromTop(pane, prompts, QStringLiteral("ab"), QStringLiteral("xyz"));
    }
    if (pane.text().count(QStringLiteral("xyz")) != state.range(0))
        state.SkipWithError("not every occurrence was replaced");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ReplaceAllQtPane(benchmark::State& state)
{
    TestSupport::offscreenApplication();
    PaneWidget widget;
    replaceAll(state, widget.pane());
}

void BM_F3MissIgnoreCaseQtPane(benchmark::State& state)
{
    TestSupport::offscreenApplication();
    PaneWidget widget;
    widget.pane().setText(paneText());
    NullPrompts prompts;
    for (auto _ : state) {
        widget.pane().setSelection(0, 0);
        benchmark::DoNotOptimize(SearchText(widget.pane(), prompts, missing, true, false));
    }
}
} // namespace

BENCHMARK(BM_F3MissMatchCase)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_F3MissIgnoreCase)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StdSearchSameBuffer)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemmemSameBuffer)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_F3MissIgnoreCaseQtPane)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReplaceAllMemoryPane)->Arg(25000)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAllFromTopMemoryPane)->Arg(25000)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAllQtPane)->Arg(25000)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond);
