#pragma once

#include <QWidget>

class QLabel;
class QTextEdit;

// The viewer window "frmViewer": a text view and a picture view in the same place, one shown at a time.
class ViewerWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ViewerWindow(QWidget* parent = nullptr);

    QTextEdit* txtObjectDisplay() const { return m_txtObjectDisplay; }
    QLabel* picObjectDisplay() const { return m_picObjectDisplay; }

    // Shows a hex dump in the text view: offsets blue, codes red, characters black, in Courier New 10 pt.
    void showHexDump(const QString& dump);

private:
    QTextEdit* m_txtObjectDisplay;
    QLabel* m_picObjectDisplay;
};
