#pragma once

#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

// "n of N" with a Cancel button over a long command. It blocks input to the window it belongs to,
// so nothing changes the data the command walks, while the window keeps repainting.
class ProgressWindow
{
public:
    ProgressWindow(QWidget* parent, const QString& title, int total);
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // Shows that n of the total are done and lets pending events run; false once Cancel was pressed.
    bool step(int n);

    bool cancelled() const;

private:
    QPointer<QProgressDialog> m_dialog;
    int m_total;
};
