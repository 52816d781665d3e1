#pragma once

#include <functional>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

// "n of N", or a busy bar, with a Cancel button over a long command. It blocks input to the window it belongs
// to, so nothing changes the data the command walks, while the window keeps repainting.
class ProgressWindow
{
public:
    ProgressWindow(QWidget* parent, const QString& title, int total);
    // Busy mode, for work whose size is unknown: label and a running bar instead of "n of N".
    ProgressWindow(QWidget* parent, const QString& title, const QString& label);
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // Shows that n of the total are done and lets pending events run; false once Cancel was pressed.
    bool step(int n);

    bool cancelled() const;

    // Runs whenever Cancel is pressed, while the caller waits for other work to end.
    void onCancel(std::function<void()> cancelled);

private:
    QPointer<QProgressDialog> m_dialog;
    int m_total;
};
