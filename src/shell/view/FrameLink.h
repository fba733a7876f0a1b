#pragma once

#include <QString>
#include <array>

// What the view hands to the main frame: the transparency and the user format names, and
// that the formats changed.
class FrameLink {
public:
    virtual ~FrameLink() = default;
    virtual void setTransparency(int percent) = 0;
    virtual void setUserFormatNames(const std::array<QString, 10>& names) = 0;
    // The begin or end texts of some formats were changed.
    virtual void formatsChanged() {}
};
