#include "gui/BackgroundWork.h"

#include <memory>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <QEventLoop>
#include <QThread>

namespace {

// Fewer items than this are handled in less time than a repaint takes.
constexpr size_t LargeWork = 50000;

void runWithEvents(const std::function<void()>& work, QEventLoop::ProcessEventsFlags flags)
{
    std::unique_ptr<QThread> worker(QThread::create(work));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec(flags);
    worker->wait();
    worker.reset();
    releaseFreedMemory();
}

} // namespace

void runInBackground(const std::function<void()>& work)
{
    runWithEvents(work, QEventLoop::AllEvents);
}

void runWhilePainting(const std::function<void()>& work)
{
    runWithEvents(work, QEventLoop::ExcludeUserInputEvents);
}

void runWhilePainting(size_t items, const std::function<void()>& work)
{
    if (items >= LargeWork) {
        runWhilePainting(work);
    } else {
        work();
    }
}

void releaseFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void limitAllocatorArenas()
{
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 2);
#endif
}
