// The document codec on memory buffers, in every encoding a document can have. The first
// byte chooses the encoding (or detection), whether the rest is a file's bytes or a pane's
// text (UTF-16), and which small size limit stands in for the documents' 32768 bytes.
//   - A Shift_JIS load gives what an independent model of the reader gives, cut included.
//   - Pane text has every LF after a CR, and no load keeps more than the limit.
//   - A save keeps at most the limit, splits no character (the kept file decodes to a
//     prefix of the whole one) and a second round changes nothing.
//   - Without a cut, load, save and load give the text less its lone CRs.
#include "core/base/CodePage.h"
#include "core/document/Encoding.h"
#include "core/document/TextCodec.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {
using Kind = DocumentEncoding::Kind;
// The size limit of this run, in place of the documents' 32768 bytes.
qsizetype limit = TextCodec::SizeLimit;

void check(bool ok, const char* what)
{
    if (ok)
        return;
    std::fprintf(stderr, "codec fuzz: %s\n", what);
    std::abort();
}

QString withoutLoneCrs(QStringView s)
{
    QString out;
    out.reserve(s.size());
    qsizetype from = 0;
    for (qsizetype i = s.indexOf(u'\r'); i >= 0; i = s.indexOf(u'\r', i + 1)) {
        if (i + 1 < s.size() && s[i + 1] == u'\n')
            continue;
        out += s.sliced(from, i - from);
        from = i + 1;
    }
    out += s.sliced(from);
    return out;
}

bool everyLfAfterCr(QStringView s)
{
    for (qsizetype i = s.indexOf(u'\n'); i >= 0; i = s.indexOf(u'\n', i + 1))
        if (i == 0 || s[i - 1] != u'\r')
            return false;
    return true;
}

// The Shift_JIS reader spelled out step by step: data ends at 0x1A, every bare LF gains a CR,
// the count stops at the limit (one more when the last byte is the LF of a CR LF), and a
// zero byte ends the text.
TextCodec::Decoded modelShiftJisLoad(QByteArrayView file)
{
    QByteArray expanded;
    expanded.reserve(file.size() * 2);
    for (qsizetype i = 0; i < file.size() && file[i] != 0x1A; ++i) {
        if (file[i] == '\n' && (i == 0 || file[i - 1] != '\r'))
            expanded += '\r';
        expanded += file[i];
    }
    TextCodec::Decoded model;
    model.cut = expanded.size() >= limit;
    if (model.cut)
        expanded.truncate(expanded.mid(limit - 1, 2) == "\r\n" ? limit + 1 : limit);
    if (const qsizetype zero = expanded.indexOf('\0'); zero >= 0)
        expanded.truncate(zero);
    model.text = CodePage::toUnicode(expanded);
    return model;
}

// Code page bytes as text up to 0x1A or a zero byte, with no limit.
QString plainShiftJis(QByteArrayView bytes)
{
    qsizetype end = bytes.indexOf('\x1A');
    end = end < 0 ? bytes.size() : end;
    const qsizetype zero = bytes.first(end).indexOf('\0');
    return CodePage::toUnicode(bytes.first(zero < 0 ? end : zero));
}

// Saves `paneText` in `encoding` as a save after OK on the size question does; returns the
// file's bytes.
QByteArray save(QStringView paneText, const DocumentEncoding& encoding, bool* cut = nullptr)
{
    QByteArray encoded;
    TextCodec::encode(paneText, encoding, encoded);
    const qsizetype kept = TextCodec::keptLength(encoded, encoding, limit);
    check(kept <= limit, "a save keeps more than the limit");
    check(kept == encoded.size() || kept > limit - 8, "a cut save keeps far less than the limit");
    if (cut)
        *cut = kept < encoded.size();
    const QByteArray file = TextCodec::fileBytes(QByteArrayView(encoded).first(kept), encoding);
    if (encoding.kind != Kind::ShiftJis || everyLfAfterCr(paneText))
        check(file.size() <= limit, "a save writes more than the limit");
    // The whole text, uncut, decodes to something the kept part is the start of. A Shift_JIS
    // file with bare LFs from the pane can outgrow the limit, so it is read without one.
    if (kept < encoded.size()) {
        const QByteArray whole = TextCodec::fileBytes(encoded, encoding);
        const bool plain = encoding.kind == Kind::ShiftJis;
        const QString all =
            plain ? plainShiftJis(whole) : TextCodec::decode(whole, encoding.kind, limit).text;
        const QString part = plain ? plainShiftJis(file) : TextCodec::decode(file, encoding.kind, limit).text;
        check(all.startsWith(part), "a cut save split a character");
    }
    return file;
}

void roundTrip(const TextCodec::Decoded& first)
{
    check(everyLfAfterCr(first.text), "a load left a bare LF in the pane text");
    bool cut = false;
    const QByteArray file = save(first.text, first.encoding, &cut);
    const TextCodec::Decoded second = TextCodec::decode(file, first.encoding.kind, limit);
    check(second.encoding.kind == first.encoding.kind, "a saved file came back in another encoding");
    QString expected = withoutLoneCrs(first.text);
    // UTF-8 without a byte-order mark: a leading U+FEFF reads back as one.
    if (first.encoding.kind == Kind::Utf8 && !first.encoding.bom && expected.startsWith(QChar(0xFEFF)))
        expected.remove(0, 1);
    // ICU's EUC-JP reads a few ill-formed pairs (0x8E 0xE0 as U+00A2) as characters it does
    // not write back; from the second round on its text holds as well.
    if (first.encoding.kind != Kind::EucJp) {
        if (!cut)
            check(second.text == expected, "load, save, load changed the text");
        else
            check(expected.startsWith(second.text), "a cut save kept other than the start");
    }
    const TextCodec::Decoded third =
        TextCodec::decode(save(second.text, second.encoding), first.encoding.kind, limit);
    check(third.text == second.text, "a second round changed the text");
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t mode = data[0];
    // Small limits take the paths of the documents' 32768 bytes with a few bytes each; a run
    // with a body past the real limit costs as much as hundreds of these (the file tests and
    // the codec's core tests cut at the real one).
    constexpr qsizetype smallLimits[] = {4, 5, 6, 7, 9, 16, 33, 100};
    limit = smallLimits[(mode >> 3) & 7];
    const QByteArray body(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1);
    const int choice = mode % 6;
    const std::optional<Kind> chosen = choice < 5 ? std::optional<Kind>(Kind(choice)) : std::nullopt;

    if (mode & 0x40) {
        // The body as a pane's text, whatever it holds: lone surrogates, bare LFs, zeros.
        const QString pane =
            QString::fromUtf16(reinterpret_cast<const char16_t*>(body.constData()), body.size() / 2);
        DocumentEncoding encoding = Encodings::choice(choice % Encodings::ChoiceCount);
        if (mode & 0x80)
            encoding.lineBreak = DocumentEncoding::LineBreak::Lf;
        roundTrip(TextCodec::decode(save(pane, encoding), encoding.kind, limit));
        return 0;
    }

    const TextCodec::Decoded first = TextCodec::decode(body, chosen, limit);
    if (first.encoding.kind == Kind::ShiftJis) {
        const TextCodec::Decoded model =
            modelShiftJisLoad(QByteArrayView(body).first(std::min(body.size(), TextCodec::ReadSize)));
        check(first.cut == model.cut, "the limit was reported wrongly");
        check(first.text == model.text, "a Shift_JIS load differs from the model");
    } else {
        const QByteArrayView bom = Encodings::bomBytes(first.encoding);
        check(!first.cut || body.size() > limit, "a load within the limit reported a cut");
        check(first.text.size() <= limit * 2, "a load kept more than the limit");
        check(chosen || bom.isEmpty() || body.startsWith(bom), "detection chose a BOM the file lacks");
    }
    roundTrip(first);
    return 0;
}
