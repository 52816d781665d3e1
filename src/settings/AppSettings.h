#pragma once

#include "settings/SettingsStore.h"

#include <QString>

// Every value the program keeps between runs, with its default. Start-up reads them all, the
// controllers push them into their views, and shut-down collects them back and writes them all.
struct AppSettings
{
    // Window geometry, in twips (15 to the pixel).
    double MainLeft = 1200;
    double MainTop = 1200;
    double MainWidth = 9250;
    double MainHeight = 6000;
    double SplitterPosY = 3875;
    double SplitterXPerCent = 0.7;
    double SplitterYPerCent = 0.7;
    // Search options.
    int IgnoreCase = 1;
    int AllLanguages = 0;
    int SearchTitles = 1;
    int SearchKeywords = 1;
    int SearchCode = 1;
    // Two-state toolbar buttons: 1 pressed.
    int WordWrap = 0;
    int Search = 1;
    int Remote = 0;
    bool ConfirmDelete = true;
    bool ChildCount = false;
    bool TreeIcons = true;
    bool Colors = false;
    bool AutoSave = false;
    bool LastSearch = false;
    bool ColorSyntax = true;
    bool IncrementHTML = false;
    bool TimeDisplay = false;
    int RShare = 65;
    bool OneNode = false;
    QString OneLanguage;
    int StartingNode = 1;
    int LocalStartingNode = 1;
    int RemoteStartingNode = 1;
    bool zqTest = false;
    QString ImportFolder;
    quint32 BColor = 16777215;
    QString FTPServer;
    QString FTPPath;
    QString FTPUser;
    QString FTPPSW;
    int FTPMode = 1;
    QString HTMLTemplate; // set from the program folder when the table is read
    bool AutoIndent = false;
    bool BraceMatching = false;
    bool LeftMargin = false;
    bool WhiteSpace = false;
    bool ExpandTABs = false;
    bool LineNumbering = false;
    bool LineColors = false;
    bool Override = false;
    bool PageBreak = false;
    bool Message = true;
    bool StartupNode = true;
    bool CapitalizeKeywords = true;
    bool DisplaySearch = true;
    QString FontName = QStringLiteral("Courier New");
    int FontSize = 10;
    bool FontBold = false;
    bool FontItalic = false;
    quint32 Color14 = 0xFF0000; // RGB(0, 0, 255): red in the low byte
    quint32 Color15 = 0x008000; // RGB(0, 128, 0)
    QString RF;
    QString RFPrefix;
    QString ServerURL;      // the team's web server; empty: there is none
    QString UpdaterCommand; // the program the online update starts; empty: none is configured
    QString FTPCAFile;      // certificates an FTPS server's is checked against; empty: the system's
    QString FTPKnownHosts;  // the SFTP servers' host keys; empty: ~/.ssh/known_hosts
    QString ObjectFolder;   // the folder an object was last saved to; empty: the user's home

    // Reads every key in table order; a missing or malformed value keeps what the field holds.
    void get(const SettingsStore& store);

    // Writes every key; the geometry only when writeGeometry (the window is in its normal state).
    void save(SettingsStore& store, bool writeGeometry) const;

    // The default HTML template of a program folder.
    static QString defaultTemplate(const QString& programFolder);
};
