#pragma once
// Design-time appearance: geometry in twips (1/1440 inch), fonts and colours.

#include <cstdint>
#include <string>

namespace forms {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr double kPointsPerInch = 72.0;

struct Twips {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// 0xRRGGBB.
struct Rgb {
    static constexpr std::uint32_t kChannel = 0xFF;
    std::uint32_t value = 0;
    constexpr std::uint8_t red() const { return (value >> 16) & kChannel; }
    constexpr std::uint8_t green() const { return (value >> 8) & kChannel; }
    constexpr std::uint8_t blue() const { return value & kChannel; }
    bool operator==(const Rgb&) const = default;
};

namespace colors {
inline constexpr Rgb kButtonFace{0xC0C0C0};  // the light grey the windows are designed on
inline constexpr Rgb kWindow{0xFFFFFF};
inline constexpr Rgb kWindowText{0x000000};
}  // namespace colors

struct Font {
    static constexpr double kDesignPoints = 9.0;  // the size every window is designed in
    std::string face = "新細明體";
    double points = kDesignPoints;
    bool bold = false;
    bool underline = false;
};

enum class Alignment { Left, Center, Right };

// Twips to pixels at a given dots-per-inch, rounded to the nearest pixel.
constexpr int twipsToPixels(int twips, int dpi) {
    long long scaled = static_cast<long long>(twips) * dpi;
    constexpr long long kHalfInch = kTwipsPerInch / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + kHalfInch) / kTwipsPerInch
                                        : -((-scaled + kHalfInch) / kTwipsPerInch));
}

}  // namespace forms
