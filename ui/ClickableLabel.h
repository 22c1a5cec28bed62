#pragma once

#include <QLabel>

// A label that acts as a link, tab or back arrow: emits clicked() when pressed, or when it has the
// keyboard focus and Space or Enter is pressed.
class ClickableLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ClickableLabel(QWidget* parent = nullptr);

    // As a press would, when the label is enabled.
    void click();
    // Escape anywhere in the window clicks the label while it shows and is enabled: back arrows.
    void clickOnEscape();

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
