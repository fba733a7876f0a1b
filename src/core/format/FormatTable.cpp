#include "core/format/FormatTable.h"

#include "core/res/Strings.h"
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
    // The defaults are static data: a table's fields share them until they change.
    return {section, key, &field, nullptr, staticText(byDefault), 0};
}

FormatTable::Setting number(int section, const QString& key, int& field, int byDefault)
{
    return {section, key, nullptr, &field, QString(), byDefault};
}

// Hands each setting of `t` to `visit`, in the order of the file. Tables are made and
// loaded often (every dialog, every start), so this builds no list.
template <typename Visit> void eachSetting(FormatTable& t, Visit&& visit)
{
    visit(number(Str::SectionOption, Keys::Transparency, t.transparency, FormatTable::DefaultTransparency));
    visit(text(Str::SectionOption, Keys::WebPage, t.webPage, u""));
    visit(text(Str::SectionFont, Keys::Face, t.face, u"ＭＳ ゴシック"));
    visit(number(Str::SectionFont, Keys::Size, t.size, 14));
    for (int i = 0; i < FormatTable::WordCount; ++i)
        visit(text(Str::SectionUserWord, Keys::word(i), t.words[i], defaultWords[i]));
    for (int n = 1; n <= FormatTable::BaseCount; ++n) {
        FormatTable::Pair& b = t.base[n - 1];
        visit(text(Str::SectionFormat, Keys::base(n, false), b.begin, defaultBase[n - 1].begin));
        visit(text(Str::SectionFormat, Keys::base(n, true), b.end, defaultBase[n - 1].end));
    }
    for (int n = 1; n <= FormatTable::UserCount; ++n) {
        FormatTable::UserFormat& u = t.user[n - 1];
        const UserDefault& d = defaultUser[n - 1];
        visit(text(Str::SectionFormat, Keys::user(n, u'n'), u.name, d.name));
        visit(text(Str::SectionFormat, Keys::user(n, u'b'), u.begin, d.begin));
        visit(text(Str::SectionFormat, Keys::user(n, u'e'), u.end, d.end));
    }
}
} // namespace

std::vector<FormatTable::Setting> FormatTable::settings()
{
    std::vector<Setting> rows;
    rows.reserve(4 + WordCount + 2 * BaseCount + 3 * UserCount);
    eachSetting(*this, [&](Setting s) { rows.push_back(std::move(s)); });
    return rows;
}

FormatTable::FormatTable()
{
    eachSetting(*this, [](const Setting& s) {
        if (s.text)
            *s.text = s.textDefault;
        else
            *s.number = s.numberDefault;
    });
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
    int sectionId = -1;
    QString section;
    eachSetting(*this, [&](const Setting& s) {
        if (s.section != sectionId)
            section = Keys::section(sectionId = s.section);
        if (s.text)
            *s.text = store.readString(section, s.key, s.textDefault);
        else
            *s.number = store.readInt(section, s.key, s.numberDefault);
    });
    transparency = normaliseTransparency(transparency);
}

void FormatTable::save(ProfileStore& store, const QString& currentFace, int currentSize) const
{
    FormatTable written = *this;
    written.face = currentFace;
    written.size = currentSize;
    ProfileStore::Batch batch(store);
    eachSetting(written, [&](const Setting& s) {
        const QString section = Keys::section(s.section);
        if (s.text)
            store.writeString(section, s.key, *s.text);
        else
            store.writeInt(section, s.key, *s.number);
    });
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
