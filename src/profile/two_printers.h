#pragma once
// The names of the two-printer mode, shared by the install and the package maker: one printer
// for colour and one for black and white, each named after the profile's printer with a suffix,
// and the printing preferences recorded for each.

namespace profile {

inline constexpr const char* kColorSuffix = "_彩色";
inline constexpr const char* kBlackSuffix = "_黑白";
inline constexpr const char* kColorFile = "color.dat";
inline constexpr const char* kBlackFile = "black.dat";

}  // namespace profile
