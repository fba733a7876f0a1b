#include "core/res/Menus.h"

#include <array>

namespace {
using K = MenuNode::Kind;

constexpr MenuNode item(const char16_t* text, Cmd::Id id, bool checked = false)
{
    return {K::Item, text, id, checked, {}};
}
constexpr MenuNode sep{K::Separator, u"", Cmd::None, false, {}};
constexpr MenuNode popup(const char16_t* text, std::span<const MenuNode> children)
{
    return {K::Popup, text, Cmd::None, false, children};
}

// The same five encodings; the save and new-document lists check the one in use.
constexpr std::array<MenuNode, Cmd::EncodingChoiceCount> encodingItems(Cmd::Id first, bool checked)
{
    return {{item(u"Shift_JIS(&S)", first, checked), item(u"UTF-8(&U)", Cmd::Id(first + 1), checked),
             item(u"UTF-8 BOM 付き(&B)", Cmd::Id(first + 2), checked),
             item(u"EUC-JP(&E)", Cmd::Id(first + 3), checked),
             item(u"UTF-16(&W)", Cmd::Id(first + 4), checked)}};
}

constexpr auto reopenMenu = encodingItems(Cmd::ReopenEncodingFirst, false);
constexpr auto saveEncodingMenu = encodingItems(Cmd::SaveEncodingFirst, true);
constexpr auto newEncodingMenu = encodingItems(Cmd::NewEncodingFirst, true);

constexpr MenuNode fileMenu[] = {
    item(u"新規作成\tCtrl+N(&N)", Cmd::FileNew),
    item(u"開く...\tCtrl+O(&O)", Cmd::FileOpen),
    item(u"上書き保存\tCtrl+S(&S)", Cmd::FileSave),
    item(u"名前を付けて保存(&A)...", Cmd::FileSaveAs),
    sep,
    popup(u"文字コードを指定して開き直す(&R)", reopenMenu),
    popup(u"保存する文字コード(&E)", saveEncodingMenu),
    popup(u"新規文書の文字コード(&W)", newEncodingMenu),
    sep,
    item(u"定型文書として保存(&T)", Cmd::SaveAsTemplate),
    sep,
    item(u"アプリケーションの終了(&X)", Cmd::AppExit),
};

constexpr MenuNode editMenu[] = {
    item(u"元に戻す\tCtrl+Z(&U)", Cmd::EditUndo),
    sep,
    item(u"切り取り\tCtrl+X(&T)", Cmd::EditCut),
    item(u"コピー\tCtrl+C(&C)", Cmd::EditCopy),
    item(u"貼り付け\tCtrl+V(&P)", Cmd::EditPaste),
    sep,
    item(u"検索\tCtrl+F(&F)", Cmd::Find),
    item(u"次検索\tF3", Cmd::FindNextDown),
    item(u"前検索\tShift+F3", Cmd::FindNextUp),
    item(u"置換\tCtrl+H(&R)", Cmd::Replace),
    sep,
    item(u"すべて選択\tCtrl+A(&A)", Cmd::EditSelectAll),
    sep,
    item(u"単語登録(&W)", Cmd::WordDialog),
    item(u"書式基本設定(&B)", Cmd::BaseFormatDialog),
    item(u"書式ユーザー設定(&U)", Cmd::UserFormatDialog),
    item(u"オプション(&O)", Cmd::OptionDialog),
};

constexpr MenuNode viewMenu[] = {
    item(u"ツール バー(&T)", Cmd::ViewToolBar, true),
    item(u"ステータス バー(&S)", Cmd::ViewStatusBar),
    item(u"プレビュー(&P)", Cmd::ViewPreview),
    sep,
    item(u"最前面へ移動(&M)", Cmd::AlwaysOnTop, true),
    sep,
    item(u"フォント(&F)...", Cmd::ChooseFont),
    item(u"記号選択(&K)", Cmd::SymbolPicker),
    item(u"半透明化On/Off\tF4", Cmd::Translucency, true),
};

constexpr MenuNode decorationMenu[] = {
    item(u"太字(&B)", Cmd::BaseBold),           item(u"斜体(&I)", Cmd::BaseItalic),
    item(u"太字斜体(&W)", Cmd::BaseBoldItalic), item(u"下線(&U)", Cmd::BaseUnderline),
    item(u"取消線(&S)", Cmd::BaseStrike),
};

constexpr MenuNode fontMenu[] = {
    item(u"文字色(&F)", Cmd::BaseColor),
    item(u"背景色(&B)", Cmd::BaseBackground),
    item(u"サイズ(&S)", Cmd::BaseSize),
};

constexpr MenuNode alignMenu[] = {
    item(u"左寄せ(&L)", Cmd::BaseLeft),
    item(u"中央寄せ(&C)", Cmd::BaseCenter),
    item(u"右寄せ(&R)", Cmd::BaseRight),
};

constexpr MenuNode formatMenu[] = {
    popup(u"文字装飾(&D)", decorationMenu), popup(u"フォント(&F)", fontMenu),
    popup(u"位置揃え(&P)", alignMenu),      item(u"画像(G)", Cmd::BaseImage),
    item(u"リンク(&L)", Cmd::BaseLink),     item(u"見出し(&H)", Cmd::BaseHeading),
    item(u"引用(&Q)", Cmd::BaseQuote),
};

constexpr MenuNode helpMenu[] = {
    item(u"義援金リンク(&L)", Cmd::DonationLink),
    item(u"バージョン情報(&A)...", Cmd::About),
};

constexpr MenuNode menuBar[] = {
    popup(u"ファイル(&F)", fileMenu), popup(u"編集(&E)", editMenu),   popup(u"表示(&V)", viewMenu),
    popup(u"書式", formatMenu),       popup(u"ヘルプ(&H)", helpMenu),
};
} // namespace

std::span<const MenuNode> mainMenu()
{
    return menuBar;
}
