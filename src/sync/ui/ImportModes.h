#pragma once

#include "store/SnippetRecord.h"

#include <functional>
#include <QObject>
#include <QString>

class ComparisonList;
class QAction;
class SearchFrame;
struct WindowContext;

// The two comparison modes and the import: the menu "&Import", the toolbar buttons "transfer"
// (server snippets), "drive" (snippets of a local file) and "Import". Entering a mode lends the
// search frame to the comparison list and stages the snippets; leaving gives the frame back.
class ImportModes : public QObject
{
    Q_OBJECT

public:
    // treeRebuilt runs after an import rebuilt the tree: it puts the child counts back when they are
    // switched on, and selects and shows the first node.
    ImportModes(WindowContext& context, SearchFrame& frame, ComparisonList& list,
                std::function<void()> treeRebuilt, QObject* parent = nullptr);

    void mnuImportRemote_Click();
    void mnuImportLocal_Click();

    // Enters server comparison mode while "transfer" is down, leaves it when it is up.
    void TransferServerSnippets();
    // Enters local import mode while "drive" is down, leaves it when it is up.
    void TransferLocalSnippets();

    // Appends the ticked rows' staged snippets to the library, then sorts and rebuilds the tree.
    void ImportRemoteCode();

    // Enters server comparison mode on a server copy already fetched into path (from the FTP
    // server) instead of downloading the web server's.
    void compareServerCopy(const QString& path);

private:
    void createCommands();
    // Lends the frame to the comparison list under caption; other is the other mode's button.
    void enterMode(const QString& caption, const QString& other);
    void leaveMode(const QString& other);
    // A mode's menu command: refused while the other mode's item is checked, else turns its mark
    // and button over and runs transfer.
    void toggleMode(QAction& mine, const QAction& other, const QString& refusal, const QString& button,
                    void (ImportModes::*transfer)());
    // Downloads and stages the server copy, then lists it.
    void loadServerCopy();
    // Lists a staged server copy, or the failure row when nothing of it could be read.
    void listServerCopy(CodeArray staged, const QString& error);
    // The open-file dialog of the local import; true when a file was chosen.
    bool SelectImportFile();
    bool buttonDown(const QString& key) const;
    void setStatus(const QString& text);

    WindowContext& m_context;
    SearchFrame& m_frame;
    ComparisonList& m_list;
    std::function<void()> m_treeRebuilt;
    QString m_importPath;
    QAction* m_mnuImportRemote = nullptr;
    QAction* m_mnuImportLocal = nullptr;
    QAction* m_mnuImportSelected = nullptr;
};
