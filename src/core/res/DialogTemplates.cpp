#include "core/res/DialogTemplates.h"

#include "core/res/ControlIds.h"
#include "core/res/Strings.h"

#include <map>

namespace {
using namespace ControlStyle;
using DialogTemplates::IdCancel;
using DialogTemplates::IdOk;
using DialogTemplates::NoId;

constexpr std::uint32_t Label = Visible;
constexpr std::uint32_t Button = Visible | TabStop;
constexpr std::uint32_t DefButton = Visible | TabStop | DefaultButton;
constexpr std::uint32_t EditStyle = Visible | TabStop | Border | AutoHScroll;

DialogTemplate head(int id, const QString& caption, int width, int height, const QString& face)
{
    DialogTemplate t;
    t.id = id;
    t.caption = caption;
    t.width = width;
    t.height = height;
    t.fontFace = face;
    t.initialFocus = IdOk;
    return t;
}

DialogControl control(int id, ControlKind kind, QRect rect, std::uint32_t style, const QString& text = {},
                      int stringId = 0)
{
    return {id, kind, rect, style, text, stringId};
}

DialogControl label(int x, int y, int w, const QString& text, int h = 8)
{
    return control(NoId, ControlKind::Static, QRect(x, y, w, h), Label, text);
}

DialogControl edit(int id, int x, int y, int w)
{
    return control(id, ControlKind::Edit, QRect(x, y, w, 14), EditStyle);
}

DialogControl button(int id, int x, int y, int w, const QString& text, std::uint32_t style)
{
    return control(id, ControlKind::PushButton, QRect(x, y, w, 14), style, text);
}

DialogTemplate about()
{
    DialogTemplate t = head(DialogTemplates::About, QStringLiteral("バージョン情報"), 195, 93,
                            QStringLiteral("ＭＳ Ｐゴシック"));
    t.controls = {
        control(NoId, ControlKind::Icon, QRect(11, 17, 20, 20), Visible, {}),
        control(ControlIds::AboutTitle, ControlKind::Static, QRect(40, 10, 60, 8), Label,
                QStringLiteral("Static")),
        control(ControlIds::AboutVersion, ControlKind::Static, QRect(102, 10, 48, 8), Label,
                QStringLiteral("version")),
        control(NoId, ControlKind::Static, QRect(40, 23, 142, 8), Label, {}, Str::AboutNotice1),
        control(NoId, ControlKind::Static, QRect(40, 37, 96, 8), Label, {}, Str::AboutNotice2),
        control(ControlIds::AboutLink, ControlKind::Static, QRect(40, 52, 96, 8), Label, {}),
        button(IdOk, 72, 68, 50, QStringLiteral("OK"), DefButton),
    };
    return t;
}

DialogTemplate picker()
{
    DialogTemplate t = head(DialogTemplates::SymbolPicker, QStringLiteral("記号選択"), 242, 151,
                            QStringLiteral("ＭＳ ゴシック"));
    t.controls = {
        button(IdOk, 92, 128, 59, QStringLiteral("閉じる"), DefButton),
        // Hidden: it exists so that Esc and the close box cancel the picker.
        button(IdCancel, 30, 130, 50, QStringLiteral("ｷｬﾝｾﾙ"), TabStop),
    };
    return t;
}

DialogTemplate words()
{
    DialogTemplate t =
        head(DialogTemplates::Words, QStringLiteral("単語登録"), 186, 141, QStringLiteral("ＭＳ Ｐゴシック"));
    t.controls = {
        button(IdOk, 96, 118, 50, QStringLiteral("登録"), DefButton),
        button(IdCancel, 38, 118, 50, QStringLiteral("キャンセル"), Button),
    };
    static const char16_t* const digits[] = {u"０", u"１", u"２", u"３", u"４",
                                             u"５", u"６", u"７", u"８", u"９"};
    static const int rowY[] = {6, 21, 37, 53, 69};
    for (int word = 0; word < 10; ++word) {
        const int x = word % 2 == 0 ? 16 : 110;
        const int y = rowY[word / 2];
        t.controls.push_back(label(x - 10, y + 3, 8, QString::fromUtf16(digits[word])));
        t.controls.push_back(edit(ControlIds::WordEdits[word], x, y, 66));
    }
    t.controls.push_back(control(NoId, ControlKind::Static, QRect(6, 92, 172, 18), Label | Center | Sunken,
                                 QStringLiteral("[Ctrl] + [数字] で本文に単語を入力できます。")));
    return t;
}

DialogTemplate baseFormats()
{
    DialogTemplate t = head(DialogTemplates::BaseFormats, QStringLiteral("書式基本設定"), 190, 318,
                            QStringLiteral("ＭＳ ゴシック"));
    t.controls = {
        button(IdOk, 119, 291, 59, QStringLiteral("OK"), DefButton),
        button(IdCancel, 51, 291, 59, QStringLiteral("キャンセル"), Button),
        label(77, 6, 8, QStringLiteral("前")),
        label(147, 6, 8, QStringLiteral("後")),
    };
    static const char16_t* const labels[] = {u"太字",   u"斜体",   u"太字斜体",   u"下線",   u"取消線",
                                             u"文字色", u"背景色", u"文字サイズ", u"左寄せ", u"中央寄せ",
                                             u"右寄せ", u"画像",   u"リンク",     u"見出し", u"引用"};
    for (int k = 0; k < 15; ++k) {
        const int y = 18 + 18 * k;
        t.controls.push_back(label(8, y + 3 + (k == 13 ? 1 : 0), 40, QString::fromUtf16(labels[k])));
        t.controls.push_back(edit(ControlIds::BaseFormatEdits[k].begin, 52, y, 56));
        t.controls.push_back(label(111, y + 3, 8, QStringLiteral("～")));
        t.controls.push_back(edit(ControlIds::BaseFormatEdits[k].end, 122, y, 56));
    }
    return t;
}

DialogTemplate userFormats()
{
    DialogTemplate t = head(DialogTemplates::UserFormats, QStringLiteral("書式ユーザー設定"), 230, 231,
                            QStringLiteral("ＭＳ ゴシック"));
    t.controls = {
        button(IdOk, 155, 204, 59, QStringLiteral("OK"), DefButton),
        button(IdCancel, 87, 204, 59, QStringLiteral("キャンセル"), Button),
        label(39, 6, 16, QStringLiteral("名称")),
        label(114, 6, 8, QStringLiteral("前")),
        label(182, 6, 8, QStringLiteral("後")),
    };
    for (int k = 0; k < 10; ++k) {
        const int y = 18 + 18 * k;
        t.controls.push_back(label(8, y + 3, 10, QString(QChar(0x2460 + k))));
        const ControlIds::UserFormatRow& ids = ControlIds::UserFormatEdits[k];
        t.controls.push_back(edit(ids.name, 20, y, 56));
        t.controls.push_back(label(78, y + 3, 8, QStringLiteral("：")));
        t.controls.push_back(edit(ids.begin, 90, y, 56));
        t.controls.push_back(label(148, y + 3, 8, QStringLiteral("～")));
        t.controls.push_back(edit(ids.end, 158, y, 56));
    }
    return t;
}

DialogTemplate options()
{
    DialogTemplate t = head(DialogTemplates::Options, QStringLiteral("オプション"), 199, 89,
                            QStringLiteral("ＭＳ Ｐゴシック"));
    t.controls = {
        button(IdOk, 141, 66, 50, QStringLiteral("OK"), DefButton),
        button(IdCancel, 79, 66, 50, QStringLiteral("キャンセル"), Button),
        label(6, 12, 22, QStringLiteral("透明度")),
        control(ControlIds::TransparencyList, ControlKind::DropDownList, QRect(50, 10, 50, 80),
                Visible | TabStop | VScroll, {}),
        label(6, 32, 39, QStringLiteral("ブログページ")),
        edit(ControlIds::WebPageEdit, 50, 29, 140),
    };
    return t;
}

int mulDiv(int value, int numerator, int denominator)
{
    const long long product = static_cast<long long>(value) * numerator;
    // Halves round away from zero.
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}
} // namespace

const DialogTemplate* dialogTemplate(int id)
{
    static const std::map<int, DialogTemplate> all = [] {
        std::map<int, DialogTemplate> m;
        for (DialogTemplate t : {about(), picker(), words(), baseFormats(), userFormats(), options()})
            m.emplace(t.id, std::move(t));
        return m;
    }();
    const auto it = all.find(id);
    return it == all.end() ? nullptr : &it->second;
}

QRect dialogUnitsToPixels(const QRect& units, int baseX, int baseY)
{
    const int left = mulDiv(units.x(), baseX, 4);
    const int top = mulDiv(units.y(), baseY, 8);
    const int right = mulDiv(units.x() + units.width(), baseX, 4);
    const int bottom = mulDiv(units.y() + units.height(), baseY, 8);
    return QRect(left, top, right - left, bottom - top);
}

QString singleLineText(const QString& text)
{
    QString line = text;
    line.remove(QLatin1Char('\r'));
    line.remove(QLatin1Char('\n'));
    line.remove(QChar(0x2028));
    line.remove(QChar(0x2029));
    return line;
}
