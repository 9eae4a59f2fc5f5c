#include "access/Brand.h"

#ifndef CHROMIX_BRAND
#error "CHROMIX_BRAND comes from the build (src/access/CMakeLists.txt)"
#endif

namespace access_ {

namespace {

// The telephone numbers are from the ranges kept free for fiction, the web addresses under the
// reserved top-level domain .example, so no line reaches anyone real.
constexpr BrandEntry kBrands[kBrandCount] = {
    {"Kestrelmoor Colour Instruments Ltd.", "Tel. +44 1632 960527", "www.kestrelmoor.example", 17,
     11, 0x1B4D2E, 0xE6F2E0, "brand1-kestrelmoor.xpm"},
    {"Tilwick & Orme Optosensors Inc.", "Phone +1 202 555 0143", "www.tilwick-orme.example", 17, 11,
     0xFFFFFF, 0x1F3A66, "brand2-tilwick-orme.xpm"},
    {"Quillonde Farbsensorik AG", "Tel. +61 2 5550 1873", "www.quillonde.example", 17, 11, 0x5A1A00,
     0xFFF1D6, "brand3-quillonde.xpm"},
};

} // namespace

const BrandEntry* Brand(int number) {
    if (number < 1 || number > kBrandCount) return nullptr;
    return &kBrands[number - 1];
}

int BuiltBrand() {
    return CHROMIX_BRAND;
}

} // namespace access_
