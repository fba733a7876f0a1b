#include "core/res/Accelerators.h"

namespace {
constexpr auto Ctrl = Qt::ControlModifier;
constexpr auto Shift = Qt::ShiftModifier;
constexpr auto Alt = Qt::AltModifier;
constexpr auto None = Qt::NoModifier;

// clang-format off
const Accelerator table[] = {
    {Qt::Key_0,         Ctrl,  Cmd::Words[0]},
    {Qt::Key_1,         Ctrl,  Cmd::Words[1]},
    {Qt::Key_2,         Ctrl,  Cmd::Words[2]},
    {Qt::Key_3,         Ctrl,  Cmd::Words[3]},
    {Qt::Key_4,         Ctrl,  Cmd::Words[4]},
    {Qt::Key_5,         Ctrl,  Cmd::Words[5]},
    {Qt::Key_6,         Ctrl,  Cmd::Words[6]},
    {Qt::Key_7,         Ctrl,  Cmd::Words[7]},
    {Qt::Key_8,         Ctrl,  Cmd::Words[8]},
    {Qt::Key_9,         Ctrl,  Cmd::Words[9]},
    {Qt::Key_A,         Ctrl,  Cmd::EditSelectAll},
    {Qt::Key_C,         Ctrl,  Cmd::EditCopy},
    {Qt::Key_F,         Ctrl,  Cmd::Find},
    {Qt::Key_H,         Ctrl,  Cmd::Replace},
    {Qt::Key_N,         Ctrl,  Cmd::FileNew},
    {Qt::Key_O,         Ctrl,  Cmd::FileOpen},
    {Qt::Key_P,         Ctrl,  Cmd::FilePrint},
    {Qt::Key_S,         Ctrl,  Cmd::FileSave},
    {Qt::Key_V,         Ctrl,  Cmd::EditPaste},
    {Qt::Key_Backspace, Alt,   Cmd::EditUndo},
    {Qt::Key_Delete,    Shift, Cmd::EditCut},
    {Qt::Key_F3,        None,  Cmd::FindNextDown},
    {Qt::Key_F3,        Shift, Cmd::FindNextUp},
    {Qt::Key_F4,        None,  Cmd::Translucency},
    {Qt::Key_F6,        None,  Cmd::NextPane},
    {Qt::Key_F6,        Shift, Cmd::PrevPane},
    {Qt::Key_Insert,    Ctrl,  Cmd::EditCopy},
    {Qt::Key_Insert,    Shift, Cmd::EditPaste},
    {Qt::Key_X,         Ctrl,  Cmd::EditCut},
    {Qt::Key_Z,         Ctrl,  Cmd::EditUndo},
};
// clang-format on
} // namespace

std::span<const Accelerator> acceleratorTable()
{
    return table;
}
