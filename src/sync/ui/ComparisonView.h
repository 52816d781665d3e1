#pragma once

#include <functional>
#include <QWidget>

class CodeEditor;
class QTreeView;
class RemoteListModel;

// The comparison mode's views inside the search frame: the list "lstRemote" on the left takes
// RShare percent of the frame's width, the read-only code view "txtRemote" the rest, 10 pixels
// (150 twips) apart and from the frame's right edge.
class ComparisonView : public QWidget
{
    Q_OBJECT

public:
    ComparisonView(RemoteListModel& model, std::function<int()> share, QWidget* parent = nullptr);

    QTreeView& list() const { return *m_lstRemote; }
    CodeEditor& code() const { return *m_txtRemote; }

    // Widths of the columns in twips, at 15 twips to the pixel.
    void setColumnWidths();

    // Widens the "Language" column to its longest text ("Imported Language", long names), never
    // below its width in twips.
    void fitLanguageColumn();

    // Places the list and the code view for the current share and frame width.
    void layoutViews();

    // Shows the staged code, which the view keeps read-only.
    void showCode(const QString& code);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::function<int()> m_share;
    QTreeView* m_lstRemote = nullptr;
    CodeEditor* m_txtRemote = nullptr;
};
