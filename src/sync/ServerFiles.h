#pragma once

#include "sync/HttpDownload.h"

#include <atomic>
#include <QString>

// The files the program fetches from the team's web server, below "files/" of the server base URL
// (the "ServerURL" setting; empty means there is no server).
namespace ServerFiles {

inline constexpr char RemoteFileName[] = "zorbethremote.txt";
inline constexpr char MessageFileName[] = "zorbethmessage.txt";

inline constexpr char RetrievingStatus[] = "Retrieving source code snippets from server ... please wait";
inline constexpr char RetrievedStatus[] = "Source code updates retreived";
inline constexpr char RetrievalFailedStatus[] = "Source code retreival failed!";
inline constexpr char NotFoundStatus[] = "Remote code file not found!";
inline constexpr char CancelledStatus[] = "Server download cancelled.";

// The address of a server file: the base URL, a "/" when it lacks one, "files/" and the name;
// empty when the base URL is empty.
QString address(const QString& serverUrl, const QString& fileName);

// Where the server copy of the library is kept in the program folder.
QString remoteCopyPath(const QString& programFolder);

// DownloadRemoteCodeFile: fetches the server copy of the library into programFolder under
// "zorbethremote.txt". Only a copy read to its end marker replaces an earlier one; a cut-off body or
// an error page is refused with a reason. With no server URL it fails at once with no network call.
HttpDownload::Result DownloadRemoteCodeFile(const QString& serverUrl, const QString& programFolder,
                                            const std::atomic<bool>* cancel = nullptr,
                                            const HttpDownload::Options& options = {});

} // namespace ServerFiles
