#include "shell/framework/CommandRouter.h"

void CommandMap::on(Cmd::Id id, Handler handler, Updater updater)
{
    entries[id] = {std::move(handler), std::move(updater)};
}

const CommandMap::Entry* CommandMap::find(Cmd::Id id) const
{
    const auto it = entries.find(id);
    return it == entries.end() ? nullptr : &it->second;
}

const CommandMap::Entry* CommandRouter::find(Cmd::Id id) const
{
    for (const CommandMap* map : targets)
        if (map)
            if (const CommandMap::Entry* e = map->find(id))
                return e;
    return nullptr;
}

CommandState CommandRouter::query(Cmd::Id id) const
{
    CommandState state;
    const CommandMap::Entry* e = find(id);
    if (!e) {
        state.enabled = false;
        return state;
    }
    if (e->updater)
        e->updater(state);
    return state;
}

bool CommandRouter::dispatch(Cmd::Id id) const
{
    const CommandMap::Entry* e = find(id);
    if (!e)
        return false;
    // A handler may replace the maps it lives in; run a copy.
    const CommandMap::Handler handler = e->handler;
    handler();
    return true;
}

bool CommandRouter::dispatchIfEnabled(Cmd::Id id) const
{
    return query(id).enabled && dispatch(id);
}
