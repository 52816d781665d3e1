#pragma once

#include <QWidget>

// A splitter bar ("Picture1", "Picture2") that reports where the pointer is while it is dragged.
class SplitterBar : public QWidget
{
    Q_OBJECT

public:
    SplitterBar(Qt::Orientation orientation, const char* name, QWidget* parent = nullptr);

signals:
    // The pointer's position within the bar while the left button is held, and when it is released.
    void dragged(QPoint position);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
