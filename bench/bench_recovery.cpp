#include "core/base/EditPane.h"
#include "core/document/Recovery.h"
#include "shell/framework/QtEditPane.h"
#include "support/OffscreenApp.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

// The recovery copy of a full pane. The whole write (encoding, checksum, temporary file,
// flush to disk and rename) runs on the writer's thread; what the thread that types pays
// per copy is the snapshot of the pane's text and the hand-over.
namespace {
QString fullPaneText()
{
    const QString line = QStringLiteral("今日は<B>晴れ</B>でした。ブログの下書き abc 123\r\n");
    QString text;
    text.reserve(EditPane::TextLimit);
    while (text.size() + line.size() <= EditPane::TextLimit)
        text += line;
    return text;
}

void BM_WriteRecoveryCopyFullPane(benchmark::State& state)
{
    QTemporaryDir dir;
    RecoveryStore store(dir.path());
    if (!store.open()) {
        state.SkipWithError("no recovery slot");
        return;
    }
    RecoveryCopy copy;
    copy.text = fullPaneText();
    copy.name = dir.filePath(QStringLiteral("日記.txt"));
    copy.time = QDateTime(QDate(2026, 12, 8), QTime(9, 5));
    for (auto _ : state)
        if (!store.write(copy))
            state.SkipWithError("the copy was not written");
    state.SetBytesProcessed(state.iterations() * copy.text.size() * 2);
}
BENCHMARK(BM_WriteRecoveryCopyFullPane)->Unit(benchmark::kMillisecond);

void BM_EncodeRecoveryCopyFullPane(benchmark::State& state)
{
    RecoveryCopy copy;
    copy.text = fullPaneText();
    for (auto _ : state)
        benchmark::DoNotOptimize(copy.encode());
}
BENCHMARK(BM_EncodeRecoveryCopyFullPane)->Unit(benchmark::kMillisecond);

// The typing thread's share of one copy, after an edit of a full Qt pane: the text read
// back from the pane, then either written there and then (`/0`, as a copy on the typing
// thread costs) or handed to the writer (`/1`, as the program does it). `/2` is the
// hand-over alone, with the pane's text already read back.
void BM_RecoveryCopyTypingThreadCost(benchmark::State& state)
{
    const bool handedOver = state.range(0) >= 1;
    const bool edit = state.range(0) <= 1;
    TestSupport::offscreenApplication();
    PaneWidget widget;
    QtEditPane& pane = widget.pane();
    pane.setText(fullPaneText());
    QTemporaryDir dir;
    RecoveryStore store(dir.path());
    if (!store.open()) {
        state.SkipWithError("no recovery slot");
        return;
    }
    RecoveryWriter writer(store.copyPath());
    for (auto _ : state) {
        if (edit) {
            state.PauseTiming();
            pane.setSelection(0, 1);
            pane.replaceSelection(QStringLiteral("x"));
            state.ResumeTiming();
        }
        RecoveryCopy copy;
        copy.text = pane.text();
        copy.name = dir.filePath(QStringLiteral("日記.txt"));
        copy.time = QDateTime::currentDateTime();
        if (handedOver)
            writer.write(std::move(copy));
        else if (!store.write(copy))
            state.SkipWithError("the copy was not written");
    }
    if (!writer.waitIdle(RecoveryWriter::ExitWaitMs))
        state.SkipWithError("the writer did not finish");
}
BENCHMARK(BM_RecoveryCopyTypingThreadCost)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
} // namespace
