#pragma once

#include <QObject>

struct WindowContext;

// Expand, collapse, the one-language view, child counts and node pictures.
class TreeViews : public QObject
{
    Q_OBJECT

public:
    explicit TreeViews(WindowContext& context, QObject* parent = nullptr);

private:
    WindowContext& m_context;
};
