#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

// For long work on the window's own thread, called between its steps: runs the pending events, the
// user's clicks and keys held back until the work ends, whenever enough time has passed since the
// last run, so the window keeps repainting.
class EventPacer
{
public:
    explicit EventPacer(qint64 everyMs = 50) : m_everyMs(everyMs) { m_since.start(); }

    void operator()()
    {
        if (m_since.elapsed() >= m_everyMs) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            m_since.restart();
        }
    }

private:
    qint64 m_everyMs;
    QElapsedTimer m_since;
};
