#pragma once

#include "objects/ViewerTypes.h"

#include <QByteArray>
#include <QObject>

class QMenu;
struct SnippetRecord;
struct WindowContext;

// The attachments of snippets: the toolbar's Add, Remove, SaveAs and Viewer buttons, the "O&bjects"
// menu that keeps the resource file, and the object viewer's content.
class ObjectCommands : public QObject
{
    Q_OBJECT

public:
    explicit ObjectCommands(WindowContext& context, QObject* parent = nullptr);

    // Attaches a file chosen in the open-file dialog to the selected snippet.
    void SelectObject();

    // Loads the selected snippet's object into the object buffer; false (after saying so) when it
    // cannot be read.
    bool GetObjectString();

    // Writes the selected snippet's object into a folder chosen in the folder browser.
    void SaveObjectToDisk();

    // Detaches the object of the selected snippet; its bytes stay in the resource file.
    void RemoveObject();

    // Fills the viewer with the selected snippet's object: as text, as a picture, or the note that
    // it cannot be shown. False (after saying why) when it could not.
    bool DisplayObject();

    void mnuObjectAnalyze_Click();
    void mnuObjectCompact_Click();
    void mnuObjectList_Click();
    void mnuRemoveObjects_Click();

    const QByteArray& objectBuffer() const { return m_objectBuffer; }
    const ViewerTypes::Lists& typeLists() const { return m_typeLists; }

private:
    void createMenu();
    // The toolbar's buttons act on snippet nodes only.
    bool snippetSelected() const;
    void Viewer();
    // Saves the library as the save command does; false when it was not saved as the library file.
    bool saveLibrary(bool* keptAside = nullptr);
    bool refuseReadOnly(const QString& what);
    // Says that the object cannot be shown, with reason (when given) in the status bar; false.
    bool showDisplayError(const QString& reason);
    void showReadError(const QString& reason);

    WindowContext& m_context;
    QByteArray m_objectBuffer;
    ViewerTypes::Lists m_typeLists;
};
