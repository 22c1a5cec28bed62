#include "ui/invite/UrlInvite.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "base/Localization.h"
#include "platform/Clipboard.h"
#include "ui/Accessible.h"
#include "ui/Styles.h"
#include "ui/invite/InviteDialog.h"
#include "ui/invite/InvitePage.h"

QString meetingInvitationText(const QString& inviter,
                              const QString& topic,
                              const std::string& startTime,
                              quint64 number,
                              const std::string& password,
                              const QString& link)
{
    const QString lineEnd = QStringLiteral("\r\n");
    QString text;
    if (!inviter.isEmpty())
        text += LangFormat("msg.invite_welcome", inviter.toUtf8().constData()) + lineEnd + lineEnd;
    if (!topic.isEmpty())
        text += LangFormat("msg.invite_topic", topic.toUtf8().constData()) + lineEnd;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    if (std::sscanf(startTime.c_str(), "%d-%d-%d %d:%d", &year, &month, &day, &hour, &minute) == 5)
        text += LangFormat("msg.invite_datetime", year, month, day, hour, minute) + lineEnd + lineEnd;
    text += LangFormat("msg.invite_meetingid", static_cast<unsigned long long>(number)) + lineEnd;
    if (!password.empty())
        text += LangFormat("msg.invite_password", password.c_str()) + lineEnd;
    if (!link.isEmpty())
        text += LangFormat("msg.invite_link", link.toUtf8().constData()) + lineEnd;
    return text;
}

UrlInvite::UrlInvite(InviteDialog* dialog)
    : QWidget(dialog)
    , m_dialog(dialog)
{
    setObjectName(QStringLiteral("UrlInvite"));
    invitepage::setUpPage(this);
    m_tips = invitepage::tipsLabel(this, LangText("ui.link.label_tips"));
    m_flag = invitepage::flagLabel(this, 423);

    m_url = new QLineEdit(this);
    m_url->setObjectName(QStringLiteral("lineEdit_URL"));
    m_url->setGeometry(0, 55, 441, 48);
    m_url->setReadOnly(true);
    accessible::label(m_tips, m_url);
    m_url->setFont(invitepage::font(11));
    m_url->setStyleSheet(
        QStringLiteral("border-radius:0px;border: 1px solid rgb(215,222,241);background-color: rgb(243,244,249);"));

    m_copy = invitepage::button(this, "pushButton_copy", QRect(440, 55, 120, 48), LangText("ui.link.copy"),
                                styles::primaryButton());
    m_copyInvitation = invitepage::button(this, "pushButton_copyInvitation", QRect(305, 260, 135, 40),
                                          LangText("ui.link.copy_invitation"), invitepage::secondaryButtonStyle());
    m_ok = invitepage::button(this, "pushButton_ok", QRect(450, 260, 120, 40), LangText("bol.finished"),
                              styles::primaryButton());
    m_errorInfo = invitepage::errorLabel(this);

    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, m_errorInfo, &QLabel::hide);

    refresh();
    QMetaObject::connectSlotsByName(this);
}

UrlInvite::~UrlInvite() = default;

void UrlInvite::refresh()
{
    m_timer->stop();
    m_errorInfo->hide();
    m_url->setText(m_dialog->link());
    m_url->setCursorPosition(0);
}

void UrlInvite::on_pushButton_copy_clicked()
{
    if (m_url->text().isEmpty())
        return;
    if (platform::setClipboardText(m_url->text()))
        showNotice(LangText("ui.link.finished"));
}

void UrlInvite::on_pushButton_copyInvitation_clicked()
{
    if (m_url->text().isEmpty())
        return;
    const QString text = meetingInvitationText(m_dialog->inviter(), m_dialog->topic(), m_dialog->startTime(),
                                               m_dialog->meetingNumber(), m_dialog->password(), m_dialog->link());
    if (platform::setClipboardText(text))
        showNotice(LangText("ui.link.invitation_copied"));
}

void UrlInvite::on_pushButton_ok_clicked()
{
    invitepage::closeDialog(m_dialog);
}

void UrlInvite::showNotice(const QString& text)
{
    m_errorInfo->setText(text);
    m_errorInfo->show();
    // A second copy restarts the two seconds.
    m_timer->start(kNoticeMs);
}
