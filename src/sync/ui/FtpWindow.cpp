#include "sync/ui/FtpWindow.h"

#include "gui/BackgroundWork.h"
#include "gui/Prompts.h"
#include "gui/WaitCursor.h"
#include "gui/WindowContext.h"
#include "library/LibraryFile.h"
#include "library/ui/LibraryStorage.h"
#include "library/ui/LibraryTree.h"
#include "library/ui/TreeViews.h"
#include "library/Workspace.h"
#include "store/LibraryOrdering.h"
#include "store/PathNames.h"
#include "sync/FtpLibrary.h"

#include <limits>
#include <memory>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>

namespace {

const QString Caption = QStringLiteral("Server Synchronization");
const QString SendTitle = QStringLiteral("Send Error");
const QString ReceiveTitle = QStringLiteral("Receive Error");
const QString RestoreTitle = QStringLiteral("Restore Database");
const QString ConnectingStatus = QStringLiteral("Connecting ... please wait!");

// Window coordinates are kept in twips, 15 to the pixel.
constexpr int px(int twips)
{
    return twips / 15;
}

constexpr int WideWidth = px(6615);
constexpr int NarrowWidth = px(5190);
constexpr int SwitchWidth = px(6000);
constexpr int SendHeight = px(2715);
constexpr int Offset = px(1500);

} // namespace

FtpWindow::FtpWindow(WindowContext& context, TreeViews& treeViews, QWidget* parent)
    : QDialog(parent), m_context(context), m_treeViews(treeViews)
{
    setObjectName(QStringLiteral("frmFTP"));
    setWindowTitle(Caption);
    setModal(true);
    createControls();
    Form_Load();
}

FtpWindow::~FtpWindow()
{
    // A window destroyed without closing still hands its settings back.
    if (!m_transferring) {
        Form_Unload();
    }
}

void FtpWindow::createControls()
{
    auto label = [this](const char* name, const QString& text, int x, int y, int w, int h) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(x, y, w, h);
        return l;
    };
    // The labels take the width their texts need in the font in use, and the fields start after them.
    const QStringList labelTexts{tr("Server:"), tr("Folder:"), tr("User:"), tr("Password:")};
    int labelWidth = 56;
    for (const QString& text : labelTexts) {
        labelWidth = qMax(labelWidth, fontMetrics().horizontalAdvance(text) + 6);
    }
    const int editX = 96 + labelWidth;
    auto edit = [this, editX](const char* name, int y) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(editX, y, qMax(338 - editX, 120), 22);
        return e;
    };
    auto button = [this](const char* name, const QString& text, int x, int y, int w,
                         void (FtpWindow::*handler)()) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(x, y, w, 24);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };

    // The commands stand on the left, so the narrow width still shows everything a transfer needs.
    m_cmdTransmit = button("cmdTransmit", tr("Send"), 8, 6, 80, &FtpWindow::cmdTransmit_Click);
    m_cmdReceive = button("cmdReceive", tr("Receive"), 8, 32, 80, &FtpWindow::cmdReceive_Click);
    m_cmdRestore = button("cmdRestore", tr("Restore"), 8, 58, 80, &FtpWindow::cmdRestore_Click);
    m_cmdExit = button("cmdExit", tr("Exit"), 8, 84, 80, &FtpWindow::cmdExit_Click);
    m_cmdCancel = button("cmdCancel", tr("Cancel"), 8, 110, 80, &FtpWindow::cmdCancel_Click);

    label("lblServer", labelTexts[0], 96, 8, labelWidth, 20);
    m_txtServer = edit("txtServer", 6);
    label("lblPath", labelTexts[1], 96, 32, labelWidth, 20);
    m_txtPath = edit("txtPath", 30);
    label("lblUser", labelTexts[2], 96, 56, labelWidth, 20);
    m_txtUser = edit("txtUser", 54);
    label("lblPSW", labelTexts[3], 96, 80, labelWidth, 20);
    m_txtPSW = edit("txtPSW", 78);
    m_txtPSW->setEchoMode(QLineEdit::Password);
    m_chkMode = new QCheckBox(tr("Passive Mode"), this);
    m_chkMode->setObjectName(QStringLiteral("chkMode"));
    m_chkMode->setGeometry(96, 106, 110, 20);
    m_cmdCompare = button("cmdCompare", tr("Compare with Server Copy"), 210, 104, WideWidth - 218,
                          &FtpWindow::cmdCompare_Click);

    m_lblStatus = label("lblStatus", tr("Select action to perform"), 96, 132, WideWidth - 104, 16);
    m_lblResponse = label("lblResponse", QString(), 8, 150, 84, 16);
    m_lblMessage = label("lblMessage", QString(), 96, 150, WideWidth - 104, 16);
    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressBar->setGeometry(8, 168, WideWidth - 16, 10);
    m_progressBar->setTextVisible(false);
    ClearAll();
}

void FtpWindow::Form_Load()
{
    const AppSettings& options = m_context.ws.options;
    m_txtServer->setText(options.FTPServer);
    m_txtPath->setText(options.FTPPath);
    m_txtUser->setText(options.FTPUser);
    m_txtPSW->setText(options.FTPPSW);
    m_chkMode->setChecked(options.FTPMode != 0);
    resize(WideWidth, SendHeight);
    move(m_context.window.pos() + QPoint(Offset, Offset));
}

void FtpWindow::Form_Unload()
{
    AppSettings& options = m_context.ws.options;
    options.FTPServer = m_txtServer->text();
    options.FTPPath = m_txtPath->text();
    options.FTPUser = m_txtUser->text();
    options.FTPPSW = m_txtPSW->text();
    options.FTPMode = m_chkMode->isChecked() ? 1 : 0;
}

void FtpWindow::done(int result)
{
    // Closing during a transfer cancels it; the window closes once the transfer has ended.
    if (m_transferring) {
        m_closeAfterTransfer = true;
        cmdCancel_Click();
        return;
    }
    Form_Unload();
    QDialog::done(result);
}

void FtpWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Form_DblClick: switches between the wide and the narrow window.
    resize(width() >= SwitchWidth ? NarrowWidth : WideWidth, height());
    event->accept();
}

FtpTransfer::Options FtpWindow::transferOptions() const
{
    FtpTransfer::Options options = m_options;
    const AppSettings& settings = m_context.ws.options;
    if (options.caFile.isEmpty()) {
        options.caFile = settings.FTPCAFile.trimmed();
    }
    if (options.knownHostsFile.isEmpty()) {
        options.knownHostsFile = settings.FTPKnownHosts.trimmed();
    }
    return options;
}

FtpTransfer::Account FtpWindow::account() const
{
    FtpTransfer::Account a;
    a.server = m_txtServer->text();
    a.folder = m_txtPath->text();
    a.user = m_txtUser->text();
    a.password = m_txtPSW->text();
    a.passive = m_chkMode->isChecked();
    return a;
}

QString FtpWindow::SetFullPaths() const
{
    return m_context.ws.databasePath();
}

void FtpWindow::setStatus(const QString& text)
{
    m_lblStatus->setText(text);
    m_lblStatus->setToolTip(QString());
}

void FtpWindow::setFailure(const QString& status, const QString& reason)
{
    setStatus(status);
    m_lblStatus->setToolTip(reason);
}

void FtpWindow::showError(const QString& title, const QString& reason)
{
    Prompts::message(this, reason, title, Prompts::Icon::Exclamation);
}

void FtpWindow::ClearAll()
{
    m_lblMessage->clear();
    m_lblResponse->clear();
    m_lblMessage->hide();
    m_lblResponse->hide();
    m_progressBar->hide();
    m_progressBar->setValue(0);
    m_progressValue = 0;
    m_progressBytes = 0;
    m_cmdCancel->hide();
}

void FtpWindow::setProgressMaximum(qint64 bytes)
{
    m_progressMaximum = double(qMax<qint64>(bytes, 0)) / 1000.0;
    m_progressBytes = qMax<qint64>(bytes, 0);
    // The bar counts bytes, scaled down only for files beyond its range.
    const qint64 scale = m_progressBytes / std::numeric_limits<int>::max() + 1;
    m_progressBar->setRange(0, int(m_progressBytes / scale));
}

void FtpWindow::startTransferDisplay()
{
    m_lblMessage->clear();
    m_progressBar->setValue(0);
    m_progressValue = 0;
    m_progressBar->show();
    m_lblResponse->show();
    m_lblMessage->show();
}

void FtpWindow::NextDirectory(qint64 size)
{
    if (size >= 0) {
        setProgressMaximum(size);
    }
}

void FtpWindow::TransferProgress(qint64 bytes)
{
    m_lblResponse->setText(QString::number(bytes));
    m_progressValue = double(bytes) / 1000.0;
    const qint64 scale = m_progressBytes / std::numeric_limits<int>::max() + 1;
    m_progressBar->setValue(int(qMin(bytes, m_progressBytes) / scale));
    emit transferProgress(bytes);
}

FtpTransfer::Result FtpWindow::runTransfer(const Work& work, const QString& transferStatus)
{
    m_cancel = false;
    m_transferring = true;
    const int number = ++m_transferNumber;
    for (QPushButton* b : {m_cmdTransmit, m_cmdReceive, m_cmdRestore, m_cmdExit, m_cmdCompare}) {
        b->setEnabled(false);
    }

    // The worker's reports come over as queued calls; one that arrives after its transfer ended is
    // dropped, and progress reports are merged so the window never lags behind a fast transfer.
    auto current = [this, number] { return m_transferring && m_transferNumber == number; };
    FtpTransfer::Events events;
    events.connected = [this, current, transferStatus] {
        QMetaObject::invokeMethod(
            this,
            [this, current, transferStatus] {
                if (current() && m_operation != QLatin1String("Cancelled")) {
                    setStatus(transferStatus);
                }
            },
            Qt::QueuedConnection);
    };
    events.remoteSize = [this, current](qint64 size) {
        QMetaObject::invokeMethod(
            this,
            [this, current, size] {
                if (current()) {
                    NextDirectory(size);
                }
            },
            Qt::QueuedConnection);
    };
    events.progress = [this, current](qint64 bytes) {
        m_latestBytes = bytes;
        if (!m_progressPosted.exchange(true)) {
            QMetaObject::invokeMethod(
                this,
                [this, current] {
                    m_progressPosted = false;
                    if (current()) {
                        TransferProgress(m_latestBytes);
                    }
                },
                Qt::QueuedConnection);
        }
    };

    events.arrived = [this, current] {
        QMetaObject::invokeMethod(
            this,
            [this, current] {
                if (current()) {
                    emit transferArrived();
                }
            },
            Qt::QueuedConnection);
    };

    FtpTransfer::Result result;
    runInBackground([&] { result = work(&m_cancel, events); });
    // The last reports still on their way belong to this transfer: show them before it counts as ended.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);

    m_transferring = false;
    m_progressPosted = false;
    for (QPushButton* b : {m_cmdTransmit, m_cmdReceive, m_cmdRestore, m_cmdExit, m_cmdCompare}) {
        b->setEnabled(true);
    }
    return result;
}

bool FtpWindow::libraryWritable(const QString& title)
{
    const Workspace& ws = m_context.ws;
    if (ws.readOnly) {
        QApplication::beep();
        setStatus(QStringLiteral("The library is open read-only because another program is using it."));
        return false;
    }
    if (!ws.saveBlockedReason.isEmpty()) {
        // The library file could not be read nor kept aside; replacing it would lose it for good.
        showError(title, ws.saveBlockedReason);
        return false;
    }
    return true;
}

void FtpWindow::cmdTransmit_Click()
{
    Workspace& ws = m_context.ws;
    // What is sent is what the user sees: unsaved changes are saved first when the user wants that.
    m_context.tree.finishLabelEdit();
    if (ws.CodeChanged && !ws.readOnly && !LibraryStorage::saveOrDiscard(this, ws, Caption)) {
        return;
    }

    m_operation = QStringLiteral("Send");
    const QString resource = resourcePath();
    const QString path = SetFullPaths();
    const QFileInfo file(path);
    if (!file.exists()) {
        showError(SendTitle, QStringLiteral("The library file %1 does not exist. Save the library first.")
                                 .arg(QDir::toNativeSeparators(path)));
        return;
    }
    // The attachments go first, and the bar counts both files.
    const QFileInfo attachments(resource);
    setProgressMaximum(file.size() + (attachments.isFile() ? attachments.size() : 0));
    m_cmdCancel->show();
    setStatus(ConnectingStatus);
    m_lblResponse->clear();
    resize(width(), SendHeight);
    QCoreApplication::processEvents();
    startTransferDisplay();

    const FtpTransfer::Account a = account();
    const FtpTransfer::Options options = transferOptions();
    const FtpTransfer::Result result = runTransfer(
        [a, path, resource, options](const std::atomic<bool>* cancel, const FtpTransfer::Events& events) {
            return FtpLibrary::send(a, path, resource, options, cancel, events);
        },
        QStringLiteral("Sending file ... please wait!"));

    // What happened decides the text, not whether Cancel was clicked: a click after the files
    // arrived no longer stops them taking their places.
    ClearAll();
    if (result.ok) {
        setStatus(QStringLiteral("File transferred to server."));
    } else if (result.cancelled) {
        setStatus(QStringLiteral("File transferred cancelled."));
    } else {
        setFailure(QStringLiteral("Send failed."), result.error);
        showError(SendTitle, result.error);
    }
    if (m_closeAfterTransfer) {
        close();
    }
}

bool FtpWindow::unsavedChangesSettled()
{
    Workspace& ws = m_context.ws;
    m_context.tree.finishLabelEdit();
    return !ws.CodeChanged || ws.readOnly || LibraryStorage::saveOrDiscard(this, ws, Caption);
}

QString FtpWindow::resourcePath() const
{
    return MergePathData(QFileInfo(SetFullPaths()).path(), m_context.ws.resourceFileName);
}

void FtpWindow::cmdReceive_Click()
{
    m_operation = QStringLiteral("Get");
    const QString path = SetFullPaths();
    const QString resource = resourcePath();
    // The received library replaces the one in memory: edits not saved yet would be lost unasked.
    if (!libraryWritable(ReceiveTitle) || !unsavedChangesSettled()) {
        return;
    }
    const FtpTransfer::Account a = account();
    const FtpTransfer::Options options = transferOptions();
    const FtpTransfer::Result result = runDownload(
        [a, path, resource, options](const std::atomic<bool>* cancel, const FtpTransfer::Events& events) {
            return FtpLibrary::receive(a, path, resource, options, cancel, events);
        });
    if (result.ok) {
        RefreshDisplay();
        setStatus(QStringLiteral("Server database downloaded. Zorbeth refreshed."));
        if (!result.note.isEmpty()) {
            m_lblMessage->setText(result.note);
            m_lblMessage->show();
        }
    } else if (result.cancelled) {
        setStatus(QStringLiteral("File download cancelled."));
    } else {
        // A file that was missing, or that arrived and was refused, leaves the library as it was.
        setFailure(result.notFound || result.arrived
                       ? QStringLiteral("Server database downloaded. Refresh not completed.")
                       : QStringLiteral("Receive failed. The library is unchanged."),
                   result.error);
        showError(ReceiveTitle, result.error);
    }
    if (m_closeAfterTransfer) {
        close();
    }
}

FtpTransfer::Result FtpWindow::runDownload(const Work& work)
{
    m_cmdCancel->show();
    setStatus(ConnectingStatus);
    m_lblResponse->clear();
    setProgressMaximum(0);
    startTransferDisplay();
    const FtpTransfer::Result result = runTransfer(work, QStringLiteral("Downloading file ... please wait!"));
    ClearAll();
    return result;
}

void FtpWindow::cmdRestore_Click()
{
    const QString path = SetFullPaths();
    if (!QFileInfo::exists(FtpLibrary::backupPath(path))) {
        setStatus(QStringLiteral("Restore aborted. Backup file not found."));
        return;
    }
    if (Prompts::question(this, QStringLiteral("Are you sure?"), RestoreTitle,
                          {Prompts::Answer::Ok, Prompts::Answer::Cancel},
                          Prompts::Icon::Exclamation) != Prompts::Answer::Ok) {
        return;
    }
    if (!libraryWritable(RestoreTitle) || !unsavedChangesSettled()) {
        return;
    }
    QString why;
    if (!FtpLibrary::restore(path, resourcePath(), &why)) {
        showError(RestoreTitle, why + QStringLiteral(" Nothing was restored."));
        return;
    }
    RefreshDisplay();
    setStatus(QStringLiteral("Database restored. Zorbeth refreshed."));
}

void FtpWindow::cmdCancel_Click()
{
    m_operation = QStringLiteral("Cancelled");
    m_cancel = true;
    ClearAll();
}

void FtpWindow::cmdExit_Click()
{
    ClearAll();
    close();
}

void FtpWindow::cmdCompare_Click()
{
    m_operation = QStringLiteral("Get");
    if (!m_compareFolder.isValid()) {
        showError(ReceiveTitle, QStringLiteral("No temporary folder for the server copy could be made."));
        return;
    }
    const QString target = m_compareFolder.filePath(QLatin1String(FtpLibrary::RemoteFileName));
    const FtpTransfer::Account a = account();
    const FtpTransfer::Options options = transferOptions();
    const FtpTransfer::Result result =
        runDownload([a, target, options](const std::atomic<bool>* cancel, const FtpTransfer::Events& events) {
            return FtpLibrary::fetchCopy(a, target, options, cancel, events);
        });
    if (result.ok) {
        m_comparisonFile = target;
        accept();
        return;
    }
    if (result.cancelled) {
        setStatus(QStringLiteral("File download cancelled."));
    } else {
        setFailure(QStringLiteral("The server copy could not be fetched."), result.error);
        showError(ReceiveTitle, result.error);
    }
    if (m_closeAfterTransfer) {
        close();
    }
}

void FtpWindow::RefreshDisplay()
{
    // Reading, sorting and showing a large library takes seconds.
    const WaitCursor wait;
    Workspace& ws = m_context.ws;
    LibraryStorage::load(&m_context.window, ws);
    LibraryOrdering::SortCodeByLanguage(ws.codeArray);
    // Rebuilds the tree, puts the one-language view and the child counts back and shows the first node.
    m_treeViews.rebuildTree();
    ws.CodeChanged = false;
}
