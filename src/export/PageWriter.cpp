#include "export/PageWriter.h"

#include <chrono>

namespace {

// Enough pages ahead to keep the writer busy, few enough that long pages cannot pile up in memory.
constexpr std::size_t MaxQueuedPages = 32;
constexpr qsizetype MaxQueuedBytes = 64 * 1024 * 1024;

} // namespace

PageWriter::PageWriter(const QDir& folder, const QString& templateText, const QString& indexFile,
                       LanguageExport::OldPages& oldPages)
    : m_folder(folder), m_template(templateText), m_indexFile(indexFile), m_oldPages(oldPages),
      m_thread([this] { run(); })
{}

PageWriter::~PageWriter()
{
    cancel();
    {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

bool PageWriter::hasRoom() const
{
    // One page always fits, however long.
    return m_jobs.empty() || (m_jobs.size() < MaxQueuedPages && m_queuedBytes < MaxQueuedBytes);
}

bool PageWriter::tryAdd(Job& job)
{
    {
        const std::lock_guard lock(m_mutex);
        if (!hasRoom()) {
            return false;
        }
        m_queuedBytes += job.rtf.size();
        m_jobs.push_back(std::move(job));
    }
    m_changed.notify_all();
    return true;
}

std::vector<PageWriter::Result> PageWriter::take()
{
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_results, {});
}

void PageWriter::wait(int ms)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, std::chrono::milliseconds(ms),
                       [this] { return !m_results.empty() || hasRoom() || m_ended; });
}

void PageWriter::cancel()
{
    m_cancelled = true;
    m_changed.notify_all();
}

bool PageWriter::finish(int ms)
{
    std::unique_lock lock(m_mutex);
    if (!m_closed) {
        m_closed = true;
        m_changed.notify_all();
    }
    return m_changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_ended; });
}

void PageWriter::run()
{
    const RtfToHtml::Progress going = [this] { return !m_cancelled.load(); };
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return !m_jobs.empty() || m_closed; });
        if (m_jobs.empty()) {
            break;
        }
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_queuedBytes -= job.rtf.size();
        lock.unlock();
        m_changed.notify_all();
        Result result{job.number, false, {}};
        if (m_cancelled) {
            result.error = QStringLiteral("The export was cancelled");
        } else if (!job.failure.isEmpty()) {
            result.error = job.failure;
        } else {
            result.written =
                LanguageExport::writePage(m_folder, job.pageFile, m_template, job.rtf, job.record,
                                          m_indexFile, going, &result.error, &m_oldPages);
        }
        job = {};
        lock.lock();
        m_results.push_back(std::move(result));
        m_changed.notify_all();
    }
    m_ended = true;
    lock.unlock();
    m_changed.notify_all();
}
