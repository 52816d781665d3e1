#include "library/ui/SnippetEditing.h"

#include "app/ui/WindowContext.h"

SnippetEditing::SnippetEditing(WindowContext& context, QObject* parent) : QObject(parent), m_context(context)
{
}
