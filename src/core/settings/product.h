#pragma once
// Names and texts that identify the program wherever it shows itself.

namespace sonorel {

inline constexpr const char* kProductName = "Sonorel";
inline constexpr const char* kProductVersion = SONOREL_VERSION_STRING;  // "4.2"
inline constexpr const char* kProductNameAndVersion = "Sonorel " SONOREL_VERSION_STRING;
inline constexpr const char* kOutputComment = "Processed by Sonorel " SONOREL_VERSION_STRING;
// The product's web address, used by the main window's link and the About
// box. It is set here and nowhere else: cmake/SonorelProduct.cmake reads it
// for the packages and the metainfo.
inline constexpr const char* kWebAddress = "https://sonorel.example.org/";

}  // namespace sonorel
