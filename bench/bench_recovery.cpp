#include "core/base/EditPane.h"
#include "core/document/Recovery.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

// Writing the recovery copy of a full pane: the whole write (encoding, checksum, temporary
// file, flush to disk and rename) runs on the thread that types, once a pause or the
// interval calls for it.
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
} // namespace
