#pragma once

#include <QString>

class QWidget;

// The search area as the comparison list borrows it: the list takes the frame while a comparison
// mode is on, and gives the search controls back when it ends.
class SearchFrame
{
public:
    virtual ~SearchFrame() = default;

    // The frame's caption: "Search", or the comparison list's while that has the frame.
    virtual QString caption() const = 0;
    virtual void setCaption(const QString& caption) = 0;

    // Shows or hides the search controls as a group.
    virtual void FrameSearchControlsVisible(bool task) = 0;

    // Shows or hides the whole frame.
    virtual void setFrameVisible(bool visible) = 0;

    // Whether the toolbar's "Search" button is down, which is when the frame belongs on screen.
    virtual bool searchButtonDown() const = 0;

    // Enables or disables the menu command that shows and hides the frame.
    virtual void setDisplayFrameCommandEnabled(bool enabled) = 0;

    // Puts the keyboard focus into the search box when the box is visible.
    virtual void focusSearchBox() = 0;

    // Places a view inside the frame, below the caption, where the search controls stand.
    virtual void hostComparison(QWidget* view) = 0;

    // Asks the window to lay itself out again.
    virtual void requestLayout() = 0;
};
