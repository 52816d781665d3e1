#include "sync/ServerFiles.h"

#include "store/DatabaseFile.h"

#include <QDir>

namespace ServerFiles {

QString address(const QString& serverUrl, const QString& fileName)
{
    const QString base = serverUrl.trimmed();
    if (base.isEmpty()) {
        return {};
    }
    const QString slash = base.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/");
    return base + slash + QStringLiteral("files/") + fileName;
}

QString remoteCopyPath(const QString& programFolder)
{
    return QDir(programFolder).filePath(QString::fromLatin1(RemoteFileName));
}

HttpDownload::Result DownloadRemoteCodeFile(const QString& serverUrl, const QString& programFolder,
                                            const std::atomic<bool>* cancel,
                                            const HttpDownload::Options& options)
{
    const QString url = address(serverUrl, QString::fromLatin1(RemoteFileName));
    if (url.isEmpty()) {
        HttpDownload::Result result;
        result.error = QStringLiteral("No server address is set (Options > Server Address).");
        return result;
    }
    // A server that closes the connection early, or answers with a page of its own, still ends the
    // transfer "successfully"; only a body the library reader reads to its end marker is a copy.
    const auto wholeLibrary = [](const QString& tempPath, QString* why) {
        // Only the shape is checked here; the comparison reads the values once, after the download.
        const DatabaseFile::Shape read = DatabaseFile::scan(tempPath);
        if (read.opened && read.complete) {
            return true;
        }
        *why = read.opened ? QStringLiteral("The server copy is cut off or is not a library file.")
                           : QStringLiteral("Could not read the server copy: %1").arg(read.error);
        return false;
    };
    return HttpDownload::download(url, remoteCopyPath(programFolder), options, cancel, wholeLibrary);
}

} // namespace ServerFiles
