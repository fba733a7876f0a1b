// The document codec on memory buffers, in every encoding a document can have. The first
// byte chooses the encoding (or detection), whether the rest is a file's bytes or a pane's
// text (UTF-16), and with the second whether it is repeated past the size limit.
//   - A Shift_JIS load gives what an independent model of the reader gives, cut included.
//   - Pane text has every LF after a CR, and no load keeps more than the limit.
//   - A save keeps at most the limit, splits no character (the kept file decodes to a
//     prefix of the whole one) and a second round changes nothing.
//   - Without a cut, load, save and load give the text less its lone CRs.
#include "document/CodePage.h"
#include "document/Encoding.h"
#include "document/TextCodec.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {
using Kind = DocumentEncoding::Kind;
constexpr qsizetype Limit = TextCodec::SizeLimit;

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
    for (qsizetype i = 0; i < file.size() && file[i] != 0x1A; ++i) {
        if (file[i] == '\n' && (i == 0 || file[i - 1] != '\r'))
            expanded += '\r';
        expanded += file[i];
    }
    TextCodec::Decoded model;
    model.cut = expanded.size() >= Limit;
    if (model.cut)
        expanded.truncate(expanded.mid(Limit - 1, 2) == "\r\n" ? Limit + 1 : Limit);
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
    const qsizetype kept = TextCodec::keptLength(encoded, encoding);
    check(kept <= Limit, "a save keeps more than the limit");
    check(kept == encoded.size() || kept > Limit - 8, "a cut save keeps far less than the limit");
    if (cut)
        *cut = kept < encoded.size();
    const QByteArray file = TextCodec::fileBytes(QByteArrayView(encoded).first(kept), encoding);
    if (encoding.kind != Kind::ShiftJis || everyLfAfterCr(paneText))
        check(file.size() <= Limit, "a save writes more than the limit");
    // The whole text, uncut, decodes to something the kept part is the start of. A Shift_JIS
    // file with bare LFs from the pane can outgrow the limit, so it is read without one.
    if (kept < encoded.size()) {
        const QByteArray whole = TextCodec::fileBytes(encoded, encoding);
        const bool plain = encoding.kind == Kind::ShiftJis;
        const QString all = plain ? plainShiftJis(whole) : TextCodec::decode(whole, encoding.kind).text;
        const QString part = plain ? plainShiftJis(file) : TextCodec::decode(file, encoding.kind).text;
        check(all.startsWith(part), "a cut save split a character");
    }
    return file;
}

void roundTrip(const TextCodec::Decoded& first)
{
    check(everyLfAfterCr(first.text), "a load left a bare LF in the pane text");
    bool cut = false;
    const QByteArray file = save(first.text, first.encoding, &cut);
    const TextCodec::Decoded second = TextCodec::decode(file, first.encoding.kind);
    check(second.encoding.kind == first.encoding.kind, "a saved file came back in another encoding");
    if (!cut)
        check(second.text == withoutLoneCrs(first.text), "load, save, load changed the text");
    else
        check(withoutLoneCrs(first.text).startsWith(second.text), "a cut save kept other than the start");
    const TextCodec::Decoded third =
        TextCodec::decode(save(second.text, second.encoding), first.encoding.kind);
    check(third.text == second.text, "a second round changed the text");
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t mode = data[0];
    // Inputs marked by their first two bytes are repeated past the limit; such a run costs
    // as much as hundreds of small ones, so a random mutation rarely makes one.
    const bool pastLimit = (mode & 0x38) == 0x38 && size > 1 && data[1] == 0xFF;
    const qsizetype header = pastLimit ? 2 : 1;
    QByteArray body(reinterpret_cast<const char*>(data) + header, qsizetype(size) - header);
    if (pastLimit && !body.isEmpty()) {
        const qsizetype length = (mode & 0x40 ? 2 * Limit : Limit) + 64 + mode;
        body = body.repeated(length / body.size() + 1).left(length);
    }
    const int choice = mode % 6;
    const std::optional<Kind> chosen = choice < 5 ? std::optional<Kind>(Kind(choice)) : std::nullopt;

    if (mode & 0x40) {
        // The body as a pane's text, whatever it holds: lone surrogates, bare LFs, zeros.
        const QString pane =
            QString::fromUtf16(reinterpret_cast<const char16_t*>(body.constData()), body.size() / 2);
        DocumentEncoding encoding = Encodings::choice(choice % Encodings::ChoiceCount);
        if (mode & 0x80)
            encoding.lineBreak = DocumentEncoding::LineBreak::Lf;
        roundTrip(TextCodec::decode(save(pane, encoding), encoding.kind));
        return 0;
    }

    const TextCodec::Decoded first = TextCodec::decode(body, chosen);
    if (first.encoding.kind == Kind::ShiftJis) {
        const TextCodec::Decoded model =
            modelShiftJisLoad(QByteArrayView(body).first(std::min(body.size(), TextCodec::ReadSize)));
        check(first.cut == model.cut, "the limit was reported wrongly");
        check(first.text == model.text, "a Shift_JIS load differs from the model");
    } else {
        const QByteArrayView bom = Encodings::bomBytes(first.encoding);
        check(!first.cut || body.size() > Limit, "a load within the limit reported a cut");
        check(first.text.size() <= Limit * 2, "a load kept more than the limit");
        check(chosen || bom.isEmpty() || body.startsWith(bom), "detection chose a BOM the file lacks");
    }
    roundTrip(first);
    return 0;
}
