#pragma once

#include <QByteArrayView>

// One block of memory that the code of a large library is copied into as it is read, one text after
// another. A million texts each in an allocation of its own cost the allocator a call and a header
// apiece, and on a reading thread other than the first its heap grows a page at a time. The block
// lives on while any code taken from it does (CodeText keeps it).
class CodeArena
{
public:
    // Room for capacity bytes; only the pages written to take memory. Without room (the system
    // refused it) every add fails.
    explicit CodeArena(qsizetype capacity);
    ~CodeArena();
    CodeArena(const CodeArena&) = delete;
    CodeArena& operator=(const CodeArena&) = delete;

    // A copy of bytes in the block; an empty view when bytes are empty or do not fit.
    QByteArrayView add(QByteArrayView bytes);

    // Gives the room not used back to the system; nothing can be added afterwards.
    void close();

private:
    char* m_base = nullptr;
    qsizetype m_mapped = 0;   // bytes of address space held, whole pages
    qsizetype m_capacity = 0; // bytes that can be added in all
    qsizetype m_used = 0;
};
