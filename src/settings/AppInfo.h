#pragma once

#include <QString>

// The program's name, version and the maker's addresses, in one place.
namespace AppInfo {

inline constexpr char Title[] = "Zorbeth";
inline constexpr int VersionMajor = ZORBETH_VERSION_MAJOR;
inline constexpr int VersionMinor = ZORBETH_VERSION_MINOR;
inline constexpr int VersionRevision = ZORBETH_VERSION_PATCH;

inline constexpr char Copyright[] = "Copyright (c) 2026 the Zorbeth developers";
inline constexpr char EmailAddress[] = "authors@zorbeth.example.org";
inline constexpr char ProductPage[] = "https://zorbeth.example.org/";
inline constexpr char ForumPage[] = "https://zorbeth.example.org/forum/";
inline constexpr char HelpPage[] = "https://zorbeth.example.org/help/";

// "8.0.1": major, minor and revision joined with ".".
inline QString versionText()
{
    return QStringLiteral("%1.%2.%3").arg(VersionMajor).arg(VersionMinor).arg(VersionRevision);
}

} // namespace AppInfo
