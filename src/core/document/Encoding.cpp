#include "core/document/Encoding.h"
#include "core/base/IcuConverters.h"

#include <QHash>
#include <array>
#include <memory>
#include <stdexcept>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucsdet.h>
#include <unicode/utf16.h>

using Kind = DocumentEncoding::Kind;

namespace {
constexpr std::array<std::pair<Kind, const char16_t*>, 5> kindNames{{
    {Kind::ShiftJis, u"Shift_JIS"},
    {Kind::Utf8, u"UTF-8"},
    {Kind::EucJp, u"EUC-JP"},
    {Kind::Utf16Le, u"UTF-16LE"},
    {Kind::Utf16Be, u"UTF-16BE"},
}};

const char* icuName(Kind kind)
{
    switch (kind) {
    case Kind::ShiftJis:
        return "windows-31j";
    case Kind::Utf8:
        return "UTF-8";
    case Kind::EucJp:
        return "EUC-JP";
    case Kind::Utf16Le:
        return "UTF-16LE";
    case Kind::Utf16Be:
        return "UTF-16BE";
    }
    return "windows-31j";
}

bool isJapaneseCodePage(Kind kind)
{
    return kind == Kind::ShiftJis || kind == Kind::EucJp;
}

UConverter* converter(Kind kind)
{
    thread_local std::array<std::unique_ptr<UConverter, IcuConverters::Closer>, kindNames.size()> cache;
    auto& slot = cache[size_t(kind)];
    if (!slot) {
        UErrorCode err = U_ZERO_ERROR;
        UConverter* c = ucnv_open(icuName(kind), &err);
        if (U_FAILURE(err) || !c)
            throw std::runtime_error(std::string("ICU has no converter ") + icuName(kind));
        slot.reset(c);
        if (isJapaneseCodePage(kind)) {
            // As for the clipboard's code page: "?" for what is missing, no best fits.
            ucnv_setFallback(c, false);
            ucnv_setSubstChars(c, "?", 1, &err);
            ucnv_setToUCallBack(c, IcuConverters::toUnicodeQuestionMark, nullptr, nullptr, nullptr, &err);
        }
        if (U_FAILURE(err))
            throw std::runtime_error(std::string("cannot configure the converter ") + icuName(kind));
    }
    return slot.get();
}

// Collects the code points a conversion substitutes, then substitutes them as usual.
struct MissingCollector {
    const UChar* base = nullptr;
    Encodings::UnrepresentableScan* scan = nullptr;
    QHash<char32_t, int> seen; // code point -> index in scan->characters, or -1 beyond the list
    QList<qsizetype>* firstPositions = nullptr;
};

void U_CALLCONV fromUnicodeCollect(const void* context, UConverterFromUnicodeArgs* args, const UChar* units,
                                   int32_t length, UChar32 codePoint, UConverterCallbackReason reason,
                                   UErrorCode* err)
{
    if (reason > UCNV_IRREGULAR)
        return;
    auto* collector = static_cast<MissingCollector*>(const_cast<void*>(context));
    Encodings::UnrepresentableScan& scan = *collector->scan;
    ++scan.total;
    const auto cp = char32_t(codePoint);
    const auto it = collector->seen.constFind(cp);
    if (it != collector->seen.cend()) {
        if (*it >= 0)
            ++scan.characters[*it].count;
    } else if (scan.characters.size() < Encodings::UnrepresentableScan::Listed) {
        collector->seen.insert(cp, int(scan.characters.size()));
        Encodings::Unrepresentable u;
        u.codePoint = cp;
        u.count = 1;
        // The source has already moved past the character.
        u.position = qsizetype(args->source - collector->base) - length;
        scan.characters.append(u);
    } else {
        collector->seen.insert(cp, -1);
        ++scan.moreDistinct;
    }
    UCNV_FROM_U_CALLBACK_SUBSTITUTE(nullptr, args, units, length, codePoint, reason, err);
}

void appendConverted(QStringView text, Kind kind, QByteArray& out, MissingCollector* collector = nullptr)
{
    if (text.isEmpty())
        return;
    UConverter* c = converter(kind);
    ucnv_resetFromUnicode(c);
    UConverterFromUCallback oldAction = nullptr;
    const void* oldContext = nullptr;
    UErrorCode err = U_ZERO_ERROR;
    if (collector) {
        ucnv_setFromUCallBack(c, fromUnicodeCollect, collector, &oldAction, &oldContext, &err);
        collector->base = reinterpret_cast<const UChar*>(text.utf16());
    }
    IcuConverters::appendFromUnicode(c, text, out, 3);
    if (collector) {
        err = U_ZERO_ERROR;
        ucnv_setFromUCallBack(c, oldAction, oldContext, nullptr, nullptr, &err);
    }
}

// The text as it is written: CRs dropped, LFs as the encoding's line break.
QString withFileLineBreaks(QStringView paneText, DocumentEncoding::LineBreak lineBreak)
{
    QString out;
    out.reserve(paneText.size() + paneText.size() / 16);
    for (const QChar c : paneText) {
        if (c == u'\r')
            continue;
        if (c == u'\n' && lineBreak == DocumentEncoding::LineBreak::CrLf)
            out += u'\r';
        out += c;
    }
    return out;
}

bool isSjisLead(uchar b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Well-formed as code page 932: lead bytes with a trail byte, no bytes the code page leaves out.
bool wellFormedShiftJis(QByteArrayView bytes, bool truncated)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = uchar(bytes[i]);
        if (isSjisLead(b)) {
            if (i + 1 == bytes.size())
                return truncated;
            const uchar t = uchar(bytes[++i]);
            if (t < 0x40 || t == 0x7F || t > 0xFC)
                return false;
        } else if (b == 0x80 || b == 0xA0 || b >= 0xFD) {
            return false;
        }
    }
    return true;
}

bool wellFormedEucJp(QByteArrayView bytes, bool truncated)
{
    const auto isRow = [](uchar b) { return b >= 0xA1 && b <= 0xFE; };
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = uchar(bytes[i]);
        if (b < 0x80)
            continue;
        int trail = 0;
        bool katakana = false;
        if (b == 0x8E) {
            trail = 1;
            katakana = true;
        } else if (b == 0x8F) {
            trail = 2;
        } else if (isRow(b)) {
            trail = 1;
        } else {
            return false;
        }
        for (int k = 0; k < trail; ++k) {
            if (++i == bytes.size())
                return truncated;
            const uchar t = uchar(bytes[i]);
            if (katakana ? (t < 0xA1 || t > 0xDF) : !isRow(t))
                return false;
        }
    }
    return true;
}

// Length of the UTF-8 sequence starting at i, 0 when ill-formed, -1 when cut by the end.
int utf8SequenceLength(QByteArrayView bytes, qsizetype i)
{
    const uchar b = uchar(bytes[i]);
    int length = 0;
    uchar low = 0x80, high = 0xBF;
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF)
        length = 2;
    else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        if (b == 0xE0)
            low = 0xA0;
        if (b == 0xED)
            high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        if (b == 0xF0)
            low = 0x90;
        if (b == 0xF4)
            high = 0x8F;
    } else
        return 0;
    for (int k = 1; k < length; ++k) {
        if (i + k >= bytes.size())
            return -1;
        const uchar t = uchar(bytes[i + k]);
        if (t < (k == 1 ? low : 0x80) || t > (k == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

bool wellFormedUtf8(QByteArrayView bytes, bool truncated)
{
    for (qsizetype i = 0; i < bytes.size();) {
        const int length = utf8SequenceLength(bytes, i);
        if (length < 0)
            return truncated;
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

// The detector's confident answer between the two Japanese code pages, if any.
std::optional<Kind> detectorAnswer(QByteArrayView bytes)
{
    struct DetectorCloser {
        void operator()(UCharsetDetector* d) const { ucsdet_close(d); }
    };
    thread_local std::unique_ptr<UCharsetDetector, DetectorCloser> detector = [] {
        UErrorCode err = U_ZERO_ERROR;
        UCharsetDetector* d = ucsdet_open(&err);
        if (U_FAILURE(err) || !d)
            throw std::runtime_error("ICU has no charset detector");
        return std::unique_ptr<UCharsetDetector, DetectorCloser>(d);
    }();
    // The detector's work grows with its input, and only the non-ASCII text tells the two
    // code pages apart: it sees a sample that starts at the first such byte, which in either
    // code page begins a character, so a long ASCII head cannot hide the Japanese text.
    constexpr qsizetype Sample = 1024;
    const auto firstHigh = std::find_if(bytes.begin(), bytes.end(), [](char b) { return uchar(b) >= 0x80; });
    const QByteArrayView sample =
        bytes.sliced(firstHigh - bytes.begin()).first(std::min(Sample, qsizetype(bytes.end() - firstHigh)));
    UErrorCode err = U_ZERO_ERROR;
    ucsdet_setText(detector.get(), sample.data(), int32_t(sample.size()), &err);
    int32_t found = 0;
    const UCharsetMatch** matches = ucsdet_detectAll(detector.get(), &found, &err);
    if (U_FAILURE(err))
        return std::nullopt;
    for (int32_t i = 0; i < found; ++i) {
        const char* name = ucsdet_getName(matches[i], &err);
        const int32_t confidence = ucsdet_getConfidence(matches[i], &err);
        if (U_FAILURE(err) || !name)
            return std::nullopt;
        const QByteArrayView n(name);
        if (n != "Shift_JIS" && n != "EUC-JP")
            continue;
        // Matches come best first: the first Japanese one is the detector's answer.
        if (confidence < Encodings::ConfidentDetection)
            return std::nullopt;
        return n == "EUC-JP" ? Kind::EucJp : Kind::ShiftJis;
    }
    return std::nullopt;
}
} // namespace

QString DocumentEncoding::displayName() const
{
    switch (kind) {
    case Kind::ShiftJis:
        return QStringLiteral("Shift_JIS");
    case Kind::Utf8:
        return bom ? QStringLiteral("UTF-8 (BOM)") : QStringLiteral("UTF-8");
    case Kind::EucJp:
        return QStringLiteral("EUC-JP");
    case Kind::Utf16Le:
    case Kind::Utf16Be:
        return QStringLiteral("UTF-16");
    }
    return {};
}

QString DocumentEncoding::lineBreakName() const
{
    return lineBreak == LineBreak::Lf ? QStringLiteral("LF") : QStringLiteral("CRLF");
}

QString DocumentEncoding::toString() const
{
    QString text = QString::fromUtf16(kindNames[size_t(kind)].second);
    if (kind == Kind::Utf8 && bom)
        text += QStringLiteral(";BOM");
    text += u';' + lineBreakName();
    return text;
}

std::optional<DocumentEncoding> DocumentEncoding::fromString(QStringView text)
{
    const QList<QStringView> parts = text.split(u';');
    DocumentEncoding e;
    bool named = false;
    for (const auto& [k, name] : kindNames)
        if (parts.constFirst().compare(QStringView(name), Qt::CaseInsensitive) == 0) {
            e.kind = k;
            named = true;
        }
    if (!named)
        return std::nullopt;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        if (parts[i].compare(u"BOM", Qt::CaseInsensitive) == 0)
            e.bom = e.kind == Kind::Utf8;
        else if (parts[i].compare(u"LF", Qt::CaseInsensitive) == 0)
            e.lineBreak = LineBreak::Lf;
        else if (parts[i].compare(u"CRLF", Qt::CaseInsensitive) != 0)
            return std::nullopt;
    }
    return e;
}

namespace Encodings {
DocumentEncoding detect(QByteArrayView bytes, bool truncated)
{
    DocumentEncoding e;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return DocumentEncoding::utf8(true);
    if (bytes.startsWith("\xFF\xFE")) {
        e.kind = Kind::Utf16Le;
        return e;
    }
    if (bytes.startsWith("\xFE\xFF")) {
        e.kind = Kind::Utf16Be;
        return e;
    }
    if (std::all_of(bytes.begin(), bytes.end(), [](char b) { return uchar(b) < 0x80; }))
        return e;
    if (wellFormedUtf8(bytes, truncated)) {
        e.kind = Kind::Utf8;
        return e;
    }
    if (const std::optional<Kind> answer = detectorAnswer(bytes)) {
        e.kind = *answer;
        return e;
    }
    if (!wellFormedShiftJis(bytes, truncated) && wellFormedEucJp(bytes, truncated))
        e.kind = Kind::EucJp;
    return e;
}

QByteArrayView bomBytes(const DocumentEncoding& encoding)
{
    switch (encoding.kind) {
    case Kind::Utf8:
        return encoding.bom ? QByteArrayView("\xEF\xBB\xBF") : QByteArrayView();
    case Kind::Utf16Le:
        return QByteArrayView("\xFF\xFE");
    case Kind::Utf16Be:
        return QByteArrayView("\xFE\xFF");
    default:
        return {};
    }
}

QString decode(QByteArrayView bytes, Kind kind)
{
    if (bytes.isEmpty())
        return {};
    UConverter* c = converter(kind);
    ucnv_resetToUnicode(c);
    // A byte gives at most one UTF-16 unit, except a 4-byte UTF-8 sequence, which gives two.
    return IcuConverters::toUnicode(c, bytes, bytes.size() + 1);
}

DocumentEncoding::LineBreak lineBreakOf(QStringView text)
{
    // indexOf skips the text between line breaks far faster than a loop over every unit.
    bool bareLf = false;
    for (qsizetype i = text.indexOf(u'\n'); i >= 0; i = text.indexOf(u'\n', i + 1)) {
        if (i > 0 && text[i - 1] == u'\r')
            return DocumentEncoding::LineBreak::CrLf;
        bareLf = true;
    }
    return bareLf ? DocumentEncoding::LineBreak::Lf : DocumentEncoding::LineBreak::CrLf;
}

QString toPaneText(QStringView text)
{
    QString out;
    out.reserve(text.size() + text.size() / 16);
    qsizetype from = 0;
    for (qsizetype i = text.indexOf(u'\n'); i >= 0; i = text.indexOf(u'\n', i + 1)) {
        if (i > 0 && text[i - 1] == u'\r')
            continue;
        out += text.sliced(from, i - from);
        out += u'\r';
        from = i;
    }
    out += text.sliced(from);
    return out;
}

QByteArray fileBytes(QStringView paneText, const DocumentEncoding& encoding)
{
    QByteArray out(bomBytes(encoding).toByteArray());
    appendConverted(withFileLineBreaks(paneText, encoding.lineBreak), encoding.kind, out);
    return out;
}

qsizetype encodedByteCount(QStringView paneText, const DocumentEncoding& encoding)
{
    return fileBytes(paneText, encoding).size();
}

qsizetype wholeCharacterPrefix(QByteArrayView bytes, Kind kind, qsizetype limit)
{
    // Through a plain pointer: this walks up to the whole limit byte by byte.
    const uchar* data = reinterpret_cast<const uchar*>(bytes.data());
    const auto at = [data](qsizetype i) { return data[i]; };
    const bool utf16 = kind == Kind::Utf16Le || kind == Kind::Utf16Be;
    const auto unit = [&](qsizetype i) {
        return kind == Kind::Utf16Le ? char16_t(at(i) | at(i + 1) << 8) : char16_t(at(i) << 8 | at(i + 1));
    };
    qsizetype i = 0;
    // Where the last character taken began when it was a CR, else -1.
    qsizetype lastCr = -1;
    while (i < bytes.size()) {
        qsizetype width = 1;
        switch (kind) {
        case Kind::ShiftJis:
            width = isSjisLead(at(i)) ? 2 : 1;
            break;
        case Kind::EucJp:
            width = at(i) == 0x8F ? 3 : (at(i) == 0x8E || (at(i) >= 0xA1 && at(i) <= 0xFE)) ? 2 : 1;
            break;
        case Kind::Utf8: {
            const int n = utf8SequenceLength(bytes, i);
            width = n > 0 ? n : 1;
            break;
        }
        case Kind::Utf16Le:
        case Kind::Utf16Be:
            width = 2;
            if (i + 3 < bytes.size() && QChar::isHighSurrogate(unit(i)) && QChar::isLowSurrogate(unit(i + 2)))
                width = 4;
            break;
        }
        width = std::min(width, bytes.size() - i);
        if (i + width > limit)
            break;
        const bool isCr = utf16 ? width == 2 && unit(i) == u'\r' : at(i) == '\r';
        lastCr = isCr ? i : -1;
        i += width;
    }
    // A CR whose LF did not fit stays out with it.
    if (lastCr >= 0 && i < bytes.size()) {
        const bool nextIsLf = utf16 ? i + 1 < bytes.size() && unit(i) == u'\n' : at(i) == '\n';
        if (nextIsLf)
            i = lastCr;
    }
    return i;
}

UnrepresentableScan findUnrepresentable(QStringView paneText, const DocumentEncoding& encoding)
{
    UnrepresentableScan scan;
    if (!isJapaneseCodePage(encoding.kind))
        return scan;
    MissingCollector collector;
    collector.scan = &scan;
    QByteArray discarded;
    appendConverted(paneText, encoding.kind, discarded, &collector);
    // Lines and columns of the first occurrences, in one walk: they come in text order.
    int line = 1, column = 1;
    qsizetype p = 0;
    for (Unrepresentable& u : scan.characters) {
        for (; p < u.position; ++p) {
            const QChar c = paneText[p];
            if (c == u'\n') {
                ++line;
                column = 1;
            } else if (c != u'\r' && !c.isLowSurrogate()) {
                ++column;
            }
        }
        u.line = line;
        u.column = column;
    }
    return scan;
}

DocumentEncoding choice(int index)
{
    switch (index) {
    case 1:
        return DocumentEncoding::utf8();
    case 2:
        return DocumentEncoding::utf8(true);
    case 3:
        return {Kind::EucJp, false, DocumentEncoding::LineBreak::CrLf};
    case 4:
        return {Kind::Utf16Le, false, DocumentEncoding::LineBreak::CrLf};
    default:
        return DocumentEncoding::shiftJis();
    }
}

int choiceIndex(const DocumentEncoding& encoding)
{
    switch (encoding.kind) {
    case Kind::ShiftJis:
        return 0;
    case Kind::Utf8:
        return encoding.bom ? 2 : 1;
    case Kind::EucJp:
        return 3;
    case Kind::Utf16Le:
    case Kind::Utf16Be:
        return 4;
    }
    return 0;
}

QString codePointName(char32_t codePoint)
{
    return QStringLiteral("U+%1").arg(uint(codePoint), 4, 16, QLatin1Char('0')).toUpper();
}
} // namespace Encodings
