#pragma once

#include "core/res/CommandIds.h"
#include "shell/framework/CommandRouter.h"

#include <QHash>
#include <QObject>
#include <QVector>

class QAction;
class QMenu;
class QMenuBar;
class QShortcut;
class QWidget;

// The QActions of the program's commands, the menu bar and the keys, all built from the
// resource tables, and the update passes that ask the router for each command's state.
class ActionSet : public QObject {
    Q_OBJECT
public:
    ActionSet(const CommandRouter& router, QWidget* window);

    // The action of a command; made on first use.
    QAction* action(Cmd::Id id);
    const QHash<Cmd::Id, QAction*>& actions() const { return byId; }

    // Fills the menu bar from the menu table; each menu updates its items as it opens.
    void buildMenuBar(QMenuBar* bar);
    // Binds every accelerator of the accelerator table to the window.
    void bindAccelerators();

    // Updates the given actions from their commands' states (toolbar buttons, on idle).
    void watchOnIdle(const QVector<Cmd::Id>& ids);
    void updateActions(const QVector<Cmd::Id>& ids);
    void updateMenu(QMenu* menu);

    QMenu* menuOf(const QString& title) const;

Q_SIGNALS:
    // A command's status-bar prompt is to be shown (empty: back to the idle text).
    void promptRequested(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateAction(QAction* action, const CommandState& state);
    void idleUpdate();

    const CommandRouter& router;
    QWidget* window;
    QHash<Cmd::Id, QAction*> byId;
    QVector<Cmd::Id> idleIds;
    QVector<QMenu*> menus;
    bool updating = false;
};
