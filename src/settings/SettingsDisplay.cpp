#include "settings/SettingsDisplay.h"

namespace SettingsDisplay {

QString shownValue(const QString& key, const QString& value)
{
    // A listing on the screen or on paper is read over a shoulder or left lying on a printer.
    if (key == QLatin1String("FTPPSW") && !value.isEmpty()) {
        return QStringLiteral("********");
    }
    return value;
}

} // namespace SettingsDisplay
