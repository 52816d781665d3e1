#pragma once

#include <memory>
#include <QString>

class QLockFile;

// One writer per library: the lock file "zorbeth.lock" beside the database file, held for as long
// as a program works on that library. A lock left by a process that no longer runs is taken over.
class LibraryLock
{
public:
    static constexpr char FileName[] = "zorbeth.lock";

    LibraryLock();
    ~LibraryLock();
    LibraryLock(const LibraryLock&) = delete;
    LibraryLock& operator=(const LibraryLock&) = delete;
    LibraryLock(LibraryLock&&) noexcept;
    LibraryLock& operator=(LibraryLock&&) noexcept;

    // Takes the lock of the library in folder, giving up one already held. False with error set
    // when another process holds it (the text names that process) or the lock file cannot be made.
    bool acquire(const QString& folder, QString* error = nullptr);

    // Gives the lock back; nothing happens when none is held.
    void release();

    bool isHeld() const;

    // The folder whose library is locked, empty when none is held.
    QString folder() const;

private:
    std::unique_ptr<QLockFile> m_file;
    QString m_folder;
};
