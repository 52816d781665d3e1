#pragma once

#include "store/SafeFile.h"

#include <curl/curl.h>
#include <functional>
#include <QFileInfo>
#include <QString>

// What every libcurl transfer of the program shares: the one-time start of the library, the texts
// of its errors, and the file a download is received into.
namespace CurlSupport {

// Starts libcurl once per process; safe to call from any thread, before any handle is made.
void globalInit();

// A sentence for the user about a failed transfer; detail is libcurl's error buffer (may be empty).
QString errorText(CURLcode code, const char* detail = nullptr);

// Moves from over to in one step, so there is never a moment without a whole copy of to.
bool replaceFile(const QString& from, const QString& to, QString* why);

// The file a download is received into: a temporary file beside the target that takes the target's
// place only when the transfer completed and the caller's check accepted it. Dropped otherwise, so
// a failed, cancelled or refused download leaves the target as it was.
class ReceivedFile
{
public:
    // Decides whether a completed body may replace the target; false with why set refuses it.
    using Check = std::function<bool(const QString& tempPath, QString* why)>;

    // suffix ends the temporary file's name (".part", ".tmp").
    ReceivedFile(const QString& target, const QString& suffix);

    // Creates the temporary file with the target's permissions (the usual ones for a first copy).
    bool open(QString* why);

    // libcurl's write function; its data pointer is the ReceivedFile.
    static size_t write(char* data, size_t size, size_t count, void* self);

    // The most bytes the body may have; one more stops the write, so a server that sends without
    // end cannot fill the disk. Negative: no limit.
    void setLimit(qint64 bytes) { m_limit = bytes; }
    // The body went past the limit and was stopped there.
    bool tooLarge() const { return m_tooLarge; }

    // A write of the body failed, and why.
    bool writeFailed() const { return m_writeFailed; }
    QString writeError() const;

    qint64 size() const { return m_file.size(); }

    // Finishes the file, lets check judge it, and puts it in place of the target.
    bool replaceTarget(const Check& check, QString* why);

private:
    QFileInfo m_target;
    SafeFile m_file;
    bool m_writeFailed = false;
    qint64 m_limit = -1;
    qint64 m_written = 0;
    bool m_tooLarge = false;
};

} // namespace CurlSupport
