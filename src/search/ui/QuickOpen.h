#pragma once

#include <memory>
#include <QFrame>
#include <QPointer>

class QAction;
class QLineEdit;
class QListWidget;
class QuickOpenIndex;
struct WindowContext;

// Quick Open "frmQuickOpen": a small box over the window with a text box and a list. What is typed
// finds snippets of every language by a fuzzy match, best first; Up and Down move through the list,
// Enter opens the snippet, Esc closes the box.
class QuickOpen : public QFrame
{
    Q_OBJECT

public:
    // The box stands over window; "Quick Open…" goes into the Search menu.
    QuickOpen(WindowContext& context, QWidget& window);
    ~QuickOpen() override;

    // Opens the box on the library as it is now, empty, with the first snippets listed.
    void mnuQuickOpen_Click();
    // Closes the box; the focus goes back to where it was.
    void dismiss();

    QAction* action() const { return m_mnuQuickOpen; }

signals:
    // The snippet at this code-array index was chosen: it is to be shown as a click on its node shows it.
    void snippetChosen(qsizetype index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void txtQuickOpen_Change();
    void openCurrent();
    void moveCurrent(int by);
    void place();

    WindowContext& m_context;
    QWidget& m_window;
    QAction* m_mnuQuickOpen = nullptr;
    QLineEdit* m_txtQuickOpen = nullptr;
    QListWidget* m_lstQuickOpen = nullptr;
    std::unique_ptr<QuickOpenIndex> m_index;
    QPointer<QWidget> m_focusBefore;
};
