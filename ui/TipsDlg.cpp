#include "TipsDlg.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QTimer>

TipsDlg::TipsDlg(const QString& text, bool secondPicture, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Dialog"));
    resize(320, 77);
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_TranslucentBackground);

    m_background = new QWidget(this);
    m_background->setObjectName(QStringLiteral("horizontalWidget"));
    m_background->setGeometry(0, 0, 320, 77);
    m_background->setAutoFillBackground(true);
    QPalette palette = m_background->palette();
    const QPixmap picture(secondPicture ? QStringLiteral(":/UI/res/tipsdlg2.png")
                                        : QStringLiteral(":/UI/res/tipsdlg.png"));
    palette.setBrush(QPalette::Window, QBrush(picture.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    m_background->setPalette(palette);

    m_tipsLabel = new QLabel(m_background);
    m_tipsLabel->setObjectName(QStringLiteral("tipsLabel"));
    m_tipsLabel->setGeometry(80, 5, 231, 67);
    QFont font(QStringLiteral("Microsoft YaHei UI"));
    font.setPointSize(12);
    m_tipsLabel->setFont(font);
    m_tipsLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_tipsLabel->setWordWrap(true);
    m_tipsLabel->setText(text);

    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &TipsDlg::onTimeout);
    m_timer->start(3000);
}

TipsDlg::~TipsDlg() = default;

QString TipsDlg::text() const
{
    return m_tipsLabel->text();
}

void TipsDlg::onTimeout()
{
    close();
    deleteLater(); // after the timer's own signal has returned
}

TipsDlg* TipsDlg::showTip(const QString& text, bool secondPicture)
{
    auto* tip = new TipsDlg(text, secondPicture, nullptr);
    tip->setModal(false);
    tip->show();
    bringToFront(tip, false);
    return tip;
}

void bringToFront(QWidget* window, bool force)
{
    if (!window || !window->isVisible() || !window->isWindow())
        return;
    if (window->isMinimized())
        window->showNormal();
    // Raising keeps the tip above other programs; the focus is only taken while our own program has
    // it, or when forced, so a tip does not steal the keyboard from another program.
    window->raise();
    if (force || QApplication::activeWindow())
        window->activateWindow();
}
