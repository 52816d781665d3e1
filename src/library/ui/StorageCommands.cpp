#include "library/ui/StorageCommands.h"

#include "app/ui/WindowContext.h"

StorageCommands::StorageCommands(WindowContext& context, QObject* parent) : QObject(parent), m_context(context)
{
}
