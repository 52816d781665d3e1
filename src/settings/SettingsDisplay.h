#pragma once

#include <QString>

// How a stored setting is shown or printed for the user to read.
namespace SettingsDisplay {

// The value as shown: the FTP password as "********" when one is set, every other value as stored.
QString shownValue(const QString& key, const QString& value);

} // namespace SettingsDisplay
