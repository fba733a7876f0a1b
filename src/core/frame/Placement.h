#pragma once

#include <QString>

// The window-placement rules of the main frame, free of any screen so they can be tested
// as plain arithmetic.
namespace Placement {
inline constexpr int DefaultLeft = 0;
inline constexpr int DefaultTop = 0;
inline constexpr int DefaultRight = 639;
inline constexpr int DefaultBottom = 319;

// Edges as the settings keep them: right and bottom lie one past the last pixel.
struct Edges {
    int left = DefaultLeft;
    int top = DefaultTop;
    int right = DefaultRight;
    int bottom = DefaultBottom;
    bool operator==(const Edges&) const = default;
};

struct Frame {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Frame&) const = default;
};

// Where the frame opens: a left or top edge beyond the far side of the virtual screen
// moves the window so that its far edge lies on the screen's far edge; an edge before the
// near side moves onto it. Only the left and top edges are compared with the screen. A
// stored rectangle without area (a damaged file) falls back to the default size rather
// than opening an invisible window.
Frame placeOnScreen(const Edges& stored, const Edges& virtualScreen);

// The layered-window alpha of a transparency percentage: 255 is opaque.
int alphaOf(int transparencyPercent);

// A user format name as a toolbar tooltip: at most 79 UTF-16 units, never half of a
// surrogate pair.
QString tooltipOfName(const QString& name);
inline constexpr int TooltipMaxLength = 79;
} // namespace Placement
