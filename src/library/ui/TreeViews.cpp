#include "library/ui/TreeViews.h"

#include "app/ui/WindowContext.h"

TreeViews::TreeViews(WindowContext& context, QObject* parent) : QObject(parent), m_context(context)
{
}
