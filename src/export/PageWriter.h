#pragma once

#include "export/LanguageExport.h"
#include "store/SnippetRecord.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <QByteArray>
#include <QDir>
#include <QString>
#include <thread>
#include <vector>

// Writes a language site's pages on a thread of its own, in the order given, while the window renders
// the next pages' code: converting a page and creating its file take as long as rendering it, and
// creating thousands of files can take seconds more on a busy disk.
class PageWriter
{
public:
    struct Job
    {
        int number = 0; // the page's number in the site, from 1
        QString pageFile;
        QByteArray rtf; // the editor's rendering with its line end
        SnippetRecord record;
        QString failure; // when set, the page is not written and this is why
    };
    struct Result
    {
        int number = 0;
        bool written = false;
        QString error; // why the page was not written
    };

    // The pages go into folder; oldPages, filled before, is the writer's alone until finish().
    PageWriter(const QDir& folder, const QString& templateText, const QString& indexFile,
               LanguageExport::OldPages& oldPages);
    ~PageWriter();
    PageWriter(const PageWriter&) = delete;
    PageWriter& operator=(const PageWriter&) = delete;

    // Queues a page; false, leaving job as it was, while enough pages wait already.
    bool tryAdd(Job& job);

    // The pages finished since the last call, in order.
    std::vector<Result> take();

    // Waits up to ms for a result or room in the queue.
    void wait(int ms);

    // Stops at the page being converted, which is not left behind; queued pages are not written.
    void cancel();

    // No more pages: true once every queued page is finished and the thread has ended (results may
    // remain to be taken). Waits up to ms.
    bool finish(int ms);

private:
    void run();
    bool hasRoom() const;

    const QDir m_folder;
    const QString m_template;
    const QString m_indexFile;
    LanguageExport::OldPages& m_oldPages;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs;
    qsizetype m_queuedBytes = 0;
    std::vector<Result> m_results;
    bool m_closed = false;
    bool m_ended = false;
    std::atomic<bool> m_cancelled{false};
    std::thread m_thread;
};
