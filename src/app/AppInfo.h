#pragma once

#include <QString>

// The program's name, version and the maker's addresses, in one place.
namespace AppInfo {

inline constexpr char Title[] = "Zorbeth";
inline constexpr int VersionMajor = ZORBETH_VERSION_MAJOR;
inline constexpr int VersionMinor = ZORBETH_VERSION_MINOR;
inline constexpr int VersionRevision = ZORBETH_VERSION_PATCH;

} // namespace AppInfo
