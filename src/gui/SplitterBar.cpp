#include "gui/SplitterBar.h"

#include <QMouseEvent>
#include <QPainter>

SplitterBar::SplitterBar(Qt::Orientation orientation, const char* name, QWidget* parent) : QWidget(parent)
{
    setObjectName(QLatin1String(name));
    setCursor(orientation == Qt::Vertical ? Qt::SizeHorCursor : Qt::SizeVerCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SplitterBar::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton) {
        emit dragged(event->position().toPoint());
    }
}

void SplitterBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        emit dragged(event->position().toPoint());
    }
}

void SplitterBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().button());
}
