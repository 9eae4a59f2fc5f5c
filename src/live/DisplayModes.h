#pragma once
// What the data panel can show as the parameter modes decide: which displays and which chart
// pages. The parameter rules fill these; the data panel carries them out.
#include <array>

namespace live {

// Tab pages of the data panel.
enum DataTabPage : int { kDataPageRgb = 0, kDataPageInt = 1, kDataPage2D = 2, kDataPage3D = 3 };

// Displays of the data panel; hidden displays are still written by the live update.
struct DataPanelDisplays {
    bool deltaCAndColourNumber = true;
    std::array<bool, 5> outputIndicators{}; // OUT0..OUT4
    bool groupDisplay = false;
    bool triggerIndicator = false;
    bool colourCoordinates = true; // X (s), Y (i), INT (M)
};

struct DataPages {
    std::array<bool, 4> visible{true, true, true, true}; // RGB, INT, 2D, 3D
    int activePage = kDataPage3D;
};

} // namespace live
