#include "core/format/FormatTable.h"
#include "core/format/Markup.h"
#include "core/settings/ProfileStore.h"
#include "shell/framework/QtEditPane.h"
#include "support/MemoryPane.h"
#include "support/OffscreenApp.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
// A Kumorial.ini as the program leaves it after a run with every text filled in: the 74
// keys of the table with long values, and the frame's keys and toolbar sections.
QString fullSettingsFile(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("Kumorial.ini"));
    ProfileStore store(path);
    {
        ProfileStore::Batch batch(store);
        for (int i = 0; i < 6; ++i)
            store.writeString(QStringLiteral("ToolBar-Bar%1").arg(i), QStringLiteral("Visible"),
                              QStringLiteral("1"));
        store.writeInt(QStringLiteral("Settings"), QStringLiteral("Left"), 120);
    }
    FormatTable t;
    for (QString& w : t.words)
        w = QStringLiteral("(´・ω・`)").repeated(20);
    for (auto& p : t.base)
        p = {QStringLiteral("<span class=\\\"x\\\">").repeated(10), QStringLiteral("</span>").repeated(10)};
    t.save(store, t.face, t.size);
    return path;
}

void BM_SettingsLoad(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = fullSettingsFile(dir);
    for (auto _ : state) {
        ProfileStore store(path); // a fresh store reads the file, as at start-up
        FormatTable t;
        t.load(store);
        benchmark::DoNotOptimize(t.words[0].size());
    }
}
BENCHMARK(BM_SettingsLoad)->Unit(benchmark::kMicrosecond);

void BM_SettingsSave(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = fullSettingsFile(dir);
    ProfileStore store(path);
    FormatTable t;
    t.load(store);
    int n = 0;
    for (auto _ : state) {
        t.words[0] = QString::number(++n); // one changed value, all 74 written, as at exit
        t.save(store, t.face, t.size);
    }
}
BENCHMARK(BM_SettingsSave)->Unit(benchmark::kMicrosecond);

// Saving into a settings file of a million foreign lines, with keys to add in the middle.
void BM_SettingsSaveMillionLines(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Kumorial.ini"));
    QByteArray b = "[UserWord]\nWord00=x\n[Noise]\n";
    for (int i = 0; i < 1'000'000; ++i)
        b += "k" + QByteArray::number(i) + "=v\n";
    for (auto _ : state) {
        state.PauseTiming();
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(b);
        f.close();
        state.ResumeTiming();
        ProfileStore store(path);
        FormatTable t;
        t.load(store);
        t.save(store, t.face, t.size);
    }
}
BENCHMARK(BM_SettingsSaveMillionLines)->Unit(benchmark::kMillisecond)->Iterations(3);

// 13,107 lines of 78 characters; the selection is a word on the middle line.
QString nearlyFullPane()
{
    QString t = QString(78, u'a').append(u"\r\n").repeated(EditPane::TextLimit / 80);
    t.chop(20); // room for the markup
    return t;
}

template <typename Pane> void wrapLoop(benchmark::State& state, Pane& pane)
{
    const qsizetype middle = pane.length() / 2 / 80 * 80;
    for (auto _ : state) {
        pane.setSelection(middle, middle + 4);
        WrapSelection(pane, QStringLiteral("<B>"), QStringLiteral("</B>"));
        state.PauseTiming();
        pane.setSelection(middle, middle + 11); // back to the plain word for the next round
        pane.replaceSelection(QStringLiteral("aaaa"));
        state.ResumeTiming();
    }
}

void BM_WrapSelectionFullMemoryPane(benchmark::State& state)
{
    MemoryPane pane(nearlyFullPane());
    wrapLoop(state, pane);
}
BENCHMARK(BM_WrapSelectionFullMemoryPane)->Unit(benchmark::kMicrosecond);

void BM_WrapSelectionFullQtPane(benchmark::State& state)
{
    TestSupport::offscreenApplication();
    PaneWidget widget;
    widget.resize(800, 600);
    widget.show();
    widget.pane().setText(nearlyFullPane());
    QApplication::processEvents();
    wrapLoop(state, widget.pane());
}
BENCHMARK(BM_WrapSelectionFullQtPane)->Unit(benchmark::kMicrosecond);
} // namespace
