// Arbitrary bytes as Kumorial.ini: every read stays within the value cut and on one line;
// saving the whole table and reading it back returns what was written, read by the
// store's rules, and leaves the keys of other sections alone.
#include "core/format/FormatTable.h"
#include "core/settings/ProfileStore.h"
#include "core/settings/SettingsKeys.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <vector>

namespace {
struct Key {
    QString section, key;
};

// The text settings of the table.
std::vector<Key> tableKeys()
{
    std::vector<Key> keys;
    FormatTable table;
    for (const FormatTable::Setting& s : table.settings())
        if (s.text)
            keys.push_back({Keys::section(s.section), s.key});
    return keys;
}

// What reading a value written as `v` must give, spelled out independently of the store.
QString expectedRead(const QString& written)
{
    QString v;
    for (qsizetype i = 0; i < written.size(); ++i) {
        if (written[i] == u'\r' && i + 1 < written.size() && written[i + 1] == u'\n')
            continue;
        v += (written[i] == u'\r' || written[i] == u'\n') ? QChar(u' ') : written[i];
    }
    while (!v.isEmpty() && (v.front() == u' ' || v.front() == u'\t'))
        v.remove(0, 1);
    while (!v.isEmpty() && (v.back() == u' ' || v.back() == u'\t'))
        v.chop(1);
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    if (v.size() > ProfileStore::MaxValueLength) {
        v.truncate(ProfileStore::MaxValueLength);
        if (v.back().isHighSurrogate())
            v.chop(1);
    }
    return v;
}

void check(bool ok, const char* what, const QString& detail = {})
{
    if (ok)
        return;
    std::fprintf(stderr, "settings fuzz: %s %s\n", what, qPrintable(detail.left(200)));
    std::abort();
}

void checkReadable(const QString& value, const QString& key)
{
    check(value.size() <= ProfileStore::MaxValueLength, "value longer than the cut:", key);
    check(!value.contains(u'\n') && !value.contains(u'\r'), "value spans lines:", key);
}

const QStringList foreignKeys = {Keys::Left, Keys::Top, Keys::DonationsLink, QStringLiteral("Word00")};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // In memory where possible: every save syncs the file to disk.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/kumorial-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/kumorial-fuzz-XXXXXX"));
    static const std::vector<Key> keys = tableKeys();
    const QString path = dir.filePath(QStringLiteral("Kumorial.ini"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }

    ProfileStore store(path);
    FormatTable table;
    table.load(store);
    for (const Key& k : keys)
        checkReadable(store.readString(k.section, k.key, QString()), k.key);
    const QString settings = Keys::section(Str::SectionSettings);
    QStringList before;
    for (const QString& k : foreignKeys)
        before << store.readString(settings, k, QStringLiteral("<none>"));

    // The same bytes, read another way, give the values of the write.
    FuzzedDataProvider input(data, size);
    std::vector<QString> written;
    for (size_t i = 0; i < keys.size(); ++i) {
        const std::string raw = input.ConsumeRandomLengthString(i == 0 ? 6000 : 64);
        written.push_back(QString::fromUtf8(raw.data(), qsizetype(raw.size())));
    }
    {
        ProfileStore::Batch batch(store);
        for (size_t i = 0; i < keys.size(); ++i)
            store.writeString(keys[i].section, keys[i].key, written[i]);
    }

    ProfileStore reread(path);
    for (size_t i = 0; i < keys.size(); ++i)
        check(reread.readString(keys[i].section, keys[i].key, QStringLiteral("<none>")) ==
                  expectedRead(written[i]),
              "written value reads back differently:", keys[i].key);
    QStringList after;
    for (const QString& k : foreignKeys)
        after << reread.readString(settings, k, QStringLiteral("<none>"));
    check(after == before, "a write changed another section:", after.join(u'|'));
    return 0;
}
