#include "core/format/FormatTable.h"

#include "core/settings/ProfileStore.h"
#include "core/settings/SettingsKeys.h"

namespace {
constexpr const char16_t* defaultWords[FormatTable::WordCount] = {
    u"(*^^*)", u"(o^^o)", u"(*_*)",  u"(-_-;)", u"(T_T)",
    u"(@_@)",  u"(^^ゞ",  u"(^_^)v", u"(^_^)d", u"(^^)/~ bye",
};

// Base formats 1..15: bold, italic, bold italic, underline, strike-through, text colour,
// background colour, size, left, centre, right, image, link, heading, quote.
struct BaseDefault {
    const char16_t* begin;
    const char16_t* end;
};
constexpr BaseDefault defaultBase[FormatTable::BaseCount] = {
    {u"<B>", u"</B>"},
    {u"<I>", u"</I>"},
    {u"<B><I>", u"</I></B>"},
    {u"<U>", u"</U>"},
    {u"<S>", u"</S>"},
    {u"<FONT COLOR=\\\"red\\\">", u"</FONT>"},
    {u"", u""},
    {u"<FONT SIZE=\\\"4\\\">", u"</FONT>"},
    {u"<P LEFT>", u"</P>"},
    {u"<P CENTER>", u"</P>"},
    {u"<P RIGHT>", u"</P>"},
    {u"<img src=\\\"", u"\\\">"},
    {u"<a href=\\\"", u"\\\">こちら</a>"},
    {u"", u""},
    {u"", u""},
};

struct UserDefault {
    const char16_t* name;
    const char16_t* begin;
    const char16_t* end;
};
constexpr UserDefault defaultUser[FormatTable::UserCount] = {
    {u"太字", u"\\'\\'\\'", u"\\'\\'\\'"},
    {u"斜体", u"\\'\\'", u"\\'\\'"},
    {u"太字斜体", u"\\'\\'\\'\\'\\'", u"\\'\\'\\'\\'\\'"},
    {u"見出し１", u"= \\", u"\\ ="},
    {u"見出し２", u"== \\", u"\\ =="},
    {u"見出し３", u"=== \\", u"\\ ==="},
    {u"見出し４", u"==== \\", u"\\ ===="},
    {u"引用１", u"{{{", u"}}}"},
    {u"リンク", u"[http://", u"]"},
    {u"イメージ", u"[[img(http://", u")]]"},
};

FormatTable::Setting text(int section, const QString& key, QString& field, const char16_t* byDefault)
{
    return {section, key, &field, nullptr, QString::fromUtf16(byDefault), 0};
}

FormatTable::Setting number(int section, const QString& key, int& field, int byDefault)
{
    return {section, key, nullptr, &field, QString(), byDefault};
}
} // namespace

std::vector<FormatTable::Setting> FormatTable::settings()
{
    std::vector<Setting> rows{
        number(Str::SectionOption, Keys::Transparency, transparency, 50),
        text(Str::SectionOption, Keys::WebPage, webPage, u""),
        text(Str::SectionFont, Keys::Face, face, u"ＭＳ ゴシック"),
        number(Str::SectionFont, Keys::Size, size, 14),
    };
    for (int i = 0; i < WordCount; ++i)
        rows.push_back(text(Str::SectionUserWord, Keys::word(i), words[i], defaultWords[i]));
    for (int n = 1; n <= BaseCount; ++n) {
        rows.push_back(
            text(Str::SectionFormat, Keys::base(n, false), base[n - 1].begin, defaultBase[n - 1].begin));
        rows.push_back(
            text(Str::SectionFormat, Keys::base(n, true), base[n - 1].end, defaultBase[n - 1].end));
    }
    for (int n = 1; n <= UserCount; ++n) {
        UserFormat& u = user[n - 1];
        const UserDefault& d = defaultUser[n - 1];
        rows.push_back(text(Str::SectionFormat, Keys::user(n, u'n'), u.name, d.name));
        rows.push_back(text(Str::SectionFormat, Keys::user(n, u'b'), u.begin, d.begin));
        rows.push_back(text(Str::SectionFormat, Keys::user(n, u'e'), u.end, d.end));
    }
    return rows;
}

FormatTable::FormatTable()
{
    for (const Setting& s : settings()) {
        if (s.text)
            *s.text = s.textDefault;
        else
            *s.number = s.numberDefault;
    }
}

int FormatTable::normaliseTransparency(int value)
{
    if (value < 10)
        value = 10;
    if (value > 90)
        value = 90;
    return value / 10 * 10;
}

void FormatTable::load(const ProfileStore& store)
{
    for (const Setting& s : settings()) {
        const QString section = Keys::section(s.section);
        if (s.text)
            *s.text = store.readString(section, s.key, s.textDefault);
        else
            *s.number = store.readInt(section, s.key, s.numberDefault);
    }
    transparency = normaliseTransparency(transparency);
}

void FormatTable::save(ProfileStore& store, const QString& currentFace, int currentSize) const
{
    FormatTable written = *this;
    written.face = currentFace;
    written.size = currentSize;
    ProfileStore::Batch batch(store);
    for (const Setting& s : written.settings()) {
        const QString section = Keys::section(s.section);
        if (s.text)
            store.writeString(section, s.key, *s.text);
        else
            store.writeInt(section, s.key, *s.number);
    }
}

bool FormatTable::isBaseActive(int number) const
{
    const Pair& p = baseFormat(number);
    return !p.begin.isEmpty() || !p.end.isEmpty();
}

bool FormatTable::isUserActive(int number) const
{
    const UserFormat& u = userFormat(number);
    return !u.begin.isEmpty() || !u.end.isEmpty();
}

QString insertedForm(QString stored)
{
    stored.remove(u'\\');
    return stored;
}
