#pragma once

#include <QPixmap>
#include <QWidget>

class QLabel;
class QTextEdit;

// The viewer window "frmViewer": a text view and a picture view in the same place, one shown at a
// time. It shows attached objects and the editor's hex dump; a main window has one of it.
class ViewerWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ViewerWindow(QWidget* parent = nullptr);
    ~ViewerWindow() override;

    // The viewer of owner, made on first use and kept with owner until either goes.
    static ViewerWindow* of(QWidget& owner);

    QTextEdit* txtObjectDisplay() const { return m_txtObjectDisplay; }
    QLabel* picObjectDisplay() const { return m_picObjectDisplay; }

    // Shows a hex dump in the text view: offsets blue, codes red, characters black, in Courier New 10 pt.
    void showHexDump(const QString& dump);

    // Shows plain text in the text view, in the main window's font, with the picture view hidden.
    void showText(const QString& text);

    // Shows the text view (or the picture view) and hides the other, leaving their contents.
    void showTextView();
    void showPictureView();

    // Loads a picture file into the picture view; false, with the reader's reason in error (when
    // given), when no image reader can read it.
    bool loadPicture(const QString& path, QString* error = nullptr);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void frmViewer_Form_Load();
    void frmViewer_Form_Resize();
    void fitPicture();

    QTextEdit* m_txtObjectDisplay = nullptr;
    QLabel* m_picObjectDisplay = nullptr;
    QPixmap m_picture;
    QWidget* m_owner = nullptr; // set when made by of()
};
