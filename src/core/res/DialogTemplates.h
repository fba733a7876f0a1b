#pragma once

#include <QRect>
#include <QString>
#include <cstdint>
#include <vector>

// Dialog templates: every dialog's caption, size, font and controls, in dialog units.
// Controls stand in creation order, which is also the tab order of those with TabStop.
namespace DialogTemplates {
inline constexpr int About = 100;
inline constexpr int SymbolPicker = 130;
inline constexpr int Words = 132;
inline constexpr int BaseFormats = 137;
inline constexpr int UserFormats = 138;
inline constexpr int Options = 141;

inline constexpr int IdOk = 1;
inline constexpr int IdCancel = 2;
inline constexpr int NoId = -1; // a control nobody addresses (labels, the About icon)
} // namespace DialogTemplates

enum class ControlKind {
    PushButton,
    Static, // a label
    Icon,
    Edit, // single line
    DropDownList,
};

namespace ControlStyle {
inline constexpr std::uint32_t Visible = 1u << 0;
inline constexpr std::uint32_t TabStop = 1u << 1;
inline constexpr std::uint32_t DefaultButton = 1u << 2;
inline constexpr std::uint32_t Border = 1u << 3;
inline constexpr std::uint32_t AutoHScroll = 1u << 4;
inline constexpr std::uint32_t Center = 1u << 5;
inline constexpr std::uint32_t Sunken = 1u << 6;
inline constexpr std::uint32_t VScroll = 1u << 7;
} // namespace ControlStyle

struct DialogControl {
    int id;
    ControlKind kind;
    QRect rect; // dialog units
    std::uint32_t style;
    QString text;
    int stringId = 0; // when set, the text comes from the string table instead

    bool has(std::uint32_t flag) const { return (style & flag) != 0; }
};

struct DialogTemplate {
    int id = 0;
    QString caption;
    int width = 0, height = 0; // dialog units
    QString fontFace;
    int fontPointSize = 9;
    std::vector<DialogControl> controls;
    int initialFocus = DialogTemplates::NoId;
};

// The template with this resource ID; nullptr for an unknown one.
const DialogTemplate* dialogTemplate(int id);

// Dialog units to pixels for a font whose average character is baseX wide and whose
// height is baseY, rounded as the platform's MulDiv does.
QRect dialogUnitsToPixels(const QRect& units, int baseX, int baseY);

// What a single-line edit keeps of a text: the line breaks taken out, the lines joined.
QString singleLineText(const QString& text);
