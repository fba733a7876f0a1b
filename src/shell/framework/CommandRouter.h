#pragma once

#include "core/res/CommandIds.h"

#include <array>
#include <functional>
#include <unordered_map>

// What an update handler reports of a command.
struct CommandState {
    bool enabled = true;
    int checked = -1;            // -1: not a check item; 0 or 1 otherwise
    bool removeFromMenu = false; // take the item out of the menu being opened
};

// The commands one target handles, each with an optional update handler.
class CommandMap {
public:
    using Handler = std::function<void()>;
    using Updater = std::function<void(CommandState&)>;

    void on(Cmd::Id id, Handler handler, Updater updater = {});

    struct Entry {
        Handler handler;
        Updater updater;
    };
    const Entry* find(Cmd::Id id) const;

private:
    std::unordered_map<Cmd::Id, Entry> entries;
};

// Routes a command to the view, the frame and the application, in this order; the first
// target that handles it runs it. A command nobody handles is disabled. (The document
// handles no command of its own.)
class CommandRouter {
public:
    enum Target { View, Frame, Application, TargetCount };

    void setTarget(Target target, const CommandMap* map) { targets[target] = map; }

    CommandState query(Cmd::Id id) const;
    // Runs the handler; false when nobody handles the command.
    bool dispatch(Cmd::Id id) const;
    // As a key does: runs the command only while its update handler enables it.
    bool dispatchIfEnabled(Cmd::Id id) const;

private:
    const CommandMap::Entry* find(Cmd::Id id) const;
    std::array<const CommandMap*, TargetCount> targets{};
};
