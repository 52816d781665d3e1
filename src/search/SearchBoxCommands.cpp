#include "search/SearchBoxCommands.h"

#include "search/SearchEngine.h"
#include "settings/SettingsDisplay.h"

namespace SearchBoxCommands {

Command recognise(const QString& text)
{
    const QString command = text.toLower();
    const QList<QPair<const char*, Command>> before = {
        {"..editoron", Command::EditorOn},           {"..editoroff", Command::EditorOff},
        {"..showsettings", Command::ShowSettings},   {"..printsettings", Command::PrintSettings},
        {"..clearregistry", Command::ClearRegistry},
    };
    for (const auto& [name, value] : before) {
        if (command == QLatin1String(name)) {
            return value;
        }
    }
    if (SearchEngine::isBlank(text)) {
        return Command::Blank;
    }
    const QList<QPair<const char*, Command>> after = {
        {"..zqtest", Command::ZqTest},
        {"..editlist", Command::EditList},
        {"..clearlist", Command::ClearList},
        {"..timestamp", Command::TimeStamp},
    };
    for (const auto& [name, value] : after) {
        if (command == QLatin1String(name)) {
            return value;
        }
    }
    return Command::None;
}

QString settingsText(const QList<QPair<QString, QString>>& settings)
{
    QString text;
    for (const auto& [key, value] : settings) {
        text += QStringLiteral("\r\n") + key + QStringLiteral("  ") + SettingsDisplay::shownValue(key, value);
    }
    return text;
}

QString settingsPrintout(const QList<QPair<QString, QString>>& settings)
{
    return QStringLiteral("Zorbeth Registry Settings\r\n\r\n") + settingsText(settings);
}

} // namespace SearchBoxCommands
