#pragma once

#include <QList>
#include <QPair>
#include <QString>

// The maintenance commands typed into the search box instead of a search term.
namespace SearchBoxCommands {

enum class Command
{
    None,          // an ordinary search term
    EditorOn,      // "..editoron": switch the editor options on
    EditorOff,     // "..editoroff": switch them off
    ShowSettings,  // "..showsettings": list the stored settings
    PrintSettings, // "..printsettings": print them
    ClearRegistry, // "..clearregistry": delete the settings at exit instead of writing them
    Blank,         // an empty or all-blank text: "No search string entered."
    ZqTest,        // "..zqtest": flip the start-up timing trace
    EditList,      // "..editlist": open the history file in the text editor
    ClearList,     // "..clearlist": delete the history
    TimeStamp,     // "..timestamp": stamp every snippet with the current date
};

// What the box text asks for: compared in lower case, not trimmed, with the commands in their order
// and the blank check between "..clearregistry" and "..zqtest".
Command recognise(const QString& text);

// The settings as "..showsettings" lists them: for each pair CR LF, the key, two blanks and the value
// (the FTP password masked).
QString settingsText(const QList<QPair<QString, QString>>& settings);

// The settings as "..printsettings" prints them: a heading line, then the listing.
QString settingsPrintout(const QList<QPair<QString, QString>>& settings);

} // namespace SearchBoxCommands
