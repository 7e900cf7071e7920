// The texts by which the program names itself in the banner and in the report headers.
#pragma once

namespace zevo {

// ZEVO_VERSION comes from project(VERSION) in CMakeLists.txt, the one place the version lives.
inline constexpr const char* kVersion = ZEVO_VERSION;
inline constexpr const char* kBuildDate = "Apr 12 2025";
inline constexpr const char* kNoticeLine =
    "Cable flow-limit calculator for electrical distribution networks";

}  // namespace zevo
