#pragma once

#include "core/res/CommandIds.h"

#include <span>

// Toolbar button lists; Cmd::None marks a separator.
namespace Bar {
inline constexpr int MainId = 128;
inline constexpr int FormatId = 135;
inline constexpr int UserId = 139;
} // namespace Bar

std::span<const Cmd::Id> toolbarButtons(int toolbarId);
