#include "ClickableLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcut>

ClickableLabel::ClickableLabel(QWidget* parent)
    : QLabel(parent)
{
    setStyleSheet(QStringLiteral("QLabel:hover {color:rgb(0,130,255);}"));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void ClickableLabel::click()
{
    if (isEnabled())
        emit clicked();
}

void ClickableLabel::clickOnEscape()
{
    // Shortcuts of hidden or disabled widgets never fire, so only the page that shows goes back.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this, nullptr, nullptr, Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &ClickableLabel::click);
}

void ClickableLabel::mousePressEvent(QMouseEvent* event)
{
    // The arrow shows while the click is handled, which may open a window under the pointer.
    setCursor(Qt::ArrowCursor);
    emit clicked();
    event->accept();
    setCursor(Qt::PointingHandCursor);
}

void ClickableLabel::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Taken here, so Enter on a focused link never also submits the page around it.
        event->accept();
        if (!event->isAutoRepeat())
            click();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}
