#include "gui/BackgroundWork.h"

#include <memory>
#include <QEventLoop>
#include <QThread>

namespace {

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
