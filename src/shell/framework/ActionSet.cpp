#include "shell/framework/ActionSet.h"

#include "core/res/Accelerators.h"
#include "core/res/Menus.h"
#include "core/res/Strings.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
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
    qApp->installEventFilter(this);
}

bool ActionSet::eventFilter(QObject* watched, QEvent* event)
{
    // Qt tries a keypad key again without its keypad flag when no shortcut takes it, so
    // Ctrl with a keypad digit would run the main keyboard's Ctrl+digit. The keypad digits
    // are keys of their own: with Ctrl they do nothing here, neither run a command nor
    // type a digit.
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers();
    if (!(mods & Qt::KeypadModifier) || !(mods & Qt::ControlModifier) || key->key() < Qt::Key_0 ||
        key->key() > Qt::Key_9)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != window)
        return false;
    event->accept(); // an accepted override keeps the shortcut map from trying the key
    return true;
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
