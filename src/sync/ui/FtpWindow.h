#pragma once

#include "sync/FtpTransfer.h"

#include <atomic>
#include <functional>
#include <QDialog>
#include <QTemporaryDir>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class TreeViews;
struct WindowContext;

// The window "frmFTP", "Server Synchronization": sends the library file to an FTP server, receives
// it back (keeping the replaced file as a backup), restores that backup, and fetches the server copy
// for a comparison. Each transfer runs on a worker thread while the window waits in its own event
// loop, so it repaints and Cancel works; the other buttons are disabled meanwhile.
class FtpWindow : public QDialog
{
    Q_OBJECT

public:
    FtpWindow(WindowContext& context, TreeViews& treeViews, QWidget* parent = nullptr);
    ~FtpWindow() override;

    void cmdTransmit_Click();
    void cmdReceive_Click();
    void cmdRestore_Click();
    void cmdCancel_Click();
    void cmdExit_Click();
    // Fetches the server's copy into a temporary file and closes the window, so that the main
    // window can compare it with the library.
    void cmdCompare_Click();

    // Hides the progress elements and the Cancel button.
    void ClearAll();
    // Reloads the library in the main window after its file was replaced.
    void RefreshDisplay();
    // The full path of the library file in use, local or in the remote folder.
    QString SetFullPaths() const;

    // The server copy fetched by Compare; empty unless the window closed through it.
    QString comparisonFile() const { return m_comparisonFile; }

    // The progress bar's range and value in kilobytes of 1000 bytes.
    double progressMaximum() const { return m_progressMaximum; }
    double progressValue() const { return m_progressValue; }

    // Time-outs and trusted certificates of the transfers (tests shorten them).
    void setTransferOptions(const FtpTransfer::Options& options) { m_options = options; }

    bool transferring() const { return m_transferring; }

signals:
    // A transfer reported bytes moved so far; emitted after the window showed them.
    void transferProgress(qint64 bytes);
    // Every byte of a transfer moved; the files are being put in place, which Cancel no longer stops.
    void transferArrived();

public slots:
    void done(int result) override;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    using Work = std::function<FtpTransfer::Result(const std::atomic<bool>*, const FtpTransfer::Events&)>;

    void createControls();
    void Form_Load();
    void Form_Unload();
    FtpTransfer::Account account() const;
    // The window's options with the certificates and host keys to trust from the settings.
    FtpTransfer::Options transferOptions() const;
    // The resource file that travels with the library.
    QString resourcePath() const;
    // Unsaved edits are saved or let go as the user answers; false when the user cancelled.
    bool unsavedChangesSettled();
    // Runs work on a worker thread and waits for it with the window responsive.
    FtpTransfer::Result runTransfer(const Work& work, const QString& transferStatus);
    // A download with the window's display around it: connecting, progress, then cleared.
    FtpTransfer::Result runDownload(const Work& work);
    void startTransferDisplay();
    void NextDirectory(qint64 size);
    void TransferProgress(qint64 bytes);
    void setProgressMaximum(qint64 bytes);
    void setStatus(const QString& text);
    // The status after a failure; the reason stays in the label's tool tip once the box is closed.
    void setFailure(const QString& status, const QString& reason);
    void showError(const QString& title, const QString& reason);
    // The library may be replaced: false, with the reason shown, while this window must not write it.
    bool libraryWritable(const QString& title);

    WindowContext& m_context;
    TreeViews& m_treeViews;
    FtpTransfer::Options m_options;
    QString m_operation; // "Send" or "Get" while a transfer runs, "Cancelled" once cancelled
    std::atomic<bool> m_cancel{false};
    std::atomic<qint64> m_latestBytes{0};
    std::atomic<bool> m_progressPosted{false};
    bool m_transferring = false;
    bool m_closeAfterTransfer = false;
    int m_transferNumber = 0; // reports of an ended transfer that arrive late are dropped
    double m_progressMaximum = 0;
    double m_progressValue = 0;
    qint64 m_progressBytes = 0;
    QTemporaryDir m_compareFolder;
    QString m_comparisonFile;

    QLineEdit* m_txtServer = nullptr;
    QLineEdit* m_txtPath = nullptr;
    QLineEdit* m_txtUser = nullptr;
    QLineEdit* m_txtPSW = nullptr;
    QCheckBox* m_chkMode = nullptr;
    QPushButton* m_cmdTransmit = nullptr;
    QPushButton* m_cmdReceive = nullptr;
    QPushButton* m_cmdRestore = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QPushButton* m_cmdExit = nullptr;
    QPushButton* m_cmdCompare = nullptr;
    QLabel* m_lblStatus = nullptr;
    QLabel* m_lblResponse = nullptr;
    QLabel* m_lblMessage = nullptr;
    QProgressBar* m_progressBar = nullptr;
};
