#include "sync/DailyMessage.h"

#include "store/TextCodec.h"
#include "sync/ServerFiles.h"

#include <algorithm>
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

// Reads the file up to its first line end, in pieces, never more than MaxBytes.
QByteArray readFirstLine(QFile& file)
{
    QByteArray bytes;
    while (bytes.size() < MaxBytes) {
        const QByteArray piece = file.read(std::min<qint64>(4096, MaxBytes - bytes.size()));
        if (piece.isEmpty()) {
            break;
        }
        bytes += piece;
        if (piece.contains('\r') || piece.contains('\n')) {
            break;
        }
    }
    return bytes;
}

QString notFound(const QString& why)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(NotFound), why);
}

} // namespace

QString DownloadMessage(const QString& serverUrl, const QString& programFolder,
                        const std::atomic<bool>* cancel, const HttpDownload::Options& options)
{
    const QString fileName = QString::fromLatin1(ServerFiles::MessageFileName);
    const QString url = ServerFiles::address(serverUrl, fileName);
    if (url.isEmpty()) {
        return QString::fromLatin1(Welcome);
    }
    const QString target = QDir(programFolder).filePath(fileName);
    HttpDownload::Options capped = options;
    capped.maxBytes = std::min(options.maxBytes, MaxBytes);
    const HttpDownload::Result result = HttpDownload::download(url, target, capped, cancel);
    if (!result.ok) {
        return notFound(result.error);
    }
    QFile file(target);
    if (!file.open(QIODevice::ReadOnly)) {
        return notFound(file.errorString());
    }
    return firstLine(readFirstLine(file));
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
