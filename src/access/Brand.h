#pragma once
// The company that ships the program: its contact lines, colours and logo, shown in the brand
// block of the main window. Which brand a program shows is chosen when it is built.
#include <cstdint>
#include <string_view>

namespace access_ {

inline constexpr std::string_view kProgramTitle = "CHROMIX3-Varev V4.2";

struct BrandEntry {
    std::string_view company;   // company line
    std::string_view telephone; // telephone line
    std::string_view web;       // web line
    int titlePointSize;         // of the program title
    int contactPointSize;       // of the three contact lines
    std::uint32_t textColour;   // 0xRRGGBB, of the title and the contact lines
    std::uint32_t backColour;   // 0xRRGGBB, the block's background; its frame is a shade darker
    std::string_view logoFile;  // looked up in the program directory
};

inline constexpr int kBrandCount = 3;
// The title's size when the program shows no brand.
inline constexpr int kNoBrandTitlePointSize = 22;

// The entry of brand 1..kBrandCount, or nullptr for any other number (no brand).
const BrandEntry* Brand(int number);

// The brand this program was built with (CMake's CHROMIX_BRAND); it may be a number without an
// entry, which means no brand.
int BuiltBrand();

} // namespace access_
