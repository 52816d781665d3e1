#include "editor/ui/EditorController.h"

#include "app/ui/WindowContext.h"

EditorController::EditorController(WindowContext& context, QObject* parent) : QObject(parent), m_context(context)
{
}
