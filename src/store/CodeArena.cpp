#include "store/CodeArena.h"

#include <cstring>

#if defined(Q_OS_UNIX)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

#if defined(Q_OS_UNIX)
qsizetype pageSize()
{
    static const qsizetype size = qsizetype(sysconf(_SC_PAGESIZE));
    return size > 0 ? size : 4096;
}

qsizetype roundToPage(qsizetype bytes)
{
    return (bytes + pageSize() - 1) / pageSize() * pageSize();
}
#endif

} // namespace

CodeArena::CodeArena(qsizetype capacity)
{
#if defined(Q_OS_UNIX)
    if (capacity <= 0) {
        return;
    }
    const qsizetype size = roundToPage(capacity);
#if defined(MAP_NORESERVE)
    constexpr int Flags = MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE; // room, not memory, until written
#else
    constexpr int Flags = MAP_PRIVATE | MAP_ANONYMOUS;
#endif
    void* block = mmap(nullptr, size_t(size), PROT_READ | PROT_WRITE, Flags, -1, 0);
    if (block == MAP_FAILED) {
        return;
    }
#if defined(MADV_HUGEPAGE)
    // Large pages where the system offers them: a million code texts fill hundreds of MB, which in
    // small pages is a fault every 4 KB.
    madvise(block, size_t(size), MADV_HUGEPAGE);
#endif
    m_base = static_cast<char*>(block);
    m_mapped = size;
    m_capacity = capacity;
#else
    Q_UNUSED(capacity);
#endif
}

CodeArena::~CodeArena()
{
#if defined(Q_OS_UNIX)
    if (m_base != nullptr) {
        munmap(m_base, size_t(m_mapped));
    }
#endif
}

QByteArrayView CodeArena::add(QByteArrayView bytes)
{
    if (bytes.isEmpty() || bytes.size() > m_capacity - m_used) {
        return {};
    }
    char* at = m_base + m_used;
    std::memcpy(at, bytes.data(), size_t(bytes.size()));
    m_used += bytes.size();
    return QByteArrayView(at, bytes.size());
}

void CodeArena::close()
{
#if defined(Q_OS_UNIX)
    if (m_base != nullptr) {
        const qsizetype kept = roundToPage(m_used);
        if (kept < m_mapped) {
            munmap(m_base + kept, size_t(m_mapped - kept));
            m_mapped = kept;
        }
        if (kept == 0) {
            m_base = nullptr;
        }
    }
#endif
    m_capacity = m_used;
}
