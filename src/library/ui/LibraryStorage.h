#pragma once

#include <QString>

class QWidget;
struct Workspace;

// Loads and saves the library file for the window, telling the user what happened.
namespace LibraryStorage {

// A step that follows every load (of a read-only library too); false with error set when it has
// something to tell the user.
using LoadStep = bool (*)(const Workspace& ws, QString* error);

// Sets the step: the shell gives it the finishing of an interrupted compaction of the resource file
// and the check of the objects' positions, which belong to the objects above this layer.
void setLoadStep(LoadStep step);

// LoadCodeDataFromFile with its messages shown.
void load(QWidget* parent, Workspace& ws);

// SaveCodeArrayToFile with its messages shown; clears CodeChanged on success, false when nothing was saved.
// When another program changed the file since it was loaded, asks whether to overwrite it or to keep
// it and write this library beside it; keptAside then receives that file's name.
bool save(QWidget* parent, Workspace& ws, QString* keptAside = nullptr);

// Asks "Save changes?" (Yes, No, Cancel) under title and saves on Yes. True when the caller may go on
// (saved, or No); false on Cancel or when the save failed, so the changes are never lost unasked.
bool saveOrDiscard(QWidget* parent, Workspace& ws, const QString& title);

} // namespace LibraryStorage
