#pragma once

#include <QString>

struct Workspace;

// The files the program keeps in its program folder and beside the library in use, which no object
// written out by the user may replace.
namespace ProgramFiles {

// Why a file at path must not be written by an object: it is, or could be, one of the program's own
// files, or it lies in one of the program's own folders. Empty when path may be written.
QString refusal(const Workspace& ws, const QString& path);

} // namespace ProgramFiles
