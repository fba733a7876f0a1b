#pragma once

#include <QList>
#include <QString>

class ProfileStore;
class QMainWindow;
class QToolBar;

// The toolbar layout in the settings file, under a profile name such as "ToolBar":
//
//   [ToolBar-Summary]  Bars=3, ScreenCX, ScreenCY, Layout=<the window's saved state, hex>
//   [ToolBar-Bar0..n]  BarID, Visible, Floating, Docking (1 left, 2 right, 4 top, 8 bottom),
//                      XPos, YPos (in the window when docked, on the screen when floating)
//
// The layout restores every position, side and floating state exactly; without it (or
// when it is from another toolkit version) the readable keys put each bar back on its
// side, one row each. Visible always comes from the bar's own section.
namespace BarState {
void save(const QMainWindow& window, const QList<QToolBar*>& bars, ProfileStore& profile,
          const QString& name);
void load(QMainWindow& window, const QList<QToolBar*>& bars, const ProfileStore& profile,
          const QString& name);
} // namespace BarState
