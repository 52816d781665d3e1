#pragma once

#include <optional>

// Whether the computer has a network connection, for the daily message and the start-up greeting.
// It only asks the system; it never contacts a server.
class NetworkState
{
public:
    // Connected: true when the system reports a connection that reaches beyond this machine.
    static bool Connected();

    // Pins what Connected returns (tests); std::nullopt asks the system again.
    static void setOverride(std::optional<bool> connected);
};
