#include "core/view/SymbolTable.h"

#include <string_view>

namespace {
// One literal a row; the ideographic space (U+3000) fills each row after its last symbol.
// clang-format off
constexpr std::u16string_view rows[SymbolTable::Rows] = {
    u"♂♀☆★○●◎◇◆□■△▲▽▼※〒♯♭♪",
    u"→←↑↓⇒⇔〔〕〈〉《》『』【】≪≫",
    u"～∥｜…‥‘’“”°′″℃￠￡±×÷＝≠",
    u"≦≧≒≡∞∴∵§",
    u"①②③④⑤⑥⑦⑧⑨⑩⑪⑫⑬⑭⑮⑯⑰⑱⑲⑳",
    u"ⅠⅡⅢⅣⅤⅥⅦⅧⅨⅩ㊤㊥㊦㊧㊨",
    u"ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥ",
    u"ΦΧΨΩ",
    u"αβγδεζηθικλμνξοπρστυ",
    u"φχψω",
};
// clang-format on

constexpr std::array<char16_t, SymbolTable::Count> table = [] {
    std::array<char16_t, SymbolTable::Count> cells{};
    cells.fill(u'\u3000');
    constexpr std::size_t columns = SymbolTable::Columns;
    for (std::size_t row = 0; row < std::size(rows); ++row) {
        if (rows[row].size() > columns)
            throw "a row holds at most one symbol a column";
        for (std::size_t column = 0; column < rows[row].size(); ++column)
            cells[row * columns + column] = rows[row][column];
    }
    return cells;
}();
} // namespace

const std::array<char16_t, SymbolTable::Count>& SymbolTable::cells()
{
    return table;
}
