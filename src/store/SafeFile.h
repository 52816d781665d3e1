#pragma once

#include <memory>
#include <QFileDevice>
#include <QString>

// The one way this program writes a user's file. Every step (opening, each write, flush, sync,
// commit, rename) is a write point of WriteFaults, so tests can fail any of them; whatever fails,
// the file the user had stays whole:
// - Replace writes a new version through QSaveFile; commit() puts it in place in one step. The old
//   version's cached pages are let go before the new one is written.
// - Temporary writes a temporary file beside path (path is its template, with "XXXXXX"); commit()
//   makes it durable and rename() puts it in place later. It is removed unless renamed.
// - Create writes a file that must not exist yet; it is removed unless committed.
// - Overwrite writes a working file in place (truncated first), one that only this program makes and
//   makes again, such as the export's rich-text copy; it is removed unless committed. Writing in
//   place keeps one file where a page-by-page export would otherwise create and delete thousands.
// - Rewrite writes over the bytes of an existing working file, cut to what was written at commit; it
//   is removed unless committed. A file emptied first would make the disk finish its last contents
//   before it takes the new ones; this keeps the file and lets the disk catch up.
// - Append adds to the end of a file (creating it); unless committed it goes back to its old length.
// Unsynced skips the sync of commit() (Replace then writes a temporary file beside path and renames
// it over path): for files the program can make again, such as exported pages, where waiting for
// the disk file by file would cost more than a lost file. Every write point stays.
class SafeFile
{
public:
    enum class Mode
    {
        Replace,
        Temporary,
        Create,
        Overwrite,
        Rewrite,
        Append
    };
    enum class Durability
    {
        Synced,
        Unsynced
    };

    explicit SafeFile(const QString& path, Mode mode = Mode::Replace,
                      Durability durability = Durability::Synced);
    // Drops an uncommitted write as its mode says.
    ~SafeFile();

    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    // Opens the file for writing; false with errorString() set when it cannot.
    bool open();

    // Writes size bytes; false when not all of them reached the file. After a failure every later
    // call fails too.
    bool write(const char* data, qint64 size);
    bool write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }

    // Makes what was written durable and, for Replace, puts it in place of the old file.
    bool commit();

    // Abandons the write as the destructor would.
    void cancel();

    // Why the last step failed.
    QString errorString() const;

    // The name written to: the temporary file's for Temporary, else the path given.
    QString fileName() const;

    // Bytes in the file now; for Append, the length it had before this write is startSize().
    qint64 size() const;
    qint64 startSize() const { return m_startSize; }

    bool setPermissions(QFileDevice::Permissions permissions);

    // Renames from to to, replacing to in one step; false with error set when it failed.
    static bool rename(const QString& from, const QString& to, QString* error);

    // Writes bytes as the whole new contents of path through a safe save (Replace); a failed write
    // leaves the file as it was, and no file where there was none.
    static bool writeWhole(const QString& path, const QByteArray& bytes, QString* error,
                           Durability durability = Durability::Synced);
    // Writes bytes as the whole contents of the working file path in place, without a sync
    // (Overwrite); a failed write leaves no file.
    static bool overwriteWorkingFile(const QString& path, const QByteArray& bytes, QString* error);

private:
    // Replace through QSaveFile, which syncs; otherwise Replace goes through a QTemporaryFile.
    bool viaSaveFile() const { return m_mode == Mode::Replace && m_durability == Durability::Synced; }
    bool commitUnsyncedReplace();
    bool fail(const QString& why);
    bool point();
    void startWriteback();

    Mode m_mode;
    Durability m_durability;
    QString m_path;
    std::unique_ptr<QFileDevice> m_file;
    QString m_error;
    qint64 m_startSize = 0;
    qint64 m_writtenBack = 0; // the file up to here has been handed to the disk
    bool m_created = false;   // Append: the file did not exist before
    bool m_opened = false;
    bool m_failed = false;
    bool m_done = false;
};
