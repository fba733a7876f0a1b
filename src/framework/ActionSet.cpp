#include "framework/ActionSet.h"

#include "res/Accelerators.h"
#include "res/Menus.h"
#include "res/Strings.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QWidget>

ActionSet::ActionSet(const CommandRouter& r, QWidget* w) : QObject(w), router(r), window(w) {}

QAction* ActionSet::action(Cmd::Id id)
{
    if (QAction* a = byId.value(id))
        return a;
    auto* a = new QAction(this);
    a->setData(int(id));
    a->setStatusTip(promptOf(id));
    const QString tip = tooltipOf(id);
    if (!tip.isEmpty())
        a->setToolTip(tip);
    connect(a, &QAction::triggered, this, [this, id] {
        router.dispatch(id);
        if (QAction* self = byId.value(id); self && self->isCheckable())
            updateAction(self, router.query(id));
    });
    byId.insert(id, a);
    return a;
}

namespace {
void addNodes(ActionSet& set, QMenu* menu, std::span<const MenuNode> nodes, QVector<QMenu*>& menus)
{
    for (const MenuNode& n : nodes) {
        switch (n.kind) {
        case MenuNode::Separator:
            menu->addSeparator();
            break;
        case MenuNode::Popup: {
            QMenu* sub = menu->addMenu(QString::fromUtf16(n.text));
            menus.append(sub);
            addNodes(set, sub, n.children, menus);
            break;
        }
        case MenuNode::Item: {
            QAction* a = set.action(n.id);
            a->setText(QString::fromUtf16(n.text));
            if (n.checked) {
                a->setCheckable(true);
                a->setChecked(true);
            }
            menu->addAction(a);
            break;
        }
        }
    }
}
} // namespace

void ActionSet::buildMenuBar(QMenuBar* bar)
{
    for (const MenuNode& top : mainMenu()) {
        QMenu* m = bar->addMenu(QString::fromUtf16(top.text));
        menus.append(m);
        addNodes(*this, m, top.children, menus);
    }
    for (QMenu* m : std::as_const(menus)) {
        connect(m, &QMenu::aboutToShow, this, [this, m] { updateMenu(m); });
        connect(m, &QMenu::hovered, this, [this](QAction* a) { Q_EMIT promptRequested(a->statusTip()); });
        connect(m, &QMenu::aboutToHide, this, [this] { Q_EMIT promptRequested(QString()); });
    }
}

QMenu* ActionSet::menuOf(const QString& title) const
{
    for (QMenu* m : menus)
        if (m->title() == title)
            return m;
    return nullptr;
}

void ActionSet::bindAccelerators()
{
    for (const Accelerator& a : acceleratorTable()) {
        auto* s = new QShortcut(QKeySequence(int(a.key) | int(a.modifiers)), window);
        s->setContext(Qt::WindowShortcut);
        s->setAutoRepeat(true);
        const Cmd::Id id = a.id;
        connect(s, &QShortcut::activated, this, [this, id] { router.dispatchIfEnabled(id); });
    }
}

void ActionSet::updateAction(QAction* a, const CommandState& state)
{
    a->setEnabled(state.enabled);
    if (state.checked >= 0) {
        a->setCheckable(true);
        a->setChecked(state.checked == 1);
    }
}

void ActionSet::updateMenu(QMenu* menu)
{
    const QList<QAction*> items = menu->actions();
    for (QAction* a : items) {
        if (a->isSeparator() || a->menu())
            continue;
        const CommandState state = router.query(Cmd::Id(a->data().toInt()));
        if (state.removeFromMenu) {
            menu->removeAction(a);
            continue;
        }
        updateAction(a, state);
    }
}

void ActionSet::updateActions(const QVector<Cmd::Id>& ids)
{
    for (Cmd::Id id : ids)
        if (QAction* a = byId.value(id))
            updateAction(a, router.query(id));
}

void ActionSet::watchOnIdle(const QVector<Cmd::Id>& ids)
{
    if (idleIds.isEmpty())
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
                &ActionSet::idleUpdate);
    for (Cmd::Id id : ids)
        if (id != Cmd::None && !idleIds.contains(id))
            idleIds.append(id);
}

void ActionSet::idleUpdate()
{
    if (updating)
        return;
    updating = true;
    updateActions(idleIds);
    updating = false;
}
