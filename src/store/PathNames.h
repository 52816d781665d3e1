#pragma once

#include <QString>

// Joins a folder and a file name with one separator between them.
QString MergePathData(const QString& thePath, const QString& theFileName);
