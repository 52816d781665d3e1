#include "objects/ui/ObjectCommands.h"

#include "gui/CommandToolbar.h"
#include "gui/Prompts.h"
#include "gui/ScreenFit.h"
#include "gui/WaitCursor.h"
#include "gui/WindowContext.h"
#include "library/LibraryFile.h"
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
#include <QStandardPaths>

namespace {

const QString CompactTitle = QStringLiteral("Compact Resource File");
const QString RemoveAllTitle = QStringLiteral("Remove All Objects");
// What the object field shows for a snippet without an object, as the tree's display does.
const QString NoObject = QStringLiteral("<no object>");

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
        showReadError(read.error);
        return false;
    }
    m_objectBuffer = std::move(read.bytes);
    return true;
}

void ObjectCommands::showReadError(const QString& reason)
{
    m_context.status.setText(reason);
    Prompts::message(&m_context.window, QStringLiteral("Error getting object string!"),
                     QStringLiteral("Get Object String"), Prompts::Icon::Exclamation);
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
    // Never the program folder: that is where the library and the program's own files are.
    QString& lastFolder = m_context.ws.options.ObjectFolder;
    const QFileInfo last(lastFolder);
    const bool useLast =
        !lastFolder.isEmpty() && last.isDir() &&
        last.canonicalFilePath() != QFileInfo(m_context.ws.programFolder).canonicalFilePath();
    const QString start =
        useLast ? lastFolder : QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
    const QString folder =
        Prompts::chooseFolder(&m_context.window, QStringLiteral("Select Output Folder"), start);
    if (folder.isEmpty()) {
        return;
    }
    lastFolder = folder;
    using Outcome = ObjectExport::Extracted::Outcome;
    const ObjectExport::Extracted extracted = ObjectExport::extract(
        m_context.ws, ResourceFile::path(m_context.ws), *record, folder, m_objectBuffer);
    switch (extracted.outcome) {
    case Outcome::Written:
        break;
    case Outcome::Refused:
        QApplication::beep();
        m_context.status.setText(extracted.error);
        break;
    case Outcome::ReadFailed:
        showReadError(extracted.error);
        break;
    case Outcome::WriteFailed:
        m_context.status.setText(extracted.error);
        Prompts::message(&m_context.window, QStringLiteral("Error extracting object!"),
                         QStringLiteral("Extract Object"), Prompts::Icon::Exclamation);
        break;
    }
}

void ObjectCommands::RemoveObject()
{
    SnippetRecord* record = m_context.treeController.selectedRecord();
    if (record == nullptr || refuseReadOnly(QStringLiteral("no object was removed."))) {
        return;
    }
    const QString stamp = DateStamp::now();
    record->ObjectName.clear();
    record->ObjectFlag = 0;
    record->ObjectStart = 0;
    record->ObjectLength = 0;
    record->Date = stamp;
    m_context.views.txtObject->setText(NoObject);
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
    // The window opens on what it can show: after a failure it would hold nothing, or another
    // snippet's object.
    if (!DisplayObject()) {
        viewer->close();
        return;
    }
    if (!viewer->isVisible()) {
        ScreenFit::placeOver(*viewer, &m_context.window);
    }
    viewer->show();
    viewer->raise();
}

bool ObjectCommands::showDisplayError(const QString& reason)
{
    if (!reason.isEmpty()) {
        m_context.status.setText(reason);
    }
    Prompts::message(&m_context.window, QStringLiteral("Error displaying object!"),
                     QStringLiteral("Display Object"), Prompts::Icon::Exclamation);
    return false;
}

bool ObjectCommands::DisplayObject()
{
    const SnippetRecord* record = m_context.treeController.selectedRecord();
    if (record == nullptr) {
        return false;
    }
    ViewerWindow* viewer = ViewerWindow::of(m_context.window);
    const QString extension = ViewerTypes::extensionOf(record->ObjectName);
    const ViewerTypes::Kind kind = ViewerTypes::kindOf(extension, m_typeLists);
    if (kind == ViewerTypes::Kind::Binary) {
        viewer->showText(QStringLiteral("Object is a binary file\r\nthat Zorbeth cannot display."));
        return true;
    }
    if (kind == ViewerTypes::Kind::Text) {
        viewer->showTextView();
    } else {
        viewer->showPictureView();
    }
    // GetObjectString has put its reason in the status bar.
    if (!GetObjectString()) {
        return showDisplayError(QString());
    }
    const QString workingName = ViewerTypes::workingFile(kind, extension);
    if (workingName.isEmpty()) {
        return showDisplayError(
            QStringLiteral("The ending \"%1\" cannot be part of a working file name.").arg(extension));
    }
    const ObjectExport::Written written =
        ObjectExport::writeInFolder(m_context.ws.programFolder, workingName, m_objectBuffer);
    if (!written.ok) {
        return showDisplayError(
            QStringLiteral("%1 could not be written: %2").arg(written.path, written.error));
    }
    if (kind == ViewerTypes::Kind::Text) {
        QFile file(written.path);
        if (!file.open(QIODevice::ReadOnly)) {
            return showDisplayError(
                QStringLiteral("%1 cannot be read: %2").arg(written.path, file.errorString()));
        }
        viewer->showText(TextCodec::decode(file.readAll()));
        return true;
    }
    QString why;
    if (!viewer->loadPicture(written.path, &why)) {
        return showDisplayError(
            QStringLiteral("The picture \"%1\" cannot be shown: %2").arg(record->ObjectName, why));
    }
    return true;
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
        if (answer != Prompts::Answer::Ok) {
            return;
        }
        bool keptAside = false;
        if (!saveLibrary(&keptAside)) {
            if (keptAside) {
                m_context.status.setText(
                    m_context.status.text() +
                    QStringLiteral("; the resource file was not compacted, as the library "
                                   "file belongs to the other program's version."));
            }
            return;
        }
    }
    // The positions must go into the library file the resource file belongs to: into another
    // program's version they would be wrong, and beside it they would be parted from the file.
    if (LibraryFile::changedOnDisk(ws)) {
        Prompts::message(
            &m_context.window,
            QStringLiteral("The library file %1 was changed by another program after Zorbeth loaded "
                           "or last saved it, so the resource file was not compacted; it and the "
                           "library file are as they were.\n\nSave this library (Overwrite) or "
                           "load the other version, then compact again.")
                .arg(QDir::toNativeSeparators(ws.databasePath())),
            CompactTitle, Prompts::Icon::Exclamation);
        return;
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
    // The old file stays until the library holding the new positions is saved. The save asks no
    // question: a library changed on disk meanwhile is refused, never kept aside with the new positions.
    const auto oldStarts = ResourceCompaction::applyStarts(ws.codeArray, compacted.starts);
    QString error;
    if (!LibraryFile::SaveCodeArrayToFile(ws, &error)) {
        ResourceCompaction::applyStarts(ws.codeArray, oldStarts);
        QFile::remove(compacted.tempPath);
        Prompts::message(
            &m_context.window,
            QStringLiteral("The library could not be saved with the new positions, so the resource "
                           "file was not compacted; it and the library file are as they were.\n\n") +
                error,
            CompactTitle, Prompts::Icon::Exclamation);
        return;
    }
    if (!ResourceCompaction::replace(path, compacted.tempPath, &error)) {
        ResourceCompaction::applyStarts(ws.codeArray, oldStarts);
        QString again;
        if (LibraryFile::SaveCodeArrayToFile(ws, &again)) {
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
