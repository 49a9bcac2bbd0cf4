#pragma once
// The main window's three layouts: sliced (only the title strip), compact and extracted (the
// tall layout with the month calendar and the web address).

#include <QString>

#include <optional>
#include <vector>

namespace pinleaf {

enum class FrameLayout { Sliced, Compact, Extracted };

// "Sliced" wins over "Extracted".
FrameLayout frameLayout(bool sliced, bool extracted);

// The client height (and the outline's height) of a layout: 17, 395 or 575 pixels.
int frameHeight(FrameLayout layout);

// Where one control of the window goes in a layout: its top (kKeepTop leaves it where it
// is) and whether it shows (no value: the layout leaves that to others).
struct ControlPlace {
    static constexpr int kKeepTop = -1;
    QString name;  // the control's object name
    int top;
    std::optional<bool> visible;
};

// The places of the controls that move or show by layout, for the compact and the extracted
// layout; none for the sliced layout, which only cuts the window off below the title strip.
std::vector<ControlPlace> layoutPlaces(FrameLayout layout);

}  // namespace pinleaf
