#include "ClickableLabel.h"

#include <QMouseEvent>

ClickableLabel::ClickableLabel(QWidget* parent)
    : QLabel(parent)
{
    setStyleSheet(QStringLiteral("QLabel:hover {color:rgb(0,130,255);}"));
    setCursor(Qt::PointingHandCursor);
}

void ClickableLabel::mousePressEvent(QMouseEvent* event)
{
    // The arrow shows while the click is handled, which may open a window under the pointer.
    setCursor(Qt::ArrowCursor);
    emit clicked();
    event->accept();
    setCursor(Qt::PointingHandCursor);
}
