// Arbitrary bytes as Kumorial.ini, read and written in memory: every read stays within the
// value cut and on one line; the table loads with its transparency in range; serialising
// what was parsed keeps every value and is a fixed point after one round; writing a run of
// the table's keys and reading them back returns what was written, read by the store's
// rules, and leaves the keys of other sections alone.
#include "core/format/FormatTable.h"
#include "core/settings/ProfileStore.h"
#include "core/settings/SettingsKeys.h"

#include <QHashFunctions>
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
QString expectedRead(QString v)
{
    v.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    v.replace(u'\r', u' ');
    v.replace(u'\n', u' ');
    qsizetype from = 0, to = v.size();
    while (from < to && (v[from] == u' ' || v[from] == u'\t'))
        ++from;
    while (to > from && (v[to - 1] == u' ' || v[to - 1] == u'\t'))
        --to;
    if (to - from >= 2 && (v[from] == u'"' || v[from] == u'\'') && v[to - 1] == v[from]) {
        ++from;
        --to;
    }
    if (to - from > ProfileStore::MaxValueLength) {
        to = from + ProfileStore::MaxValueLength;
        if (v[to - 1].isHighSurrogate())
            --to;
    }
    v.truncate(to);
    v.remove(0, from);
    return v;
}

// Fails the run; the detail is made only then, so that passing checks cost nothing more.
template <typename Detail> void check(bool ok, const char* what, Detail&& detail)
{
    if (ok)
        return;
    const QString d = detail();
    std::fprintf(stderr, "settings fuzz: %s %s\n", what, qPrintable(d.left(200)));
    std::abort();
}

void check(bool ok, const char* what)
{
    check(ok, what, [] { return QString(); });
}

void checkReadable(const QString& value, qsizetype index)
{
    const auto which = [index] { return QString::number(index); };
    check(value.size() <= ProfileStore::MaxValueLength, "value longer than the cut:", which);
    check(!value.contains(u'\n') && !value.contains(u'\r'), "value spans lines:", which);
}

const QStringList foreignKeys = {Keys::Left, Keys::Top, Keys::DonationsLink, QStringLiteral("Word00")};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::vector<Key> keys = tableKeys();
    static const QString settings = Keys::section(Str::SectionSettings);
    const QByteArrayView bytes(data, qsizetype(size));
    // The same bytes, read from their end, choose a run of the table's keys. One input in
    // sixteen loads the whole table: every time would cost most of the speed. The choice
    // hangs on all the bytes: on the last byte alone, which mutations seldom change, the
    // inputs kept for what loading covers made about half of all runs load.
    FuzzedDataProvider input(data, size);
    const size_t first = input.ConsumeIntegralInRange<size_t>(0, keys.size() - 1);
    const size_t count = input.ConsumeIntegralInRange<size_t>(1, 8);
    const bool loadTable = qHash(bytes) % 16 == 0;
    std::vector<Key> chosen;
    chosen.reserve(count);
    for (size_t i = 0; i < count; ++i)
        chosen.push_back(keys[(first + i) % keys.size()]);
    const auto readForeign = [&](const ProfileText& text, QStringList& values) {
        for (const QString& k : foreignKeys)
            values << text.readString(settings, k, QStringLiteral("<none>"));
    };
    const auto readAll = [&](const ProfileText& text) {
        QStringList values;
        values.reserve(qsizetype(chosen.size() + foreignKeys.size()));
        for (const Key& k : chosen)
            values << text.readString(k.section, k.key, QStringLiteral("<none>"));
        readForeign(text, values);
        return values;
    };

    ProfileText text = ProfileText::parse(bytes);
    const QStringList before = readAll(text);
    for (qsizetype i = 0; i < before.size(); ++i)
        checkReadable(before[i], i);

    if (loadTable) {
        FormatTable table;
        table.load(ProfileStore::inMemory(bytes));
        check(table.transparency >= 10 && table.transparency <= 90 && table.transparency % 10 == 0,
              "transparency out of range:", [&] { return QString::number(table.transparency); });
    }

    // Serialising without a write keeps every value, and a second round changes no byte.
    const QByteArray once = text.serialize();
    const ProfileText reparsed = ProfileText::parse(once);
    check(readAll(reparsed) == before, "serialising changed a value");
    check(reparsed.serialize() == once, "a second round of parse and serialise changed the bytes");

    // The same bytes, read another way, give the values of the write.
    std::vector<QString> written;
    written.reserve(chosen.size());
    for (const Key& k : chosen) {
        const size_t most = k.key == keys[0].key ? 6000 : 64;
        const std::string raw = input.ConsumeBytesAsString(input.ConsumeIntegralInRange<size_t>(0, most));
        written.push_back(QString::fromUtf8(raw.data(), qsizetype(raw.size())));
        text.writeString(k.section, k.key, written.back());
    }
    const ProfileText reread = ProfileText::parse(text.serialize());
    for (size_t i = 0; i < chosen.size(); ++i)
        check(reread.readString(chosen[i].section, chosen[i].key, QStringLiteral("<none>")) ==
                  expectedRead(written[i]),
              "written value reads back differently:", [&] { return chosen[i].key; });
    QStringList after;
    readForeign(reread, after);
    check(after == before.mid(qsizetype(chosen.size())),
          "a write changed another section:", [&] { return after.join(u'|'); });
    return 0;
}
