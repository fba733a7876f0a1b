#include "core/res/Toolbars.h"

#include <array>

namespace {
using namespace Cmd;
constexpr Id S = None;

// clang-format off
constexpr Id mainBar[] = {
    FileNew, FileOpen, FileSave, S,
    EditCut, EditCopy, EditPaste, S,
    Find, FindNextDown, FindNextUp, S,
    ChooseFont, SymbolPicker, S,
    Translucency, S,
    CopyAll, S,
    OpenBlogPage, S,
    About,
};
constexpr Id formatBar[] = {
    BaseBold, BaseItalic, BaseBoldItalic, BaseUnderline, BaseStrike, S,
    BaseColor, BaseBackground, BaseSize, S,
    BaseLeft, BaseCenter, BaseRight, S,
    BaseImage, BaseLink, BaseHeading, BaseQuote,
};
// clang-format on
constexpr auto userBar = [] {
    std::array<Id, UserFormatLast - UserFormatFirst + 1> ids{};
    for (std::size_t i = 0; i < ids.size(); ++i)
        ids[i] = Id(UserFormatFirst + i);
    return ids;
}();
} // namespace

std::span<const Cmd::Id> toolbarButtons(int toolbarId)
{
    switch (toolbarId) {
    case Bar::MainId:
        return mainBar;
    case Bar::FormatId:
        return formatBar;
    case Bar::UserId:
        return userBar;
    default:
        return {};
    }
}
