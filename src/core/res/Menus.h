#pragma once

#include "core/res/CommandIds.h"

#include <span>

// The menu bar as data. A popup lists its children; an item sends its command.
struct MenuNode {
    enum Kind { Item, Separator, Popup };
    Kind kind;
    const char16_t* text;
    Cmd::Id id;
    bool checked;
    std::span<const MenuNode> children;
};

std::span<const MenuNode> mainMenu();
