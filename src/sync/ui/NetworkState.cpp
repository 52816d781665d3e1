#include "sync/ui/NetworkState.h"

#include <QNetworkInformation>
#include <QNetworkInterface>

namespace {

std::optional<bool> pinned;

// The platform's network information backend, loaded on first use; null when none loads.
QNetworkInformation* information()
{
    static const bool loaded =
        QNetworkInformation::loadDefaultBackend() ||
        QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    QNetworkInformation* info = loaded ? QNetworkInformation::instance() : nullptr;
    return info && info->supports(QNetworkInformation::Feature::Reachability) ? info : nullptr;
}

// Without a backend that knows, a working interface besides loopback is the best sign there is.
bool anInterfaceIsUp()
{
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& face : interfaces) {
        const auto flags = face.flags();
        if (!flags.testFlag(QNetworkInterface::IsLoopBack) && flags.testFlag(QNetworkInterface::IsUp) &&
            flags.testFlag(QNetworkInterface::IsRunning)) {
            return true;
        }
    }
    return false;
}

} // namespace

bool NetworkState::Connected()
{
    if (pinned) {
        return *pinned;
    }
    if (QNetworkInformation* info = information()) {
        switch (info->reachability()) {
        case QNetworkInformation::Reachability::Online:
        case QNetworkInformation::Reachability::Site:
            return true;
        case QNetworkInformation::Reachability::Disconnected:
        case QNetworkInformation::Reachability::Local:
            return false;
        case QNetworkInformation::Reachability::Unknown:
            break;
        }
    }
    return anInterfaceIsUp();
}

void NetworkState::setOverride(std::optional<bool> connected)
{
    pinned = connected;
}
