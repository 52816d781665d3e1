#include "gui/ProgressWindow.h"

#include "gui/TitleFit.h"

#include <QCoreApplication>
#include <QProgressDialog>

ProgressWindow::ProgressWindow(QWidget* parent, const QString& title, int total) : m_total(total)
{
    m_dialog = new QProgressDialog(parent);
    m_dialog->setObjectName(QStringLiteral("dlgProgress"));
    m_dialog->setWindowTitle(title);
    // The box is as wide as its title, which is longer than "n of N".
    m_dialog->setMinimumWidth(TitleFit::widthFor(*m_dialog, title));
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumDuration(0);
    m_dialog->setRange(0, total);
    m_dialog->setLabelText(QStringLiteral("0 of %1").arg(total));
    m_dialog->setValue(0);
}

ProgressWindow::ProgressWindow(QWidget* parent, const QString& title, const QString& label)
    : ProgressWindow(parent, title, 0)
{
    m_dialog->setLabelText(label);
}

ProgressWindow::~ProgressWindow()
{
    delete m_dialog.data();
}

bool ProgressWindow::step(int n)
{
    if (m_dialog.isNull()) {
        return false;
    }
    m_dialog->setLabelText(QStringLiteral("%1 of %2").arg(n).arg(m_total));
    m_dialog->setValue(n);
    QCoreApplication::processEvents();
    return !cancelled();
}

bool ProgressWindow::cancelled() const
{
    return m_dialog.isNull() || m_dialog->wasCanceled();
}

void ProgressWindow::onCancel(std::function<void()> cancelled)
{
    QObject::connect(m_dialog.data(), &QProgressDialog::canceled, m_dialog.data(), std::move(cancelled));
}
