#pragma once

#include <QObject>

struct WindowContext;

// Language definitions, colouring, editor options, commands, macros and fonts of the code editor.
class EditorController : public QObject
{
    Q_OBJECT

public:
    explicit EditorController(WindowContext& context, QObject* parent = nullptr);

private:
    WindowContext& m_context;
};
