#include "objects/ui/ObjectCommands.h"

#include "gui/CommandToolbar.h"
#include "gui/Prompts.h"
#include "gui/ScreenFit.h"
#include "gui/WaitCursor.h"
#include "gui/WindowContext.h"
#include "library/ui/LibraryStorage.h"
#include "library/ui/LibraryTree.h"
#include "library/ui/StartupController.h"
#include "library/ui/TreeController.h"
#include "library/Workspace.h"
#include "objects/ObjectAnalysis.h"
#include "objects/ObjectExport.h"
#include "objects/ObjectList.h"
#include "objects/ResourceCompaction.h"
#include "objects/ResourceFile.h"
#include "objects/SafeNames.h"
#include "objects/ui/ViewerWindow.h"
#include "store/DateStamp.h"
#include "store/PathNames.h"
#include "store/TextCodec.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

const QString CompactTitle = QStringLiteral("Compact Resource File");
const QString RemoveAllTitle = QStringLiteral("Remove All Objects");

// The object fields and date of a record, to put back when a step after clearing them fails.
struct ObjectFields
{
    size_t index;
    QString name;
    qint32 flag;
    qint32 start;
    qint32 length;
    QString date;
};

} // namespace

ObjectCommands::ObjectCommands(WindowContext& context, QObject* parent) : QObject(parent), m_context(context)
{
    createMenu();
    CommandToolbar& toolbar = m_context.toolbar;
    toolbar.setCommand(QStringLiteral("Add"), [this] {
        if (snippetSelected()) {
            SelectObject();
        }
    });
    toolbar.setCommand(QStringLiteral("Remove"), [this] {
        if (snippetSelected()) {
            RemoveObject();
        }
    });
    toolbar.setCommand(QStringLiteral("SaveAs"), [this] {
        if (snippetSelected()) {
            SaveObjectToDisk();
        }
    });
    toolbar.setCommand(QStringLiteral("Viewer"), [this] { Viewer(); });
    connect(&m_context.startup, &StartupController::loadingLists, this,
            [this] { m_typeLists = ViewerTypes::load(m_context.ws.programFolder); });
}

void ObjectCommands::createMenu()
{
    auto* menu = new QMenu(tr("O&bjects"), &m_context.window);
    menu->setObjectName(QStringLiteral("mnuObjects"));
    auto item = [this, menu](const char* name, const QString& caption, void (ObjectCommands::*command)()) {
        QAction* action = menu->addAction(caption, this, command);
        action->setObjectName(QLatin1String(name));
    };
    item("mnuObjectAnalyze", tr("&Analyze Object File"), &ObjectCommands::mnuObjectAnalyze_Click);
    item("mnuObjectCompact", tr("&Compact Object File"), &ObjectCommands::mnuObjectCompact_Click);
    item("mnuObjectList", tr("&Show Object List"), &ObjectCommands::mnuObjectList_Click);
    item("mnuRemoveObjects", tr("&Remove All Objects"), &ObjectCommands::mnuRemoveObjects_Click);
    // Before Help, which stays last.
    if (auto* window = qobject_cast<QMainWindow*>(&m_context.window)) {
        QMenuBar* bar = window->menuBar();
        bar->insertMenu(m_context.menus.help ? m_context.menus.help->menuAction() : nullptr, menu);
    }
}

bool ObjectCommands::snippetSelected() const
{
    return LibraryTree::tag(m_context.tree.currentItem()) == LibraryTree::CodeTag &&
           m_context.treeController.selectedRecord() != nullptr;
}

bool ObjectCommands::refuseReadOnly(const QString& what)
{
    if (!m_context.ws.readOnly) {
        return false;
    }
    // Another program keeps this library and its resource file: neither may change under it.
    QApplication::beep();
    m_context.status.setText(QStringLiteral("The library is open read-only because another program is using "
                                            "it; ") +
                             what);
    return true;
}

void ObjectCommands::SelectObject()
{
    SnippetRecord* record = m_context.treeController.selectedRecord();
    if (record == nullptr || refuseReadOnly(QStringLiteral("no object was attached."))) {
        return;
    }
    const QString source =
        Prompts::openFile(&m_context.window, QStringLiteral("Select Object (File) for Storage"),
                          m_context.ws.programFolder, QStringLiteral("All Files (*.*)"));
    if (source.isEmpty()) {
        return;
    }
    const ResourceFile::AppendResult stored = ResourceFile::append(ResourceFile::path(m_context.ws), source);
    if (stored.empty) {
        return;
    }
    if (!stored.ok) {
        QApplication::beep();
        if (stored.writeFailed) {
            Prompts::message(&m_context.window,
                             QStringLiteral("The object could not be stored in the resource file, which was "
                                            "left as it was:\n\n") +
                                 stored.error,
                             QStringLiteral("Store Object"), Prompts::Icon::Exclamation);
        } else {
            m_context.status.setText(QStringLiteral("Object not stored: ") + stored.error);
        }
        return;
    }
    const QString stamp = DateStamp::now();
    record->ObjectName = QFileInfo(source).fileName();
    record->ObjectFlag = 1;
    record->ObjectStart = stored.start;
    record->ObjectLength = stored.length;
    record->Date = stamp;
    m_context.views.txtObject->setText(record->ObjectName);
    m_context.views.txtUpdate->setText(stamp);
    m_context.status.setText(QStringLiteral("Selected object stored in resource file"));
    m_context.ws.CodeChanged = true;
}

bool ObjectCommands::GetObjectString()
{
    const SnippetRecord* record = m_context.treeController.selectedRecord();
    if (record == nullptr) {
        return false;
    }
    ResourceFile::ReadResult read =
        ResourceFile::read(ResourceFile::path(m_context.ws), record->ObjectStart, record->ObjectLength);
    if (!read.ok) {
        m_objectBuffer.clear();
        m_context.status.setText(read.error);
        Prompts::message(&m_context.window, QStringLiteral("Error getting object string!"),
                         QStringLiteral("Get Object String"), Prompts::Icon::Exclamation);
        return false;
    }
    m_objectBuffer = std::move(read.bytes);
    return true;
}

void ObjectCommands::SaveObjectToDisk()
{
    const SnippetRecord* record = m_context.treeController.selectedRecord();
    if (record == nullptr) {
        return;
    }
    if (record->ObjectName.trimmed().isEmpty()) {
        QApplication::beep();
        m_context.status.setText(QStringLiteral("No object found. Cannot save!"));
        return;
    }
    const QString folder = Prompts::chooseFolder(&m_context.window, QStringLiteral("Select Output Folder"),
                                                 m_context.ws.programFolder);
    // Nothing is written when the object cannot be read: a file of wrong bytes would pass for it.
    if (folder.isEmpty() || !GetObjectString()) {
        return;
    }
    const QString name = SafeNames::fileName(record->ObjectName);
    const ObjectExport::Written written =
        name.isEmpty() ? ObjectExport::Written{false, folder,
                                               QStringLiteral("The object's name \"%1\" cannot be used as a "
                                                              "file name.")
                                                   .arg(record->ObjectName)}
                       : ObjectExport::writeInFolder(folder, name, m_objectBuffer);
    if (!written.ok) {
        m_context.status.setText(written.error);
        Prompts::message(&m_context.window, QStringLiteral("Error extracting object!"),
                         QStringLiteral("Extract Object"), Prompts::Icon::Exclamation);
    }
}

void ObjectCommands::RemoveObject()
{
    SnippetRecord* record = m_context.treeController.selectedRecord();
    if (record == nullptr) {
        return;
    }
    const QString stamp = DateStamp::now();
    record->ObjectName.clear();
    record->ObjectFlag = 0;
    record->ObjectStart = 0;
    record->ObjectLength = 0;
    record->Date = stamp;
    m_context.views.txtObject->clear();
    m_context.views.txtUpdate->setText(stamp);
    m_context.ws.CodeChanged = true;
}

void ObjectCommands::Viewer()
{
    if (!snippetSelected()) {
        return;
    }
    if (m_context.treeController.selectedRecord()->ObjectName.trimmed().isEmpty()) {
        QApplication::beep();
        m_context.status.setText(QStringLiteral("No object found. Cannot display!"));
        return;
    }
    ViewerWindow* viewer = ViewerWindow::of(m_context.window);
    if (!viewer->isVisible()) {
        ScreenFit::placeOver(*viewer, &m_context.window);
    }
    viewer->show();
    viewer->raise();
    DisplayObject();
}

void ObjectCommands::showDisplayError()
{
    Prompts::message(&m_context.window, QStringLiteral("Error displaying object!"),
                     QStringLiteral("Display Object"), Prompts::Icon::Exclamation);
}

void ObjectCommands::DisplayObject()
{
    const SnippetRecord* record = m_context.treeController.selectedRecord();
    if (record == nullptr) {
        return;
    }
    ViewerWindow* viewer = ViewerWindow::of(m_context.window);
    const QString extension = ViewerTypes::extensionOf(record->ObjectName);
    const ViewerTypes::Kind kind = ViewerTypes::kindOf(extension, m_typeLists);
    if (kind == ViewerTypes::Kind::Binary) {
        viewer->showText(QStringLiteral("Object is a binary file\r\nthat Zorbeth cannot display."));
        return;
    }
    if (kind == ViewerTypes::Kind::Text) {
        viewer->showTextView();
    } else {
        viewer->showPictureView();
    }
    const QString workingName = ViewerTypes::workingFile(kind, extension);
    if (!GetObjectString() || workingName.isEmpty()) {
        showDisplayError();
        return;
    }
    const ObjectExport::Written written =
        ObjectExport::writeInFolder(m_context.ws.programFolder, workingName, m_objectBuffer);
    if (!written.ok) {
        m_context.status.setText(written.error);
        showDisplayError();
        return;
    }
    if (kind == ViewerTypes::Kind::Text) {
        QFile file(written.path);
        if (!file.open(QIODevice::ReadOnly)) {
            showDisplayError();
            return;
        }
        viewer->showText(TextCodec::decode(file.readAll()));
    } else if (!viewer->loadPicture(written.path)) {
        showDisplayError();
    }
}

void ObjectCommands::mnuObjectAnalyze_Click()
{
    m_context.status.setText(ObjectAnalysis::statusText(
        ObjectAnalysis::analyze(m_context.ws.codeArray, ResourceFile::path(m_context.ws))));
}

bool ObjectCommands::saveLibrary(bool* keptAside)
{
    m_context.tree.finishLabelEdit();
    QString aside;
    const bool saved = LibraryStorage::save(&m_context.window, m_context.ws, &aside);
    if (saved) {
        m_context.status.setText(aside.isEmpty()
                                     ? QStringLiteral("Changes saved")
                                     : QStringLiteral("Changes saved as ") + QFileInfo(aside).fileName());
    }
    if (keptAside) {
        *keptAside = !aside.isEmpty();
    }
    return saved && aside.isEmpty();
}

void ObjectCommands::mnuObjectCompact_Click()
{
    WaitCursor wait;
    Workspace& ws = m_context.ws;
    if (refuseReadOnly(QStringLiteral("the resource file was not compacted."))) {
        return;
    }
    if (ws.CodeChanged) {
        const Prompts::Answer answer = Prompts::question(
            &m_context.window,
            QStringLiteral("There are changes pending which must be saved before the resource file can be "
                           "compacted.  Save the changes?"),
            CompactTitle, {Prompts::Answer::Ok, Prompts::Answer::Cancel}, Prompts::Icon::Question);
        if (answer != Prompts::Answer::Ok || !saveLibrary()) {
            return;
        }
    }
    const QString path = ResourceFile::path(ws);
    const ResourceCompaction::Result compacted = ResourceCompaction::writeCompacted(path, ws.codeArray);
    if (!compacted.ok) {
        Prompts::message(&m_context.window,
                         QStringLiteral("The resource file was not compacted; it and the library are as they "
                                        "were.\n\n") +
                             compacted.error,
                         CompactTitle, Prompts::Icon::Exclamation);
        return;
    }
    // The old file stays until the library holding the new positions is saved.
    const auto oldStarts = ResourceCompaction::applyStarts(ws.codeArray, compacted.starts);
    bool keptAside = false;
    if (!saveLibrary(&keptAside)) {
        ResourceCompaction::applyStarts(ws.codeArray, oldStarts);
        QFile::remove(compacted.tempPath);
        ws.CodeChanged = keptAside;
        Prompts::message(
            &m_context.window,
            QStringLiteral("The library could not be saved with the new positions, so the resource "
                           "file was not compacted; it and the library file are as they were."),
            CompactTitle, Prompts::Icon::Exclamation);
        return;
    }
    QString error;
    if (!ResourceCompaction::replace(path, compacted.tempPath, &error)) {
        ResourceCompaction::applyStarts(ws.codeArray, oldStarts);
        if (saveLibrary()) {
            QFile::remove(compacted.tempPath);
            Prompts::message(
                &m_context.window,
                QStringLiteral("The compacted resource file could not be put in place (%1), so the "
                               "library was saved again with the old positions; the resource file "
                               "is as it was.")
                    .arg(error),
                CompactTitle, Prompts::Icon::Exclamation);
        } else {
            ws.CodeChanged = true;
            Prompts::message(
                &m_context.window,
                QStringLiteral("The compacted resource file could not be put in place (%1), and the library "
                               "could not be saved again with the old positions. The library file on disk "
                               "belongs to the compacted file %2: rename it to %3 before using the objects.")
                    .arg(error, QDir::toNativeSeparators(compacted.tempPath), QDir::toNativeSeparators(path)),
                CompactTitle, Prompts::Icon::Critical);
        }
        return;
    }
    m_context.status.setText(
        ObjectAnalysis::compactedText(ObjectAnalysis::analyze(ws.codeArray, ResourceFile::path(ws))));
}

void ObjectCommands::mnuObjectList_Click()
{
    const ObjectList::Names names = ObjectList::names(m_context.ws.codeArray);
    m_context.status.setText(ObjectList::statusText(names));
    if (names.count > 0) {
        Prompts::longMessage(&m_context.window, ObjectList::messageText(names), QString(),
                             {Prompts::Answer::Ok});
    } else {
        Prompts::message(&m_context.window, ObjectList::messageText(names), QString());
    }
}

void ObjectCommands::mnuRemoveObjects_Click()
{
    Workspace& ws = m_context.ws;
    if (refuseReadOnly(QStringLiteral("no object was removed."))) {
        return;
    }
    const QString stamp = DateStamp::now();
    const Prompts::Answer answer = Prompts::question(
        &m_context.window,
        QStringLiteral("Are your sure? All objects will be removed and all pending database changes saved!"),
        RemoveAllTitle, {Prompts::Answer::Ok, Prompts::Answer::Cancel}, Prompts::Icon::Exclamation);
    if (answer != Prompts::Answer::Ok) {
        return;
    }
    std::vector<ObjectFields> previous;
    for (size_t i = 0; i < ws.codeArray.size(); ++i) {
        SnippetRecord& r = ws.codeArray[i];
        if (r.ObjectName.isEmpty()) {
            continue;
        }
        previous.push_back({i, r.ObjectName, r.ObjectFlag, r.ObjectStart, r.ObjectLength, r.Date});
        r.ObjectName.clear();
        r.ObjectFlag = 0;
        r.ObjectStart = 0;
        r.ObjectLength = 0;
        r.Date = stamp;
    }
    // The library is saved before the resource file goes, so a failed save leaves both as they were.
    const bool changedBefore = ws.CodeChanged;
    bool keptAside = false;
    if (!saveLibrary(&keptAside)) {
        for (const ObjectFields& f : previous) {
            SnippetRecord& r = ws.codeArray[f.index];
            r.ObjectName = f.name;
            r.ObjectFlag = f.flag;
            r.ObjectStart = f.start;
            r.ObjectLength = f.length;
            r.Date = f.date;
        }
        ws.CodeChanged = changedBefore || keptAside;
        m_context.status.setText(QStringLiteral(
            "The library was not saved, so no object was removed; the resource file is kept."));
        return;
    }
    const QString path = ResourceFile::path(ws);
    QFile resource(path);
    if (QFileInfo::exists(path) && !resource.remove()) {
        Prompts::message(
            &m_context.window,
            QStringLiteral("The library was saved without objects, but the resource file %1 could "
                           "not be deleted: %2. None of its bytes is used any more.")
                .arg(QDir::toNativeSeparators(path), resource.errorString()),
            RemoveAllTitle, Prompts::Icon::Exclamation);
    }
    m_context.status.setText(QStringLiteral("Pending changes to database saved. All objects removed."));
    m_context.treeController.Tree_NodeClick(m_context.tree.currentItem());
}
