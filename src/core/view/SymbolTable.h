#pragma once

#include <array>

// The symbol picker's grid: 10 rows of 20 cells, row-major; U+3000 fills empty cells.
namespace SymbolTable {
inline constexpr int Rows = 10;
inline constexpr int Columns = 20;
inline constexpr int Count = Rows * Columns;
const std::array<char16_t, Count>& cells();
} // namespace SymbolTable
