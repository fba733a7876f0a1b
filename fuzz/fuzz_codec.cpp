// Arbitrary bytes as a document: load, save and load again give the text of the first
// load (less its lone CRs, which a save drops), a second round changes nothing, and no
// file written is longer than the limit.
#include "core/base/Prompts.h"
#include "core/document/TextCodec.h"
#include "support/MemoryPane.h"
#include "support/StandInPrompts.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {
// Answers OK to everything and counts the boxes.
class OkPrompts final : public NullPrompts {
public:
    Answer messageBox(const QString&, Buttons, Icon) override
    {
        ++boxes;
        return Answer::Ok;
    }
    int boxes = 0;
};

void check(bool ok, const char* what)
{
    if (ok)
        return;
    std::fprintf(stderr, "codec fuzz: %s\n", what);
    std::abort();
}

QString withoutLoneCrs(const QString& s)
{
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i)
        if (s[i] != u'\r' || (i + 1 < s.size() && s[i + 1] == u'\n'))
            out += s[i];
    return out;
}

qint64 sizeOf(const QString& path)
{
    return QFileInfo(path).size();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/kumorial-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/kumorial-fuzz-XXXXXX"));
    static auto codec = std::make_unique<TextCodec>();
    const QString input = dir.filePath(QStringLiteral("input.txt")),
                  saved = dir.filePath(QStringLiteral("saved.txt"));
    {
        QFile f(input);
        check(f.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write the input");
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }

    MemoryPane pane;
    OkPrompts prompts;
    int modified = 0;
    check(codec->LoadTextFile(pane, prompts, input, modified), "a regular file did not load");
    check(modified == 1, "a load did not mark the document");
    const QString first = pane.text();

    prompts.boxes = 0;
    check(codec->SaveTextFile(pane, prompts, saved, modified) == TextCodec::SaveResult::Saved, "save failed");
    const bool cut = prompts.boxes > 0;
    check(modified == 0, "a save left the document marked");
    check(sizeOf(saved) <= TextCodec::SizeLimit, "a save wrote more than the limit");

    check(codec->LoadTextFile(pane, prompts, saved, modified), "a saved file did not load");
    const QString second = pane.text();
    if (!cut)
        check(second == withoutLoneCrs(first), "load, save, load changed the text");
    else
        check(withoutLoneCrs(first).startsWith(second.chopped(second.endsWith(u'?') ? 1 : 0)),
              "a cut save kept something other than the start of the text");

    check(codec->SaveTextFile(pane, prompts, saved, modified) == TextCodec::SaveResult::Saved,
          "second save failed");
    check(codec->LoadTextFile(pane, prompts, saved, modified), "second saved file did not load");
    check(pane.text() == second, "a second round changed the text");
    return 0;
}
