#pragma once

#include "gui/SettingsClient.h"
#include "gui/WindowLayout.h"

#include <QObject>

class SplitterBar;
class QWidget;
struct WindowContext;

// Form_Resize: places the tree, the snippet fields, the editor, the search area and the two
// splitter bars in the main window's central area, and follows the bars while they are dragged.
class MainLayout : public QObject, public SettingsClient
{
    Q_OBJECT

public:
    // area is the central widget holding the views; search is the search area inside it.
    MainLayout(WindowContext& context, QWidget& area, QWidget& search, QObject* parent = nullptr);

    void Form_Resize();

    // The last layout applied, in twips.
    const WindowLayout::Result& current() const { return m_current; }
    double width() const { return m_input.width; }
    double height() const { return m_input.height; }

    void Picture2_MouseMove(QPoint position);
    void Picture1_MouseMove(QPoint position);

    void applySettings(const AppSettings& settings) override;
    void collectSettings(AppSettings& settings) const override;

    // The central area in pixels maps onto the window's inner size in twips with these margins:
    // the toolbar and status bar lie outside the area, and the window's design puts the tree at
    // 500 twips from the top of the inner size.
    static constexpr double TwipsPerPixel = 15;
    static constexpr double ExtraWidth = 230;
    static constexpr double ExtraHeight = 1630;
    static constexpr double TopOffset = 440;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowContext& m_context;
    QWidget& m_area;
    QWidget& m_search;
    SplitterBar* m_picture1 = nullptr;
    SplitterBar* m_picture2 = nullptr;
    WindowLayout::Input m_input;
    WindowLayout::Result m_current;
};
