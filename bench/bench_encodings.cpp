#include "core/document/Encoding.h"
#include "core/document/TextCodec.h"
#include "shell/framework/QtEditPane.h"
#include "support/MemoryPane.h"
#include "support/OffscreenApp.h"
#include "support/StandInPrompts.h"

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

// Opening a 32 KB file of each encoding the program detects: detection and decoding into
// the in-memory pane (the codec's own cost), and the same into a shown Qt pane with the
// events it causes handled (what a user's Open costs). The file is read from a temporary
// folder each time, so the page cache holds it after the first round.
namespace {
using Kind = DocumentEncoding::Kind;

struct Case {
    const char* name;
    DocumentEncoding encoding;
};

const Case cases[] = {
    {"Shift_JIS", DocumentEncoding::shiftJis()},
    {"UTF-8", DocumentEncoding::utf8()},
    {"UTF-8_BOM", DocumentEncoding::utf8(true)},
    {"UTF-16LE", {Kind::Utf16Le, false, DocumentEncoding::LineBreak::CrLf}},
    {"UTF-16BE", {Kind::Utf16Be, false, DocumentEncoding::LineBreak::CrLf}},
    {"EUC-JP", {Kind::EucJp, false, DocumentEncoding::LineBreak::CrLf}},
};

// Blog prose, as many whole lines as fit into the byte limit in `encoding`.
QString textFilling32k(const DocumentEncoding& encoding)
{
    const QString line =
        QStringLiteral("今日は駅前の喫茶店で「春の新作ケーキ」を食べました。ｶﾀｶﾅ and ASCII 2026\r\n");
    QString text;
    while (Encodings::fileBytes(text + line, encoding).size() <= TextCodec::SizeLimit)
        text += line;
    return text;
}

// A temporary file of the case's text; the text and the file size.
struct Fixture {
    explicit Fixture(const DocumentEncoding& encoding)
        : text(textFilling32k(encoding)), path(dir.filePath(QStringLiteral("doc.txt")))
    {
        const QByteArray bytes = Encodings::fileBytes(text, encoding);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            std::abort();
        size = bytes.size();
    }
    QTemporaryDir dir;
    QString text;
    QString path;
    qsizetype size = 0;
};

bool loadedAsWritten(benchmark::State& state, const EditPane& pane, const Fixture& fixture,
                     const DocumentEncoding& found, const DocumentEncoding& expected)
{
    if (found != expected) {
        state.SkipWithError(("detected as " + found.displayName().toStdString()).c_str());
        return false;
    }
    if (pane.text() != fixture.text) {
        state.SkipWithError("loaded text differs");
        return false;
    }
    state.SetBytesProcessed(state.iterations() * fixture.size);
    state.counters["file_bytes"] = double(fixture.size);
    return true;
}

void detectAndLoad(benchmark::State& state, DocumentEncoding expected)
{
    const Fixture fixture(expected);
    TextCodec codec;
    MemoryPane pane;
    NullPrompts prompts;
    int modified = 0;
    DocumentEncoding found;
    for (auto _ : state)
        benchmark::DoNotOptimize(codec.LoadTextFile(pane, prompts, fixture.path, modified, found));
    loadedAsWritten(state, pane, fixture, found, expected);
}

// Detection alone, on what a load reads first: where the load's time goes.
void detectOnly(benchmark::State& state, DocumentEncoding expected)
{
    const Fixture fixture(expected);
    QFile f(fixture.path);
    if (!f.open(QIODevice::ReadOnly))
        std::abort();
    const QByteArray bytes = f.readAll();
    DocumentEncoding found;
    for (auto _ : state)
        benchmark::DoNotOptimize(found = Encodings::detect(bytes));
    if (found != expected)
        state.SkipWithError(("detected as " + found.displayName().toStdString()).c_str());
    state.SetBytesProcessed(state.iterations() * fixture.size);
}

void openIntoQtPane(benchmark::State& state, DocumentEncoding expected)
{
    TestSupport::offscreenApplication();
    const Fixture fixture(expected);
    QMainWindow window;
    auto* widget = new PaneWidget;
    window.setCentralWidget(widget);
    window.resize(1000, 700);
    window.show();
    QApplication::processEvents();
    TextCodec codec;
    NullPrompts prompts;
    int modified = 0;
    DocumentEncoding found;
    for (auto _ : state) {
        benchmark::DoNotOptimize(codec.LoadTextFile(widget->pane(), prompts, fixture.path, modified, found));
        // The layout and the first paint of the new text.
        QApplication::processEvents();
    }
    loadedAsWritten(state, widget->pane(), fixture, found, expected);
}

const bool registered = [] {
    for (const Case& c : cases) {
        benchmark::RegisterBenchmark((std::string("BM_DetectAndLoad32k/") + c.name).c_str(), detectAndLoad,
                                     c.encoding)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("BM_Detect32k/") + c.name).c_str(), detectOnly, c.encoding)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("BM_OpenIntoQtPane32k/") + c.name).c_str(), openIntoQtPane,
                                     c.encoding)
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
    }
    return true;
}();
} // namespace
