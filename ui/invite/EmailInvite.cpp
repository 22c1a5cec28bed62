#include "ui/invite/EmailInvite.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "base/Localization.h"
#include "base/Text.h"
#include "net/CHTTPUtil.h"
#include "net/InviteApi.h"
#include "platform/WindowMessage.h"
#include "ui/Accessible.h"
#include "ui/Styles.h"
#include "ui/invite/InviteDialog.h"
#include "ui/invite/InvitePage.h"
#include "ui/invite/WebBrowserBinding.h"

EmailInvite::EmailInvite(InviteDialog* dialog, const QString& componentFolder)
    : QWidget(dialog)
    , m_dialog(dialog)
{
    setObjectName(QStringLiteral("EmailInvite"));
    invitepage::setUpPage(this);
    m_flag = invitepage::flagLabel(this, 113);
    m_tips = invitepage::tipsLabel(this, LangText("ui.email.tips"));
    m_cancel = invitepage::button(this, "pushButton_cancel", QRect(320, 260, 120, 40), LangText("box.cancel"),
                                  invitepage::secondaryButtonStyle());
    m_invite = invitepage::button(this, "pushButton_invite", QRect(450, 260, 120, 40), LangText("ui.email.invite"),
                                  styles::primaryButton());
    m_errorInfo = invitepage::errorLabel(this);
    invitepage::placeBefore(m_cancel, m_invite, m_errorInfo);

    const QString folder = componentFolder.isEmpty() ? ProgramFolder() : componentFolder;
    m_browser = std::make_unique<WebBrowserBinding>(folder);
    // The component needs no page; the address is what the original component was given.
    const QString pageUrl = QStringLiteral("file:///") + folder + QStringLiteral("bootstrap-tagsinput/tagsinput.html");
    m_browser->open(this, pageUrl);

    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &EmailInvite::onTimer);
    if (QWidget* field = m_browser->window()) {
        field->hide();
        field->setGeometry(0, 54, 570, 188);
        // The component's widgets carry no names of their own; readers call them all the address field.
        QList<QWidget*> parts = field->findChildren<QWidget*>();
        parts << field;
        for (QWidget* part : parts)
            if (part->focusPolicy() & Qt::TabFocus)
                accessible::name(part, LangText("ui.invite.label_email"), m_tips->text());
        m_timer->start(kRevealMs);
    }
    connect(this, &EmailInvite::tagExist, this, &EmailInvite::on_tagExist);
    QMetaObject::connectSlotsByName(this);
}

EmailInvite::~EmailInvite()
{
    releaseComponent();
}

void EmailInvite::reset()
{
    m_browser->reset();
    m_errorInfo->clear();
    m_errorInfo->hide();
}

void EmailInvite::releaseComponent()
{
    m_browser->release();
}

EmailInvite::Check EmailInvite::checkAddresses(const std::string& list, std::vector<std::string>& addresses) const
{
    addresses.clear();
    size_t pos = 0;
    while (pos <= list.size()) {
        size_t end = list.find(',', pos);
        if (end == std::string::npos)
            end = list.size();
        if (end > pos)
            addresses.push_back(list.substr(pos, end - pos));
        pos = end + 1;
    }
    if (addresses.empty())
        return Check::NoInput;
    for (const std::string& address : addresses) {
        // The service splits its list at ';' and ',': such an address would smuggle in another one.
        if (address.find_first_of(std::string(";,\0", 3)) != std::string::npos || !m_browser->checkAddress(address))
            return Check::BadForm;
    }
    return Check::Ok;
}

bool EmailInvite::event(QEvent* event)
{
    if (event->type() == platform::WindowMessageEvent::eventType() &&
        static_cast<platform::WindowMessageEvent*>(event)->message() == platform::kMsgEmailDuplicate)
        emit tagExist();
    return QWidget::event(event);
}

void EmailInvite::on_pushButton_invite_clicked()
{
    m_errorInfo->clear();
    if (!m_browser->canReadAddresses())
        return;
    std::vector<std::string> addresses;
    switch (checkAddresses(m_browser->addresses(), addresses)) {
    case Check::NoInput:
        showNotice(LangText("ui.email.noinput"));
        return;
    case Check::BadForm:
        showNotice(LangText("ui.email.format"));
        return;
    case Check::Ok:
        break;
    }
    if (send(addresses)) {
        showNotice(LangText("ui.email.success"));
        m_timer->start(kNoticeMs);
    }
}

void EmailInvite::on_pushButton_cancel_clicked()
{
    invitepage::closeDialog(m_dialog);
}

void EmailInvite::on_tagExist()
{
    showNotice(LangText("ui.email.exist"));
    m_timer->start(kNoticeMs);
}

void EmailInvite::onTimer()
{
    if (QWidget* field = m_browser->window()) {
        const bool revealing = field->isHidden();
        field->show();
        if (revealing)
            field->setFocus(Qt::OtherFocusReason);
    }
    m_errorInfo->hide();
    m_timer->stop();
}

void EmailInvite::showNotice(const QString& text)
{
    m_errorInfo->setText(text);
    m_errorInfo->setToolTip(text);
    m_errorInfo->show();
}

bool EmailInvite::send(const std::vector<std::string>& addresses)
{
    net::EmailInvitation invitation;
    invitation.topic = WideToUtf8(m_dialog->topic());
    invitation.startTime = m_dialog->startTime();
    invitation.durationMinutes = m_dialog->duration();
    invitation.minuteUnit = WideToUtf8(LangText("ui.plan.duration_minute"));
    invitation.meetingId = m_dialog->meetingNumber();
    invitation.password = m_dialog->password();
    const net::EmailSendResult result = net::sendEmailInvitation(addresses, invitation);
    if (result.sent)
        return true;
    showNotice(result.msg.empty() ? LangText("ui.email.post_err") : Utf8ToWide(result.msg));
    return false;
}
