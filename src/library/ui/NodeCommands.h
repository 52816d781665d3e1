#pragma once

#include <QObject>

struct WindowContext;

// New, delete, duplicate, rename and drag-and-drop of tree nodes.
class NodeCommands : public QObject
{
    Q_OBJECT

public:
    explicit NodeCommands(WindowContext& context, QObject* parent = nullptr);

private:
    WindowContext& m_context;
};
