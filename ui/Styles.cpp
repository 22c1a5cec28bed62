#include "ui/Styles.h"

#include <QApplication>
#include <QFile>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>

namespace styles {
namespace {
QString imageButton(const QString& normal, const QString& hover, const QString& down, const QString& extra)
{
    return QStringLiteral("QPushButton{border:none;%4background-image:url(:/UI/res/%1);}"
                          "QPushButton:hover{background-image:url(:/UI/res/%2);}"
                          "QPushButton:pressed{background-image:url(:/UI/res/%3);}")
        .arg(normal, hover, down, extra);
}
} // namespace

bool applyApplicationLook(QApplication& app)
{
    QFile qss(QStringLiteral(":/QSS/res/style.qss"));
    if (!qss.open(QIODevice::ReadOnly))
        return false;
    QPalette fields = QApplication::palette("QLineEdit");
    fields.setColor(QPalette::Text, Qt::black);
    // #767676 is the lightest grey that still reads on white (contrast 4.5:1).
    fields.setColor(QPalette::PlaceholderText, QColor(0x76, 0x76, 0x76));
    QApplication::setPalette(fields, "QLineEdit");
    app.setStyleSheet(QString::fromUtf8(qss.readAll()));
    return true;
}

QString field()
{
    return QStringLiteral(
        "QLineEdit,QComboBox{border-radius:0px;border:1px solid rgb(215,222,241);background-color:rgb(243,244,249);}"
        "QLineEdit:focus,QComboBox:focus{border:1px solid #1890FF;}");
}

QString primaryButton()
{
    return imageButton("btn_normal.png", "btn_hover.png", "btn_down.png",
                       "color:rgb(255,255,255);border-radius:3px;font-size:14px;") +
           QStringLiteral("QPushButton:disabled{background-image:url(:/UI/res/btn_normal_gray.png);}");
}

QString grayButton()
{
    return imageButton("btn_normal_gray.png", "btn_hover_gray.png", "btn_down_gray.png",
                       "color:rgb(38,38,38);border-radius:3px;font-size:12px;padding:4px 6px;");
}

QString homeLoginButton()
{
    return imageButton("login_btn_normal.png", "login_btn_hover.png", "login_btn_down.png",
                       "color:rgb(24,144,255);border-radius:3px;font-size:14px;");
}

QString tile(const char* picture, bool withDisabled)
{
    const QString name = QString::fromLatin1(picture);
    QString style = QStringLiteral("QPushButton{border:none;background-image:url(:/UI/res/%1.png);}"
                                   "QPushButton:hover{background-image:url(:/UI/res/%1_hover.png);}")
                        .arg(name);
    if (withDisabled)
        style += QStringLiteral("QPushButton:disabled{background-image:url(:/UI/res/%1_dis.png);}").arg(name);
    return style;
}

QString toolbarTab(const char* normal, const char* selected, bool selectedState, int languageId)
{
    const QString suffix = languageId == 1 ? QStringLiteral("_en.png") : QStringLiteral(".png");
    const QString picture = QString::fromLatin1(selectedState ? selected : normal) + suffix;
    return QStringLiteral("QPushButton{border:none;background-image:url(:/UI/res/%1);}").arg(picture);
}

QString meetingsSwitch(const char* picture)
{
    return QStringLiteral(
               "QPushButton{border:none;color:rgb(38,38,38);font-size:14px;background-image:url(:/UI/res/%1);}")
        .arg(QLatin1String(picture));
}

QString link(bool enabled)
{
    return enabled ? QStringLiteral("QLabel{color:rgb(24,144,255);}QLabel:hover{color:rgb(0,130,255);}")
                   : QStringLiteral("QLabel{color:rgb(160,160,160);}");
}

QString labelFocus()
{
    return QStringLiteral("QLabel:focus{background-color:rgb(209,233,255);border-radius:3px;}");
}

QString errorLabel()
{
    return QStringLiteral("QLabel{color:rgb(245,34,45);}");
}

QString editLine()
{
    return QStringLiteral("QLabel{border-image:url(:/UI/res/editline.png);}");
}

QString backLabel()
{
    return QStringLiteral("QLabel{border-image:url(:/UI/res/back.png);}");
}

int fittedWidth(QPushButton* button, int formWidth, int maxWidth)
{
    button->ensurePolished();
    return qBound(formWidth, button->sizeHint().width() + 8, qMax(formWidth, maxWidth));
}

void pageBackground(QWidget* page, const char* picture, const QSize& size)
{
    page->setAutoFillBackground(true);
    QPalette palette = page->palette();
    palette.setBrush(
        QPalette::Window,
        QBrush(QPixmap(QString::fromLatin1(picture)).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    page->setPalette(palette);
}

} // namespace styles
