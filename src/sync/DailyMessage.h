#pragma once

#include "sync/HttpDownload.h"

#include <atomic>
#include <functional>
#include <QString>

// The daily message of the team's web server, shown in the status bar at start-up and on request.
namespace DailyMessage {

inline constexpr char Welcome[] = "Welcome to Zorbeth";
inline constexpr char WelcomeOffline[] = "Welcome to Zorbeth (not connected)";
inline constexpr char NotFound[] = "Could not find Zorbeth daily message";

// A message file larger than this is no message; the download stops there.
inline constexpr qint64 MaxBytes = 64 * 1024;

// DownloadMessage: fetches "zorbethmessage.txt" into programFolder and returns its first line
// (empty when that line is empty); Welcome when there is no server URL, as there is nothing to
// fetch; NotFound, a colon and the reason when the download or the file fails. Never takes longer
// than options allow, nor more than MaxBytes.
QString DownloadMessage(const QString& serverUrl, const QString& programFolder,
                        const std::atomic<bool>* cancel = nullptr, const HttpDownload::Options& options = {});

// The greeting: Welcome when the message option is off, WelcomeOffline when not connected, else
// what download returns (called only then).
QString greeting(bool messageOption, bool connected, const std::function<QString()>& download);

} // namespace DailyMessage
