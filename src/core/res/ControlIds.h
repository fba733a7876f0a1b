#pragma once

#include <array>

// Control IDs of the dialogs, each written here once; templates, dialogs and tests use
// these names. The numbers are per dialog: the user-format dialog reuses some of the
// base-format dialog's numbers for other rows.
namespace ControlIds {
// About box
inline constexpr int AboutTitle = 1000;
inline constexpr int AboutVersion = 1001;
inline constexpr int AboutLink = 1002;

// Registered words 0..9
inline constexpr std::array<int, 10> WordEdits = {1013, 1014, 1015, 1016, 1017, 1018, 1019, 1020, 1021, 1022};

// Options
inline constexpr int TransparencyList = 1015;
inline constexpr int WebPageEdit = 1065;

// Begin and end edit of base formats 1..15
struct BaseFormatRow {
    int begin, end;
};
inline constexpr std::array<BaseFormatRow, 15> BaseFormatEdits = {{
    {1016, 1017}, // bold
    {1018, 1019}, // italic
    {1020, 1021}, // bold italic
    {1040, 1041}, // underline
    {1022, 1023}, // strike-through
    {1024, 1025}, // text colour
    {1026, 1027}, // background colour
    {1028, 1029}, // size
    {1030, 1031}, // left
    {1032, 1033}, // centre
    {1034, 1035}, // right
    {1036, 1037}, // image
    {1038, 1039}, // link
    {1042, 1043}, // heading
    {1044, 1045}, // quote
}};

// Name, begin and end edit of user formats 1..10
struct UserFormatRow {
    int name, begin, end;
};
inline constexpr std::array<UserFormatRow, 10> UserFormatEdits = {{
    {1046, 1034, 1045},
    {1047, 1035, 1056},
    {1048, 1036, 1057},
    {1049, 1037, 1058},
    {1050, 1038, 1059},
    {1051, 1039, 1060},
    {1052, 1040, 1061},
    {1053, 1042, 1062},
    {1054, 1043, 1063},
    {1055, 1044, 1064},
}};
} // namespace ControlIds
