#pragma once

class QWidget;
struct Workspace;

// Loads and saves the library file for the window, telling the user what happened.
namespace LibraryStorage {

// LoadCodeDataFromFile with its messages shown.
void load(QWidget* parent, Workspace& ws);

// SaveCodeArrayToFile with its messages shown; clears CodeChanged on success, false when nothing was saved.
bool save(QWidget* parent, Workspace& ws);

} // namespace LibraryStorage
