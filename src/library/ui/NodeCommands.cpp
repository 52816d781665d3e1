#include "library/ui/NodeCommands.h"

#include "app/ui/WindowContext.h"

NodeCommands::NodeCommands(WindowContext& context, QObject* parent) : QObject(parent), m_context(context)
{
}
