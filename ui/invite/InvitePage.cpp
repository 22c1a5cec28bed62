#include "ui/invite/InvitePage.h"

#include <QDialog>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "ui/Styles.h"

namespace invitepage {

QFont font(int pointSize)
{
    QFont f(QStringLiteral("Microsoft YaHei UI"));
    if (pointSize > 0)
        f.setPointSize(pointSize);
    f.setWeight(QFont::Normal);
    return f;
}

void setUpPage(QWidget* page)
{
    page->setWindowFlags(Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    page->resize(590, 303);
    page->setFont(font(0));
}

QLabel* tipsLabel(QWidget* page, const QString& text)
{
    auto* label = new QLabel(page);
    label->setObjectName(QStringLiteral("label_tips"));
    label->setGeometry(0, 21, 531, 31);
    label->setFont(font(10));
    label->setStyleSheet(QStringLiteral("color:rgb(119,119,119)"));
    label->setText(text);
    return label;
}

QLabel* flagLabel(QWidget* page, int x)
{
    auto* label = new QLabel(page);
    label->setObjectName(QStringLiteral("label_flag"));
    label->setGeometry(x, 0, 54, 12);
    label->setPixmap(QPixmap(QStringLiteral(":/UI/res/selected.png")));
    return label;
}

QPushButton* button(QWidget* page, const char* name, const QRect& geometry, const QString& text, const QString& style)
{
    auto* b = new QPushButton(page);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(geometry);
    b->setFont(font(10));
    b->setStyleSheet(style);
    b->setText(text);
    // A caption longer than the form's width (English ones are) grows the button to the left.
    const int width = styles::fittedWidth(b, geometry.width(), geometry.right() + 1 - 10);
    b->setGeometry(geometry.right() + 1 - width, geometry.y(), width, geometry.height());
    return b;
}

void placeBefore(QPushButton* left, QPushButton* right, QLabel* errorInfo)
{
    // Two captions too long for the row share it from the page's margin to the right button's edge.
    const int rightEdge = right->x() + right->width();
    const int room = rightEdge - 10 - 10;
    if (left->width() + 10 + right->width() > room) {
        const int half = (room - 10) / 2;
        right->setGeometry(rightEdge - half, right->y(), half, right->height());
        left->resize(qMin(left->width(), half), left->height());
    }
    const int x = qMin(left->x(), right->x() - 10 - left->width());
    left->move(x, left->y());
    if (errorInfo)
        errorInfo->resize(qMin(errorInfo->width(), x - 5 - errorInfo->x()), errorInfo->height());
}

QString secondaryButtonStyle()
{
    // Stretched rather than tiled: the grey pictures are narrower than a button with a long caption.
    return QStringLiteral("QPushButton {color: rgb(0, 0, 0);border: none;border-radius: 3px;padding: 4px;"
                          "padding-left: 10px;padding-right: 10px;font-size:14px;"
                          "border-image: url(:/UI/res/btn_normal_gray.png);}"
                          "QPushButton:hover {border-image: url(:/UI/res/btn_hover_gray.png);}"
                          "QPushButton:pressed {border-image: url(:/UI/res/btn_down_gray.png);}");
}

QLabel* errorLabel(QWidget* page)
{
    auto* label = new QLabel(page);
    label->setObjectName(QStringLiteral("errorInfo"));
    label->setGeometry(0, 270, 301, 20);
    label->setStyleSheet(QStringLiteral("color:red"));
    label->hide();
    return label;
}

void closeDialog(QDialog* dialog)
{
    QMetaObject::invokeMethod(dialog, "close", Qt::QueuedConnection);
}

} // namespace invitepage
