#pragma once

#include "core/res/CommandIds.h"

#include <Qt>
#include <span>

// One row per accelerator: key, modifiers, command.
struct Accelerator {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    Cmd::Id id;
};

std::span<const Accelerator> acceleratorTable();
