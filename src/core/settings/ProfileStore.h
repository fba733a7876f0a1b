#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <initializer_list>
#include <optional>
#include <vector>

// The settings file: an INI file read and written by section and key.
//
// Reading: blanks and tabs are trimmed at both ends of a value, one pair of " or '
// enclosing the whole value is dropped, a present empty value is empty, values are cut
// at 4095 characters; section and key names are matched without regard to case; the
// first section of a name and the first key of a name in it count.
// Writing: creates the file, the section and the key as needed and leaves every other
// line as it was. A line break inside a value is written as a blank, so no value can
// make or change another line. Each write (or each batch of writes) replaces the file in
// one atomic step; a file or folder that cannot be written fails silently.
// The file is written as UTF-8 and read as UTF-8, UTF-16 with a BOM, or, when it is not
// valid UTF-8, as code page 932.
// The settings file's contents in memory, with the reading and writing rules above and no
// file: bytes in, lines, bytes out. What is not written comes out as it came in, with the
// file's byte-order mark and line breaks.
class ProfileText {
public:
    static constexpr int MaxValueLength = 4095;

    ProfileText() = default;
    static ProfileText parse(QByteArrayView bytes);
    QByteArray serialize() const;

    bool contains(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    int readInt(const QString& section, const QString& key, int defaultValue) const;
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInt(const QString& section, const QString& key, int value);

private:
    // A name, trimmed, by where it stands in its line; and what it points to: for a key the
    // line counted from its section's header, for a section its index in `sections`.
    struct Named {
        int at;
        qsizetype start;
        qsizetype size;
    };
    struct SectionIndex {
        int headerLine = -1;
        int lastEntryLine = -1; // last non-blank line of the section
        // The first key of each name, sorted by name.
        std::vector<Named> keys;
    };

    // Where a line stands in `text`.
    struct Line {
        qsizetype start;
        qsizetype size;
    };

    QStringView line(qsizetype i) const
    {
        const Line& l = lines[size_t(i)];
        return QStringView(chars + l.start, l.size);
    }
    // A line made of `parts`, added at the end of `text`.
    Line keep(std::initializer_list<QStringView> parts);
    void setLine(qsizetype i, std::initializer_list<QStringView> parts);
    void insertLine(qsizetype at, std::initializer_list<QStringView> parts);
    void index();
    QStringView keyName(const SectionIndex& section, const Named& key) const;
    QStringView sectionName(const Named& section) const;
    const SectionIndex* findSection(QStringView name) const;
    std::optional<QStringView> findValueLine(const QString& section, const QString& key) const;

    // The file's text, which the lines point into; a written line is added at its end, and
    // the text is rebuilt when most of it is in no line any more.
    QString text;
    // text's characters, taken again at every change of text: lines and names are read
    // far more often than text changes.
    const QChar* chars = nullptr;
    qsizetype textInLines = 0;
    std::vector<Line> lines;
    // In file order, so that a line added to one section moves only the ones after it.
    std::vector<SectionIndex> sections;
    // The first section of each name, sorted by name.
    std::vector<Named> sectionByName;
    QString lineEnd = QStringLiteral("\n");
    bool hadBom = false;
};

class ProfileStore {
public:
    static constexpr int MaxValueLength = ProfileText::MaxValueLength;

    explicit ProfileStore(QString path = {});
    // A store over `bytes` and no file: reads and writes stay in memory (see bytes()).
    static ProfileStore inMemory(QByteArrayView bytes);
    // What a write would put into the file now.
    QByteArray bytes() const;

    void setPath(const QString& path);
    const QString& path() const { return filePath; }

    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    int readInt(const QString& section, const QString& key, int defaultValue) const;
    bool writeString(const QString& section, const QString& key, const QString& value);
    bool writeInt(const QString& section, const QString& key, int value);

    // The writes made while a Batch lives reach the file as one replacement when the
    // outermost Batch ends.
    class Batch {
    public:
        explicit Batch(ProfileStore& store);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        ProfileStore& store;
    };

private:
    void refresh() const;
    bool commit();

    QString filePath;
    mutable ProfileText contents;
    bool memoryOnly = false;
    mutable bool loaded = false;
    mutable bool unreadable = false;
    mutable qint64 loadedSize = -1;
    mutable QDateTime loadedTime;
    int batchDepth = 0;
    bool dirty = false;
};
