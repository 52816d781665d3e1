#pragma once

#include <QFrame>

struct WindowContext;

// The search area "frameSearch": search box, options, results.
class SearchPanel : public QFrame
{
    Q_OBJECT

public:
    explicit SearchPanel(WindowContext& context, QWidget* parent = nullptr);

private:
    WindowContext& m_context;
};
