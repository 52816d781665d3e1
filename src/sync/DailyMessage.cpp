#include "sync/DailyMessage.h"

#include "store/TextCodec.h"
#include "sync/ServerFiles.h"

#include <QDir>
#include <QFile>

namespace DailyMessage {

namespace {

// The first line of the file, whichever line end it uses; a UTF-8 byte order mark is not part of it.
QString firstLine(const QByteArray& bytes)
{
    QByteArrayView line(bytes);
    if (line.startsWith("\xEF\xBB\xBF")) {
        line = line.sliced(3);
    }
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '\r' || line[i] == '\n') {
            line = line.first(i);
            break;
        }
    }
    return TextCodec::decodeMixed(line);
}

} // namespace

QString DownloadMessage(const QString& serverUrl, const QString& programFolder,
                        const std::atomic<bool>* cancel, const HttpDownload::Options& options)
{
    const QString fileName = QString::fromLatin1(ServerFiles::MessageFileName);
    const QString url = ServerFiles::address(serverUrl, fileName);
    if (url.isEmpty()) {
        return QString::fromLatin1(NotFound);
    }
    const QString target = QDir(programFolder).filePath(fileName);
    if (!HttpDownload::download(url, target, options, cancel).ok) {
        return QString::fromLatin1(NotFound);
    }
    QFile file(target);
    if (!file.open(QIODevice::ReadOnly)) {
        return QString::fromLatin1(NotFound);
    }
    return firstLine(file.readAll());
}

QString greeting(bool messageOption, bool connected, const std::function<QString()>& download)
{
    if (!messageOption) {
        return QString::fromLatin1(Welcome);
    }
    if (!connected) {
        return QString::fromLatin1(WelcomeOffline);
    }
    return download();
}

} // namespace DailyMessage
