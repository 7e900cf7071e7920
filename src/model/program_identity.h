// The texts by which the program names itself in the banner and in the report headers.
#pragma once

namespace zevo {

inline constexpr const char* kVersion = "2.0";
inline constexpr const char* kBuildDate = "Apr 12 2025";
inline constexpr const char* kNoticeLine =
    "Cable flow-limit calculator for electrical distribution networks";

}  // namespace zevo
