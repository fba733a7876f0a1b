// Arbitrary argument lists through the command-line text and its splitter: only
// readable regular files come out, and arguments that are plain paths come out in order
// exactly when they name one. Folders, a FIFO, device files and missing names never do.
#include "core/document/FileCommands.h"
#include "core/document/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <sys/stat.h>

namespace {
struct Pool {
    QTemporaryDir dir;
    QStringList paths;
    QStringList readable;
    Pool()
    {
        const auto file = [&](const QString& name) {
            QFile f(dir.filePath(name));
            if (f.open(QIODevice::WriteOnly))
                f.write("text");
            readable << f.fileName();
            return f.fileName();
        };
        paths << file(QStringLiteral("a.txt")) << file(QStringLiteral("with blank.txt"))
              << file(QStringLiteral("日本語.txt"));
        QDir(dir.path()).mkdir(QStringLiteral("folder"));
        paths << dir.filePath(QStringLiteral("folder")) << dir.filePath(QStringLiteral("missing.txt"));
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        ::mkfifo(QFile::encodeName(fifo).constData(), 0600);
        paths << fifo << QStringLiteral("/dev/zero") << QStringLiteral("/dev/null") << dir.path();
    }
};

void check(bool ok, const char* what, const QString& line)
{
    if (ok)
        return;
    std::fprintf(stderr, "command-line fuzz: %s for %s\n", what, qPrintable(line));
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Pool pool;
    FuzzedDataProvider in(data, size);
    QStringList arguments;
    bool plain = true;
    while (in.remaining_bytes() > 0 && arguments.size() < 8) {
        if (in.ConsumeBool()) {
            arguments << pool.paths[in.ConsumeIntegralInRange<qsizetype>(0, pool.paths.size() - 1)];
        } else {
            const std::string raw = in.ConsumeRandomLengthString(40);
            arguments << QString::fromUtf8(raw.data(), qsizetype(raw.size()));
            plain = false;
        }
    }

    const QString line = FileCommands::commandLineText(arguments);
    QStringList list{QStringLiteral("stale")};
    const bool any = FileCommands::GetCommandLineFiles(line, list);
    check(any == !(line.isEmpty() || line.startsWith(u'-')), "wrong answer", line);
    check(any || list.isEmpty(), "a refused line left names", line);
    for (const QString& name : list) {
        check(TextCodec::FileCanBeRead(name), "an unreadable name came out", line);
        const QFileInfo info(name);
        check(info.isFile(), "something other than a regular file came out", line);
    }
    if (plain && any) {
        QStringList expected;
        for (const QString& a : arguments)
            if (pool.readable.contains(a))
                expected << a;
        check(list == expected, "the readable files did not come out in order", line);
    }
    return 0;
}
