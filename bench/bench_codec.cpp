#include "core/base/CodePage.h"
#include "core/base/Prompts.h"
#include "core/document/FileCommands.h"
#include "core/document/TextCodec.h"
#include "support/MemoryPane.h"
#include "support/StandInPrompts.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
class SilentPrompts final : public NullPrompts {
public:
    QDateTime localTime() override { return {QDate(2026, 12, 8), QTime(9, 5)}; }
    bool setClipboardText(const QByteArray&) override { return true; }
};

// 32768 bytes of Japanese text in lines of 18 bytes, ending on single-byte characters.
QString documentText()
{
    return QStringLiteral("日本語のテキスト\r\n").repeated(1820) + QStringLiteral("abcdefgh");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::abort();
}
} // namespace

static void BM_LoadShiftJis32k(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.txt"));
    writeFile(path, CodePage::fromUnicode(documentText()));
    TextCodec codec;
    MemoryPane pane;
    SilentPrompts prompts;
    int modified = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(codec.LoadTextFile(pane, prompts, path, modified));
    if (pane.text() != documentText())
        state.SkipWithError("loaded text differs");
    state.SetBytesProcessed(state.iterations() * TextCodec::SizeLimit);
}
BENCHMARK(BM_LoadShiftJis32k)->Unit(benchmark::kMicrosecond);

static void BM_SaveShiftJis32k(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.txt"));
    TextCodec codec;
    MemoryPane pane(documentText());
    SilentPrompts prompts;
    int modified = 1;
    for (auto _ : state)
        benchmark::DoNotOptimize(codec.SaveTextFile(pane, prompts, path, modified));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() != TextCodec::SizeLimit)
        state.SkipWithError("saved file has the wrong size");
    state.SetBytesProcessed(state.iterations() * TextCodec::SizeLimit);
}
// A save waits until the file is on disk (fsync), so this measures the disk as well.
BENCHMARK(BM_SaveShiftJis32k)->Unit(benchmark::kMicrosecond)->UseRealTime();

static void BM_NewWith100Placeholders(benchmark::State& state)
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("Kumorial.tmp")),
              QByteArray("%Y/%M/%D %h:%m \xe3\x81\x82\r\n").replace("\xe3\x81\x82", "\x82\xa0").repeated(20));
    MemoryPane pane;
    SilentPrompts prompts;
    int modified = 0;
    FileCommands files(pane, prompts, modified, dir.path());
    pane.setChangeHandler([&modified] { modified = 1; });
    for (auto _ : state)
        files.NewDocument();
    if (!pane.text().startsWith(QStringLiteral("2026/12/08 09:05 あ\r\n")))
        state.SkipWithError("template not filled");
}
BENCHMARK(BM_NewWith100Placeholders)->Unit(benchmark::kMicrosecond);
