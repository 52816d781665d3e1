#pragma once

#include <QString>
#include <QStringList>

// Finds the folder that holds every file of the program, and seeds a new one from the shipped data.
namespace ProgramFolder {

// --folder DIR when given, else $ZORBETH_FOLDER, else the per-user data folder.
QString resolve(const QString& folderOption);

// The shipped data folder: beside an installed program, else the source tree's data/.
QString shippedDataFolder();

// Copies the shipped data into folder without overwriting anything; the sample library only goes
// into a folder that is new (missing or empty). False with error on failure.
bool seed(const QString& folder, const QString& dataFolder, QString* error = nullptr);

} // namespace ProgramFolder
