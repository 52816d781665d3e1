#pragma once

#include <QObject>

struct WindowContext;

// Save, backup and restore of the library file.
class StorageCommands : public QObject
{
    Q_OBJECT

public:
    explicit StorageCommands(WindowContext& context, QObject* parent = nullptr);

private:
    WindowContext& m_context;
};
