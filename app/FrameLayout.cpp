#include "FrameLayout.h"

namespace pinleaf {

FrameLayout frameLayout(bool sliced, bool extracted) {
    if (sliced) {
        return FrameLayout::Sliced;
    }
    return extracted ? FrameLayout::Extracted : FrameLayout::Compact;
}

int frameHeight(FrameLayout layout) {
    switch (layout) {
        case FrameLayout::Sliced:
            return 17;
        case FrameLayout::Extracted:
            return 575;
        case FrameLayout::Compact:
            break;
    }
    return 395;
}

std::vector<ControlPlace> layoutPlaces(FrameLayout layout) {
    constexpr int keep = ControlPlace::kKeepTop;
    struct Row {
        const char* name;
        int extractedTop;
        std::optional<bool> extractedVisible;
        int compactTop;
        std::optional<bool> compactVisible;
    };
    constexpr std::nullopt_t leave = std::nullopt;
    // The title, the "Message:" label and the message box (tops 95 to 273) never move.
    static const Row rows[] = {
        {"Label3", 277, true, 306, true},
        {"DateText", keep, false, 320, true},
        {"MonthCalendarPanel", 293, true, keep, false},
        {"Label2", 450, true, 278, true},
        {"NumberText", 463, true, 291, true},
        {"Label4", 478, true, 337, true},
        {"TimeEdit", 494, true, 353, true},
        {"Label7", 517, true, keep, false},
        {"UrlEdit", 533, true, keep, false},
        {"GoToButton", 533, true, keep, false},
        {"PageTurnPrevImage", 558, true, 378, true},
        {"PageTurnNextImage", 558, true, 378, true},
        {"UpDownImage", 565, true, 385, true},
        // The printing display moves with the layout; whether it shows is up to printing.
        {"PrintShape", 295, leave, 205, leave},
        {"Label5", 300, leave, 210, leave},
        {"PrintingLabel", 318, leave, 228, leave},
        {"PrintingProgressBar", 338, leave, 248, leave},
    };
    std::vector<ControlPlace> places;
    if (layout == FrameLayout::Sliced) {
        return places;
    }
    const bool extracted = layout == FrameLayout::Extracted;
    for (const Row& row : rows) {
        places.push_back({QLatin1String(row.name), extracted ? row.extractedTop : row.compactTop,
                          extracted ? row.extractedVisible : row.compactVisible});
    }
    return places;
}

}  // namespace pinleaf
