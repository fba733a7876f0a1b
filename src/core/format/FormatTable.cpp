#include "core/format/FormatTable.h"

#include "core/settings/ProfileStore.h"
#include "core/settings/SettingsKeys.h"

namespace {
constexpr const char16_t* defaultWords[FormatTable::WordCount] = {
    u"(*^^*)", u"(o^^o)", u"(*_*)",  u"(-_-;)", u"(T_T)",
    u"(@_@)",  u"(^^ゞ",  u"(^_^)v", u"(^_^)d", u"(^^)/~ bye",
};

struct BaseDefault {
    const char16_t* label;
    const char16_t* begin;
    const char16_t* end;
};
constexpr BaseDefault defaultBase[FormatTable::BaseCount] = {
    {u"太字", u"<B>", u"</B>"},
    {u"斜体", u"<I>", u"</I>"},
    {u"太字斜体", u"<B><I>", u"</I></B>"},
    {u"下線", u"<U>", u"</U>"},
    {u"取消線", u"<S>", u"</S>"},
    {u"文字色", u"<FONT COLOR=\\\"red\\\">", u"</FONT>"},
    {u"背景色", u"", u""},
    {u"文字サイズ", u"<FONT SIZE=\\\"4\\\">", u"</FONT>"},
    {u"左寄せ", u"<P LEFT>", u"</P>"},
    {u"中央寄せ", u"<P CENTER>", u"</P>"},
    {u"右寄せ", u"<P RIGHT>", u"</P>"},
    {u"画像", u"<img src=\\\"", u"\\\">"},
    {u"リンク", u"<a href=\\\"", u"\\\">こちら</a>"},
    {u"見出し", u"", u""},
    {u"引用", u"", u""},
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

const QString defaultFace = QStringLiteral("ＭＳ ゴシック");
} // namespace

FormatTable::FormatTable() : face(defaultFace)
{
    for (int i = 0; i < WordCount; ++i)
        words[i] = QString::fromUtf16(defaultWords[i]);
    for (int i = 0; i < BaseCount; ++i)
        base[i] = {QString::fromUtf16(defaultBase[i].begin), QString::fromUtf16(defaultBase[i].end)};
    for (int i = 0; i < UserCount; ++i)
        user[i] = {QString::fromUtf16(defaultUser[i].name), QString::fromUtf16(defaultUser[i].begin),
                   QString::fromUtf16(defaultUser[i].end)};
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
    const QString option = Keys::section(Str::SectionOption);
    webPage = store.readString(option, Keys::WebPage, QString());
    transparency = normaliseTransparency(store.readInt(option, Keys::Transparency, 50));

    const QString font = Keys::section(Str::SectionFont);
    face = store.readString(font, Keys::Face, defaultFace);
    size = store.readInt(font, Keys::Size, 14);

    const QString userWord = Keys::section(Str::SectionUserWord);
    for (int i = 0; i < WordCount; ++i)
        words[i] = store.readString(userWord, Keys::word(i), words[i]);

    const QString format = Keys::section(Str::SectionFormat);
    for (int n = 1; n <= BaseCount; ++n) {
        Pair& p = base[n - 1];
        p.begin = store.readString(format, Keys::base(n, false), p.begin);
        p.end = store.readString(format, Keys::base(n, true), p.end);
    }
    for (int n = 1; n <= UserCount; ++n) {
        UserFormat& u = user[n - 1];
        u.name = store.readString(format, Keys::user(n, u'n'), u.name);
        u.begin = store.readString(format, Keys::user(n, u'b'), u.begin);
        u.end = store.readString(format, Keys::user(n, u'e'), u.end);
    }
}

void FormatTable::save(ProfileStore& store, const QString& currentFace, int currentSize) const
{
    ProfileStore::Batch batch(store);
    const QString option = Keys::section(Str::SectionOption);
    store.writeInt(option, Keys::Transparency, transparency);
    store.writeString(option, Keys::WebPage, webPage);

    const QString font = Keys::section(Str::SectionFont);
    store.writeString(font, Keys::Face, currentFace);
    store.writeInt(font, Keys::Size, currentSize);

    const QString userWord = Keys::section(Str::SectionUserWord);
    for (int i = 0; i < WordCount; ++i)
        store.writeString(userWord, Keys::word(i), words[i]);

    const QString format = Keys::section(Str::SectionFormat);
    for (int n = 1; n <= BaseCount; ++n) {
        store.writeString(format, Keys::base(n, false), base[n - 1].begin);
        store.writeString(format, Keys::base(n, true), base[n - 1].end);
    }
    for (int n = 1; n <= UserCount; ++n) {
        store.writeString(format, Keys::user(n, u'n'), user[n - 1].name);
        store.writeString(format, Keys::user(n, u'b'), user[n - 1].begin);
        store.writeString(format, Keys::user(n, u'e'), user[n - 1].end);
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

const char16_t* baseFormatLabel(int number)
{
    return defaultBase[number - 1].label;
}
