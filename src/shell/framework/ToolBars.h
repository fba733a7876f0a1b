#pragma once

#include "core/res/CommandIds.h"

#include <QIcon>
#include <QVector>

class ActionSet;
class QToolBar;
class QWidget;

// Makes the icons of the shell library available; idempotent.
void initIconResources();

// The icon of a command's toolbar button: the desktop theme's icon where one fits, else
// our own drawn icon from the resources.
QIcon commandIcon(Cmd::Id id);

// A toolbar of the toolbar table: the commands' actions with their icons and separators,
// named "ToolBar<id>" so that its layout can be saved and restored.
QToolBar* buildToolBar(ActionSet& actions, int toolbarId, const QString& title, QWidget* parent);

// The commands of a toolbar, separators left out.
QVector<Cmd::Id> toolbarCommands(int toolbarId);
