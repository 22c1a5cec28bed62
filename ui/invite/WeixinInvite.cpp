#include "ui/invite/WeixinInvite.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "base/Localization.h"
#include "ui/Accessible.h"
#include "ui/Styles.h"
#include "ui/invite/InviteDialog.h"
#include "ui/invite/InvitePage.h"
#include "ui/invite/QrImage.h"

WeixinInvite::WeixinInvite(InviteDialog* dialog)
    : QWidget(dialog)
    , m_dialog(dialog)
{
    setObjectName(QStringLiteral("WeixinInvite"));
    invitepage::setUpPage(this);
    m_ok = invitepage::button(this, "pushButton_ok", QRect(450, 260, 120, 40), LangText("bol.finished"),
                              styles::primaryButton());
    m_tips = invitepage::tipsLabel(this, LangText("ui.weixin.label_tips"));
    m_flag = invitepage::flagLabel(this, 274);
    m_errorInfo = invitepage::errorLabel(this);
    m_qrcode = new QLabel(this);
    m_qrcode->setObjectName(QStringLiteral("label_qrcode"));
    m_qrcode->setGeometry(0, 60, 571, 181);
    accessible::name(m_qrcode, LangText("ui.a11y.qrcode"), m_tips->text());
    QMetaObject::connectSlotsByName(this);
}

WeixinInvite::~WeixinInvite() = default;

void WeixinInvite::refresh()
{
    const QString link = m_dialog->link();
    if (link.isEmpty()) {
        // An older meeting's code must not stay beside the failure text.
        m_qrcode->clear();
        m_errorInfo->setText(LangText("ui.weixin.failed"));
        m_errorInfo->show();
        return;
    }
    drawQrCode(link.toUtf8(), kQrSide);
    m_errorInfo->hide();
}

void WeixinInvite::drawQrCode(const QByteArray& text, int size)
{
    const QImage image = qrCodeImage(text, m_qrcode->size(), size);
    if (image.isNull())
        m_qrcode->clear();
    else
        m_qrcode->setPixmap(QPixmap::fromImage(image));
}

void WeixinInvite::on_pushButton_ok_clicked()
{
    invitepage::closeDialog(m_dialog);
}
