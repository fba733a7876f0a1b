#include "core/res/Toolbars.h"

namespace {
constexpr Cmd::Id S = Cmd::None;

constexpr Cmd::Id mainBar[] = {57600, 57601, 57603, S, 57635, 57634, 57637, S, 32773, 32775, 32777,
                               S,     32784, 32790, S, 32804, S,     32850, S, 32847, S,     57664};
constexpr Cmd::Id formatBar[] = {32819, 32820, 32821, 32822, 32817, S,     32823, 32824, 32825,
                                 S,     32829, 32830, 32831, S,     32826, 32827, 32834, 32835};
constexpr Cmd::Id userBar[] = {32836, 32837, 32838, 32839, 32840, 32841, 32842, 32843, 32844, 32845};
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
