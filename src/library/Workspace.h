#pragma once

#include "library/DiskStamp.h"
#include "settings/AppSettings.h"
#include "store/SnippetRecord.h"

#include <QString>

// The run-time state shared by the main window's controllers.
struct Workspace
{
    QString programFolder;                    // every file of the program lives here
    QString databaseFileName = "zorbeth.txt"; // the library file
    QString resourceFileName = "zorbethresource.res";
    QString databasePrefix;       // empty: the library in the program folder
    QString databaseLocationText; // shown by the information command
    QString printIndent = QString(20, QLatin1Char(' '));

    CodeArray codeArray;
    CodeArray remoteCodeArray;

    // The options of the run; the views own those they show while the program runs.
    AppSettings options;

    bool CodeChanged = false;
    bool UpdateInProgress = false;
    bool StartupDone = false;
    bool ResultsInTree = false;
    bool SaveSettingsOnExit = true;

    // Set when the library file could not be read nor set aside: saving would destroy it.
    QString saveBlockedReason;

    // Another program holds the library's lock: this window may read it but never writes it.
    bool readOnly = false;

    // The library file as last loaded or saved, to notice another program's save before ours.
    DiskStamp libraryOnDisk;

    // The database file in use: the prefix folder when set, else the program folder.
    QString databasePath() const;
};
