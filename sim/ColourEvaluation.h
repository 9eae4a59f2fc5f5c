#pragma once
// How the simulated sensor turns red, green and blue into colour coordinates and finds the
// taught colour they belong to.
#include "protocol/ParameterImage.h"
#include "sim/ModelNames.h"

#include <cstdint>

namespace sim {

// Colour coordinates in the units of the teach table.
// X Y INT modes: X = 10000 r / (r+g+b), Y = 10000 g / (r+g+b), INT = (r+g+b) / 3.
// s i M modes:   s = 10000 (r - g + 4095) / 8190, i = 10000 ((r+g)/2 - b + 4095) / 8190,
//                M = 1200 (r+g+b) / 12285.
struct ColourPoint {
    int first = 0;     // X or s
    int second = 0;    // Y or i
    int intensity = 0; // INT or M
};

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};

bool IsSiMode(int calculationMode);
bool Is3dMode(int calculationMode);
ColourPoint ComputeColourPoint(const Rgb& rgb, int calculationMode);
// The reverse, clipped to 0..4095 per channel: the colour an object must have to show `point`.
Rgb RgbFromColourPoint(const ColourPoint& point, int calculationMode);

// A teach row's reading: position, colour tolerance, intensity and intensity tolerance.
struct TaughtColour {
    ColourPoint point;
    int colourTolerance = 0;
    int intensityTolerance = 0; // TOL again in 3D
};
TaughtColour ReadTaughtColour(const TeachVector& row, int calculationMode);
// A row still at its reset value (X and Y at most 10) holds no colour.
bool IsTaught(const TeachVector& row);

constexpr std::uint16_t kNoColour = 255;
constexpr std::int16_t kNoDistance = -1;

struct Evaluation {
    std::uint16_t colourNumber = kNoColour;
    std::uint16_t group = kNoColour;
    std::int16_t deltaC = kNoDistance;
};

// Evaluates the live colour against rows 0 .. MAX VEC NO - 1 of `set` by its EVALUATION MODE.
Evaluation EvaluateColour(const Rgb& rgb, const ParameterImage& set);

} // namespace sim
