#pragma once

#include <QObject>

struct WindowContext;

// Writes edits of title, keywords and code into the selected snippet's record.
class SnippetEditing : public QObject
{
    Q_OBJECT

public:
    explicit SnippetEditing(WindowContext& context, QObject* parent = nullptr);

private:
    WindowContext& m_context;
};
