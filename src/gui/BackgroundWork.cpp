#include "gui/BackgroundWork.h"

#include <memory>
#include <QEventLoop>
#include <QThread>

void runInBackground(const std::function<void()>& work)
{
    std::unique_ptr<QThread> worker(QThread::create(work));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    worker->wait();
}
