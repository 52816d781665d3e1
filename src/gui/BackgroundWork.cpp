#include "gui/BackgroundWork.h"

#include <memory>
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
