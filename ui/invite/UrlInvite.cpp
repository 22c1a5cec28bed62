#include "ui/invite/UrlInvite.h"

#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "base/Localization.h"
#include "platform/Clipboard.h"
#include "ui/Accessible.h"
#include "ui/Styles.h"
#include "ui/invite/InviteDialog.h"
#include "ui/invite/InvitePage.h"
#include "ui/schedule/Invitation.h"

namespace {

// The dialog's start text is a wall clock already; seconds are optional.
QDateTime wallClock(const std::string& text)
{
    const QString t = QString::fromStdString(text).trimmed();
    QDateTime time = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!time.isValid())
        time = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm"));
    time.setTimeSpec(Qt::UTC);
    return time;
}

} // namespace

InvitationParts invitationParts(const InviteDialog& dialog)
{
    InvitationParts parts;
    parts.inviter = dialog.inviter();
    parts.topic = dialog.topic();
    parts.time = wallClock(dialog.startTime());
    // Only a scheduled meeting has a length worth telling; an instant one runs as long as it runs.
    if (dialog.scheduled())
        parts.durationMinutes = dialog.duration();
    parts.number = dialog.meetingNumber();
    parts.password = QString::fromStdString(dialog.password());
    parts.link = dialog.link();
    parts.blankLineAfterPassword = false;
    return parts;
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
    invitepage::placeBefore(m_copyInvitation, m_ok, m_errorInfo);
    m_url->resize(m_copy->x() + 1, m_url->height());

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
    const QString text = invitationText(invitationParts(*m_dialog));
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
