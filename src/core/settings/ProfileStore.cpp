#include "core/settings/ProfileStore.h"

#include "core/base/CodePage.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>
#include <limits>

namespace {
// Section and key names match trimmed and without regard to case. Qt's case-insensitive
// comparison folds each character as toCaseFolded() does and orders names as their folded
// forms would, so names are kept as they stand in the text and never copied to be folded.
int compareNames(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive);
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.sliced(b, e - b);
}

// Section name of a "[name]" line trimmed of its blanks, or a null view when the line is
// no section line.
QStringView headerName(QStringView trimmed)
{
    if (!trimmed.startsWith(u'['))
        return {};
    const qsizetype close = trimmed.indexOf(u']');
    if (close < 0)
        return {};
    return trimmed.sliced(1, close - 1);
}

// Where `part`, a view into `whole`, starts in it.
qsizetype offsetIn(QStringView whole, QStringView part)
{
    return part.isEmpty() ? 0 : part.data() - whole.data();
}

// The entry named `name` in a list sorted by name, or the place where it would go.
template <typename List, typename NameOf> auto lowerBound(List& list, QStringView name, NameOf nameOf)
{
    return std::lower_bound(list.begin(), list.end(), name, [&](const auto& entry, QStringView n) {
        return compareNames(nameOf(entry), n) < 0;
    });
}

template <typename List, typename NameOf> auto findNamed(List& list, QStringView name, NameOf nameOf)
{
    const auto it = lowerBound(list, name, nameOf);
    return it != list.end() && compareNames(nameOf(*it), name) == 0 ? it : list.end();
}

// Sorts a list by name and keeps, of each name, the entry that came first. The entries
// come in file order, so `at` rises: a stable sort, or a sort by name and then `at`, puts
// the first of each name first. Short lists, the usual ones, sort in place; long ones sort
// stably beside their names, found once each.
template <typename List, typename NameOf> void keepFirstOfEachName(List& list, NameOf nameOf)
{
    if (list.size() < 2)
        return;
    if (list.size() <= 32) {
        std::sort(list.begin(), list.end(), [&](const auto& a, const auto& b) {
            const int c = compareNames(nameOf(a), nameOf(b));
            return c < 0 || (c == 0 && a.at < b.at);
        });
        list.erase(std::unique(
                       list.begin(), list.end(),
                       [&](const auto& a, const auto& b) { return compareNames(nameOf(a), nameOf(b)) == 0; }),
                   list.end());
        return;
    }
    std::vector<std::pair<QStringView, typename List::value_type>> named;
    named.reserve(list.size());
    for (const auto& entry : list)
        named.emplace_back(nameOf(entry), entry);
    std::stable_sort(named.begin(), named.end(),
                     [](const auto& a, const auto& b) { return compareNames(a.first, b.first) < 0; });
    list.clear();
    for (size_t i = 0; i < named.size(); ++i)
        if (i == 0 || compareNames(named[i - 1].first, named[i].first) != 0)
            list.push_back(named[i].second);
}

// A UTF-16 file can hold halves of surrogate pairs that belong to nothing. UTF-8 cannot
// store them, so a save would change the value; like broken UTF-8 they read as U+FFFD.
QString wholeCharacters(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!text[i].isSurrogate())
            continue;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

QString decodeText(QByteArrayView raw, bool& hadBom)
{
    hadBom = false;
    if (raw.startsWith("\xEF\xBB\xBF")) {
        hadBom = true;
        return QString::fromUtf8(raw.sliced(3));
    }
    if (raw.startsWith("\xFF\xFE"))
        return wholeCharacters(
            QStringDecoder(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless)(raw.sliced(2)));
    if (raw.startsWith("\xFE\xFF"))
        return wholeCharacters(
            QStringDecoder(QStringDecoder::Utf16BE, QStringDecoder::Flag::Stateless)(raw.sliced(2)));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(raw);
    if (!utf8.hasError())
        return text;
    return CodePage::toUnicode(raw);
}

// The text of the file without any byte-order mark at its start. One mark is the file's
// own; more are strays, and kept as text they would either hide the first section or come
// back as the mark of the UTF-8 file written, so that every save changed the file again.
QString decode(QByteArrayView raw, bool& hadBom)
{
    QString text = decodeText(raw, hadBom);
    qsizetype marks = 0;
    while (marks < text.size() && text[marks] == QChar::ByteOrderMark)
        ++marks;
    return marks ? text.sliced(marks) : text;
}

QString singleLine(const QString& value)
{
    if (!value.contains(u'\r') && !value.contains(u'\n'))
        return value;
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\r' && i + 1 < value.size() && value[i + 1] == u'\n')
            continue; // CR LF becomes one blank
        out += (c == u'\r' || c == u'\n') ? QChar(u' ') : c;
    }
    return out;
}
} // namespace

ProfileText ProfileText::parse(QByteArrayView bytes)
{
    ProfileText t;
    t.text = decode(bytes, t.hadBom);
    t.chars = t.text.constData();
    const QString& text = t.text;
    const qsizetype firstBreak = text.indexOf(u'\n');
    if (firstBreak > 0 && text[firstBreak - 1] == u'\r')
        t.lineEnd = QStringLiteral("\r\n");
    const qsizetype lfs = text.count(u'\n');
    const qsizetype crs = text.count(u'\r');
    t.lines.reserve(size_t(lfs + crs + 1));
    // Lines end at CR LF, LF or a lone CR. The searches run over the whole text at once.
    qsizetype start = 0;
    qsizetype lf = lfs ? text.indexOf(u'\n') : -1;
    qsizetype cr = crs ? text.indexOf(u'\r') : -1;
    while (lf >= 0 || cr >= 0) {
        const qsizetype end = lf < 0 ? cr : cr < 0 ? lf : std::min(lf, cr);
        t.lines.push_back({start, end - start});
        t.textInLines += end - start;
        start = end + (end == cr && end + 1 == lf ? 2 : 1);
        if (lf >= 0 && lf < start)
            lf = text.indexOf(u'\n', start);
        if (cr >= 0 && cr < start)
            cr = text.indexOf(u'\r', start);
    }
    if (start < text.size()) {
        t.lines.push_back({start, text.size() - start});
        t.textInLines += text.size() - start;
    }
    t.index();
    return t;
}

QByteArray ProfileText::serialize() const
{
    // The whole text, then one conversion: a line break stands between any two lines, so
    // this gives the bytes of converting line by line.
    QString out;
    out.reserve((hadBom ? 1 : 0) + textInLines + qsizetype(lines.size()) * lineEnd.size());
    if (hadBom)
        out += QChar(QChar::ByteOrderMark);
    for (size_t i = 0; i < lines.size(); ++i) {
        out += line(qsizetype(i));
        out += lineEnd;
    }
    return out.toUtf8();
}

ProfileText::Line ProfileText::keep(std::initializer_list<QStringView> parts)
{
    qsizetype size = 0;
    for (const QStringView part : parts)
        size += part.size();
    if (text.size() > 2 * textInLines + 4096) {
        // Mostly replaced lines: keep only what the lines show.
        QString kept;
        kept.reserve(textInLines + size);
        for (Line& l : lines) {
            const QStringView shown = QStringView(text).sliced(l.start, l.size);
            l.start = kept.size();
            kept += shown;
        }
        text = std::move(kept);
    }
    const Line added{text.size(), size};
    for (const QStringView part : parts)
        text += part;
    chars = text.constData();
    textInLines += size;
    return added;
}

void ProfileText::setLine(qsizetype i, std::initializer_list<QStringView> parts)
{
    textInLines -= lines[size_t(i)].size;
    lines[size_t(i)] = keep(parts);
}

void ProfileText::insertLine(qsizetype at, std::initializer_list<QStringView> parts)
{
    const Line added = keep(parts);
    lines.insert(lines.begin() + at, added);
}

QStringView ProfileText::keyName(const SectionIndex& section, const Named& key) const
{
    return line(section.headerLine + key.at).sliced(key.start, key.size);
}

QStringView ProfileText::sectionName(const Named& section) const
{
    return line(sections[size_t(section.at)].headerLine).sliced(section.start, section.size);
}

void ProfileText::index()
{
    sections.clear();
    sectionByName.clear();
    // Every header line holds a '[': the lists are made once, never grown.
    const size_t mostSections = std::min(lines.size(), size_t(text.count(u'[')));
    sections.reserve(mostSections);
    sectionByName.reserve(mostSections);
    // A section's keys gather here and move to the section in one piece when it ends.
    std::vector<Named> keys;
    keys.reserve(std::min(lines.size(), size_t(text.count(u'='))));
    SectionIndex* current = nullptr;
    const auto endSection = [&] {
        if (current)
            current->keys.assign(keys.begin(), keys.end());
        keys.clear();
    };
    for (int i = 0; i < int(lines.size()); ++i) {
        const QStringView l = line(i);
        const QStringView trimmed = trimBlanks(l);
        const QStringView header = headerName(trimmed);
        if (!header.isNull()) {
            endSection();
            const QStringView name = header.trimmed();
            sectionByName.push_back({int(sections.size()), offsetIn(l, name), name.size()});
            current = &sections.emplace_back();
            current->headerLine = i;
            current->lastEntryLine = i;
            continue;
        }
        if (!current)
            continue;
        if (!trimmed.isEmpty())
            current->lastEntryLine = i;
        const qsizetype eq = l.indexOf(u'=');
        if (eq < 0)
            continue;
        const QStringView key = l.first(eq).trimmed();
        if (!key.isEmpty())
            keys.push_back({i - current->headerLine, offsetIn(l, key), key.size()});
    }
    endSection();
    for (SectionIndex& section : sections)
        keepFirstOfEachName(section.keys, [&](const Named& k) { return keyName(section, k); });
    keepFirstOfEachName(sectionByName, [this](const Named& n) { return sectionName(n); });
    if (sectionByName.size() == sections.size())
        return;
    // A repeated section is not read: only the first of each name stays indexed.
    std::vector<int> kept(sections.size(), -1);
    for (const Named& n : sectionByName)
        kept[size_t(n.at)] = 0;
    std::vector<SectionIndex> firsts;
    firsts.reserve(sectionByName.size());
    for (size_t i = 0; i < sections.size(); ++i) {
        if (kept[i] < 0)
            continue;
        kept[i] = int(firsts.size());
        firsts.push_back(std::move(sections[i]));
    }
    sections = std::move(firsts);
    for (Named& n : sectionByName)
        n.at = kept[size_t(n.at)];
}

const ProfileText::SectionIndex* ProfileText::findSection(QStringView name) const
{
    const auto s = findNamed(sectionByName, name, [this](const Named& n) { return sectionName(n); });
    return s == sectionByName.end() ? nullptr : &sections[size_t(s->at)];
}

std::optional<QStringView> ProfileText::findValueLine(const QString& section, const QString& key) const
{
    const SectionIndex* found = findSection(QStringView(section).trimmed());
    if (!found)
        return std::nullopt;
    const auto k = findNamed(found->keys, QStringView(key).trimmed(),
                             [&](const Named& n) { return keyName(*found, n); });
    if (k == found->keys.end())
        return std::nullopt;
    return line(found->headerLine + k->at);
}

bool ProfileText::contains(const QString& section, const QString& key) const
{
    return findValueLine(section, key).has_value();
}

QString ProfileText::readString(const QString& section, const QString& key, const QString& defaultValue) const
{
    const std::optional<QStringView> line = findValueLine(section, key);
    if (!line)
        return defaultValue;
    QStringView value = trimBlanks(line->sliced(line->indexOf(u'=') + 1));
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    if (value.size() > MaxValueLength) {
        value = value.first(MaxValueLength);
        if (value.back().isHighSurrogate())
            value.chop(1); // never leave half a character
    }
    return value.toString();
}

int ProfileText::readInt(const QString& section, const QString& key, int defaultValue) const
{
    if (!contains(section, key))
        return defaultValue;
    const QString value = readString(section, key, QString());
    qsizetype i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == u'-' || value[i] == u'+'))
        negative = value[i++] == u'-';
    qint64 n = 0;
    for (; i < value.size() && value[i] >= u'0' && value[i] <= u'9'; ++i) {
        n = n * 10 + (value[i].unicode() - u'0');
        if (n > qint64(std::numeric_limits<int>::max()) + 1)
            n = qint64(std::numeric_limits<int>::max()) + 1;
    }
    if (negative)
        n = -n;
    return int(std::clamp<qint64>(n, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

void ProfileText::writeString(const QString& section, const QString& key, const QString& value)
{
    // The line starts with `key` as given, so its name stands where the trimmed key does.
    const QString oneLine = singleLine(value);
    const auto entry = {QStringView(key), QStringView(u"="), QStringView(oneLine)};
    const QStringView keyView = QStringView(key).trimmed();
    const qsizetype keyStart = offsetIn(key, keyView);
    const QStringView sectionView = QStringView(section).trimmed();
    const auto s = lowerBound(sectionByName, sectionView, [this](const Named& n) { return sectionName(n); });
    if (s == sectionByName.end() || compareNames(sectionName(*s), sectionView) != 0) {
        const int index = int(sections.size());
        SectionIndex& added = sections.emplace_back();
        added.headerLine = int(lines.size());
        insertLine(qsizetype(lines.size()), {QStringView(u"["), QStringView(section), QStringView(u"]")});
        added.lastEntryLine = int(lines.size());
        added.keys.push_back({1, keyStart, keyView.size()});
        insertLine(qsizetype(lines.size()), entry);
        sectionByName.insert(s, {index, 1 + offsetIn(section, sectionView), sectionView.size()});
        return;
    }
    const size_t at = size_t(s->at);
    SectionIndex& found = sections[at];
    const auto k = lowerBound(found.keys, keyView, [&](const Named& n) { return keyName(found, n); });
    if (k != found.keys.end() && compareNames(keyName(found, *k), keyView) == 0) {
        setLine(found.headerLine + k->at, entry);
        k->start = keyStart;
        k->size = keyView.size();
        return;
    }
    const int line = found.lastEntryLine + 1;
    found.keys.insert(k, {line - found.headerLine, keyStart, keyView.size()});
    insertLine(line, entry);
    found.lastEntryLine = line;
    // The sections after this one move down by one line; their keys count from their header.
    for (size_t i = at + 1; i < sections.size(); ++i) {
        ++sections[i].headerLine;
        ++sections[i].lastEntryLine;
    }
}

void ProfileText::writeInt(const QString& section, const QString& key, int value)
{
    writeString(section, key, QString::number(value));
}

ProfileStore::ProfileStore(QString path) : filePath(std::move(path)) {}

ProfileStore ProfileStore::inMemory(QByteArrayView bytes)
{
    ProfileStore store;
    store.memoryOnly = true;
    store.contents = ProfileText::parse(bytes);
    store.loaded = true;
    return store;
}

QByteArray ProfileStore::bytes() const
{
    refresh();
    return contents.serialize();
}

void ProfileStore::setPath(const QString& path)
{
    filePath = path;
    loaded = false;
}

void ProfileStore::refresh() const
{
    if (memoryOnly)
        return;
    if (batchDepth > 0 && loaded)
        return; // the batch's own edits are the truth until it is written
    const QFileInfo info(filePath);
    const qint64 size = info.exists() ? info.size() : -1;
    const QDateTime time = info.exists() ? info.lastModified() : QDateTime();
    if (loaded && size == loadedSize && time == loadedTime)
        return;
    QFile file(filePath);
    unreadable = info.exists() && !(info.isFile() && file.open(QIODevice::ReadOnly));
    contents = ProfileText::parse(!unreadable && info.exists() ? file.readAll() : QByteArray());
    loaded = true;
    loadedSize = size;
    loadedTime = time;
}

QString ProfileStore::readString(const QString& section, const QString& key,
                                 const QString& defaultValue) const
{
    refresh();
    return contents.readString(section, key, defaultValue);
}

int ProfileStore::readInt(const QString& section, const QString& key, int defaultValue) const
{
    refresh();
    return contents.readInt(section, key, defaultValue);
}

bool ProfileStore::writeString(const QString& section, const QString& key, const QString& value)
{
    refresh();
    contents.writeString(section, key, value);
    dirty = true;
    return batchDepth > 0 || commit();
}

bool ProfileStore::writeInt(const QString& section, const QString& key, int value)
{
    return writeString(section, key, QString::number(value));
}

bool ProfileStore::commit()
{
    dirty = false;
    if (memoryOnly)
        return true;
    if (unreadable) {
        loaded = false;
        return false; // never replace a file whose contents could not be read
    }
    const QByteArray bytes = contents.serialize();
    QSaveFile file(filePath);
    bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!ok) {
        file.cancelWriting();
        loaded = false; // what is on disk is the truth again
        return false;
    }
    const QFileInfo info(filePath);
    loadedSize = info.size();
    loadedTime = info.lastModified();
    return true;
}

ProfileStore::Batch::Batch(ProfileStore& s) : store(s)
{
    // Read before the batch starts: inside it refresh() keeps the copy in memory, and a copy
    // from an earlier read would write back a file that others have changed since. Size
    // and time can miss an edit made within the same tick, so the file is read afresh.
    if (store.batchDepth == 0) {
        store.loaded = false;
        store.refresh();
    }
    ++store.batchDepth;
}

ProfileStore::Batch::~Batch()
{
    if (--store.batchDepth == 0 && store.dirty)
        store.commit();
}
