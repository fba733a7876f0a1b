#include "core/view/SymbolGrid.h"

#include "core/view/SymbolTable.h"

namespace SymbolGrid {
int hitTest(int x, int y)
{
    // Negative points would divide towards zero onto column or row 0.
    if (x < 0 || y < 0)
        return NoCell;
    const int column = x / CellPixels;
    const int row = y / CellPixels;
    if (column >= SymbolTable::Columns || row >= SymbolTable::Rows)
        return NoCell;
    return row * SymbolTable::Columns + column;
}

int afterKey(int selectedCell, Key key)
{
    int candidate = selectedCell;
    switch (key) {
    case Key::Home:
        return 0;
    case Key::End:
        return SymbolTable::Count - 1;
    case Key::Left:
        candidate = selectedCell - 1;
        break;
    case Key::Up:
        candidate = selectedCell - SymbolTable::Columns;
        break;
    case Key::Right:
        candidate = selectedCell + 1;
        break;
    case Key::Down:
        candidate = selectedCell + SymbolTable::Columns;
        break;
    case Key::Other:
        return selectedCell;
    }
    return candidate >= 0 && candidate < SymbolTable::Count ? candidate : selectedCell;
}
} // namespace SymbolGrid
