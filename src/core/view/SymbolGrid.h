#pragma once

// The symbol picker's selection rules: which cell a point hits and where a key moves the
// selected cell. −1 means no cell.
namespace SymbolGrid {
inline constexpr int CellPixels = 18;
inline constexpr int CellInset = 2; // a character is drawn this far in from its cell's corner
inline constexpr int NoCell = -1;

enum class Key { Home, End, Left, Up, Right, Down, Other };

int hitTest(int x, int y);
int afterKey(int selectedCell, Key key);
} // namespace SymbolGrid
