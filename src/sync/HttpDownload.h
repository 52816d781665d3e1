#pragma once

#include <atomic>
#include <functional>
#include <QString>

// Fetches one URL into a file with libcurl. The body goes into a temporary file beside the target,
// which replaces the target only when the transfer completed and the caller's check accepts it: a
// failed, cancelled or refused download leaves any earlier copy of the target untouched. Only http and
// https are fetched, and a redirect may neither leave them nor go from https back to http.
class HttpDownload
{
public:
    struct Options
    {
        long connectTimeoutSeconds = 10; // giving up on a server that does not answer
        long lowSpeedBytesPerSecond = 1; // a transfer slower than this ...
        long lowSpeedSeconds = 20;       // ... for this long is abandoned
        long totalTimeoutSeconds = 0;    // 0: no limit on the whole transfer
        // The largest body accepted, far above any real library; the free space of the target's
        // folder, less a margin, lowers it. A larger body is stopped, not written out.
        qint64 maxBytes = qint64(4) << 30;
        // The certificates that vouch for https servers; empty: the system's.
        QString caBundle;
    };

    struct Result
    {
        bool ok = false;
        bool cancelled = false;
        long httpStatus = 0; // the server's answer, 0 when none came
        QString error;       // what went wrong, for the user; empty on success
    };

    // Decides whether a completed body may replace the target; false with why set refuses it.
    using Check = std::function<bool(const QString& tempPath, QString* why)>;

    // Downloads url to target. cancel is polled during the transfer (from any thread that sets it).
    static Result download(const QString& url, const QString& target, const Options& options,
                           const std::atomic<bool>* cancel = nullptr, const Check& check = {});
};
