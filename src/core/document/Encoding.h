#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

// What a document file is written in: the character encoding, its byte-order mark and the
// line breaks. A small value that others may store (see toString/fromString).
struct DocumentEncoding {
    enum class Kind { ShiftJis, Utf8, EucJp, Utf16Le, Utf16Be };
    enum class LineBreak { CrLf, Lf };

    Kind kind = Kind::ShiftJis;
    // Only UTF-8 chooses; UTF-16 files always carry one, the others never do.
    bool bom = false;
    LineBreak lineBreak = LineBreak::CrLf;

    static DocumentEncoding shiftJis() { return {}; }
    static DocumentEncoding utf8(bool withBom = false) { return {Kind::Utf8, withBom, LineBreak::CrLf}; }

    bool hasBom() const { return bom || kind == Kind::Utf16Le || kind == Kind::Utf16Be; }
    bool isUtf() const { return kind == Kind::Utf8 || kind == Kind::Utf16Le || kind == Kind::Utf16Be; }
    // The name the status bar shows: "Shift_JIS", "UTF-8", "UTF-8 (BOM)", "EUC-JP", "UTF-16".
    QString displayName() const;
    // "CRLF" or "LF".
    QString lineBreakName() const;

    // A stable text form such as "UTF-8;BOM;LF" or "Shift_JIS;CRLF".
    QString toString() const;
    static std::optional<DocumentEncoding> fromString(QStringView text);

    friend bool operator==(const DocumentEncoding&, const DocumentEncoding&) = default;
};

namespace Encodings {
// The detector's confidence (0-100) from which its answer is taken.
inline constexpr int ConfidentDetection = 50;

// The encoding of a file's first bytes: a byte-order mark decides; pure ASCII is Shift_JIS;
// valid UTF-8 is UTF-8; otherwise the charset detector's answer between Shift_JIS and
// EUC-JP when it is confident, else the one of the two that decodes without error,
// Shift_JIS first. `truncated` says the bytes stop inside the file, so that a character
// cut at their end does not count as an error. The line breaks are left as CR LF; the
// loader sets them from the decoded text.
DocumentEncoding detect(QByteArrayView bytes, bool truncated = false);

// The byte-order mark of `encoding` ("" when it has none).
QByteArrayView bomBytes(const DocumentEncoding& encoding);

// Text from bytes without their byte-order mark. Ill-formed sequences become "?" for the
// Japanese code pages and U+FFFD for UTF-8 and UTF-16; decoding never fails.
QString decode(QByteArrayView bytes, DocumentEncoding::Kind kind);

// LF when the text holds a bare LF and no CR LF, else CR LF.
DocumentEncoding::LineBreak lineBreakOf(QStringView text);
// The text as the pane holds it: every bare LF becomes CR LF; a lone CR stays.
QString toPaneText(QStringView text);

// The file bytes of a pane text: byte-order mark, every CR dropped, every LF written as the
// encoding's line break, and characters the encoding lacks as "?".
QByteArray fileBytes(QStringView paneText, const DocumentEncoding& encoding);

// The number of bytes a save of `paneText` writes in `encoding`, before any cut.
qsizetype encodedByteCount(QStringView paneText, const DocumentEncoding& encoding);

// The length of the longest prefix of `bytes` (text in `kind`, without a byte-order mark)
// that fits into `limit` bytes without splitting a character, a surrogate pair or a CR LF.
qsizetype wholeCharacterPrefix(QByteArrayView bytes, DocumentEncoding::Kind kind, qsizetype limit);

// A character the encoding cannot hold: how often it occurs and where first (1-based line
// and column, the column in characters; `position` in pane units).
struct Unrepresentable {
    char32_t codePoint = 0;
    int count = 0;
    int line = 0;
    int column = 0;
    qsizetype position = 0;
};

struct UnrepresentableScan {
    static constexpr int Listed = 20;
    // The first `Listed` distinct characters in the order they first occur.
    QList<Unrepresentable> characters;
    // Distinct characters beyond the listed ones.
    int moreDistinct = 0;
    // Occurrences of all of them, listed or not.
    int total = 0;
    bool isEmpty() const { return characters.isEmpty(); }
};

// The characters of `paneText` that a save in `encoding` would write as "?".
UnrepresentableScan findUnrepresentable(QStringView paneText, const DocumentEncoding& encoding);

// The encodings a user chooses from, in menu order: Shift_JIS, UTF-8, UTF-8 with BOM,
// EUC-JP, UTF-16 (little-endian).
inline constexpr int ChoiceCount = 5;
DocumentEncoding choice(int index);
// The index of the choice `encoding` is (its line breaks aside; UTF-16 of either order).
int choiceIndex(const DocumentEncoding& encoding);

// "U+2665", "U+1F600".
QString codePointName(char32_t codePoint);
} // namespace Encodings
