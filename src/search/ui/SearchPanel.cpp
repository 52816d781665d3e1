#include "search/ui/SearchPanel.h"

#include "app/ui/WindowContext.h"

SearchPanel::SearchPanel(WindowContext& context, QWidget* parent) : QFrame(parent), m_context(context)
{
    setObjectName(QStringLiteral("frameSearch"));
}
