#pragma once

struct AppSettings;

// A controller whose views show settings: start-up pushes the values in, shut-down collects them.
class SettingsClient
{
public:
    virtual ~SettingsClient() = default;

    // Puts the read values into this controller's views.
    virtual void applySettings(const AppSettings& settings) = 0;

    // Takes the current state of this controller's views back into settings.
    virtual void collectSettings(AppSettings& settings) const = 0;
};
