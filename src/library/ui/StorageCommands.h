#pragma once

#include <QObject>

class TreeViews;
struct WindowContext;

// Save, backup and restore of the library file.
class StorageCommands : public QObject
{
    Q_OBJECT

public:
    StorageCommands(WindowContext& context, TreeViews& treeViews, QObject* parent = nullptr);

    // Saves now, changed or not.
    void mnuSave_Click();

    // Copies the last saved library file to its backup ".old".
    void mnuBackup_Click();

    // Puts the backup in place of the library file and reloads it.
    void mnuRestore_Click();

private:
    bool confirm(const QString& title) const;

    WindowContext& m_context;
    TreeViews& m_treeViews;
};
