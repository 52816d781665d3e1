#include "gui/BackgroundWork.h"

#include <QTest>
#include <QThread>
#include <QTimer>

// Work beside the window: it runs on another thread while timers, and so repaints, keep running.
class TestBackgroundWork : public QObject
{
    Q_OBJECT

private slots:
    void eventsDuringTheWork_data()
    {
        QTest::addColumn<bool>("painting"); // runWhilePainting, else runInBackground
        QTest::newRow("while painting") << true;
        QTest::newRow("in the background") << false;
    }

    void eventsDuringTheWork()
    {
        QFETCH(bool, painting);
        int ticks = 0;
        QTimer tick;
        tick.setInterval(5);
        connect(&tick, &QTimer::timeout, this, [&] { ++ticks; });
        tick.start();
        bool workedOnAnotherThread = false;
        auto work = [&] {
            workedOnAnotherThread = QThread::currentThread() != thread();
            QThread::msleep(150);
        };
        if (painting) {
            runWhilePainting(work);
        } else {
            runInBackground(work);
        }
        QVERIFY(workedOnAnotherThread);
        QVERIFY2(ticks >= 3, qPrintable(QString::number(ticks)));
    }
};

QTEST_MAIN(TestBackgroundWork)
#include "tst_background_work.moc"
