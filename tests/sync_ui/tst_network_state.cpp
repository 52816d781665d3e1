#include "sync/ui/NetworkState.h"

#include <QtTest>

// Window tests pin the connection state through the override; it must win over the system's
// answer both ways and hand back to it when cleared.
class NetworkStateTest : public QObject
{
    Q_OBJECT

private slots:
    void override_pinsAndReleases()
    {
        const bool system = NetworkState::Connected();

        NetworkState::setOverride(!system);
        QCOMPARE(NetworkState::Connected(), !system);
        NetworkState::setOverride(system);
        QCOMPARE(NetworkState::Connected(), system);
        NetworkState::setOverride(std::nullopt);
        QCOMPARE(NetworkState::Connected(), system);
    }
};

QTEST_MAIN(NetworkStateTest)
#include "tst_network_state.moc"
