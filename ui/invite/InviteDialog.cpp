#include "ui/invite/InviteDialog.h"

#include <QCloseEvent>

#include "base/Localization.h"
#include "base/Text.h"
#include "net/InviteApi.h"
#include "ui/ClickableLabel.h"
#include "ui/Styles.h"
#include "ui/invite/EmailInvite.h"
#include "ui/invite/UrlInvite.h"
#include "ui/invite/WeixinInvite.h"

namespace {

constexpr int kPageX = 60;
constexpr int kPageY = 102;

QString tabStyle(bool selected)
{
    // The dialog's white background would cover the application's focus tint of a clickable label.
    return (selected ? QStringLiteral("QLabel{color: rgb(24,144,255);}QLabel:hover {color:rgb(24,144,255);}")
                     : QStringLiteral("QLabel{color: rgb(0,0,0);}QLabel:hover {color:rgb(24,144,255);}")) +
           styles::labelFocus();
}

ClickableLabel* makeTab(QWidget* parent, const char* name, int x, const char* key)
{
    auto* tab = new ClickableLabel(parent);
    tab->setObjectName(QString::fromLatin1(name));
    tab->setGeometry(x, 70, 91, 41);
    QFont font(QStringLiteral("Microsoft YaHei UI"), 12);
    font.setWeight(QFont::Normal);
    tab->setFont(font);
    tab->setAlignment(Qt::AlignCenter);
    tab->setText(LangText(key));
    return tab;
}

} // namespace

InviteDialog::InviteDialog(QWidget* parent, const InviteMeeting& meeting)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("InviteDialog"));
    store(meeting);

    setFixedSize(680, 420);
    // Top-most from the start, so the meeting window does not cover it.
    setWindowFlags(Qt::Tool | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setStyleSheet(QStringLiteral("background-color:rgb(255,255,255);"));
    setWindowTitle(LangText("ui.window"));

    m_labelInvite = new QLabel(this);
    m_labelInvite->setObjectName(QStringLiteral("label_invite"));
    m_labelInvite->setGeometry(10, 10, 661, 51);
    QFont titleFont(QStringLiteral("Microsoft YaHei UI"), 19);
    titleFont.setWeight(QFont::Bold);
    m_labelInvite->setFont(titleFont);
    m_labelInvite->setAlignment(Qt::AlignCenter);
    m_labelInvite->setText(LangText("ui.invite.label_invite"));
    m_labelEmail = makeTab(this, "label_email", 140, "ui.invite.label_email");
    m_labelWeixin = makeTab(this, "label_weixin", 300, "ui.invite.label_weixin");
    m_labelLink = makeTab(this, "label_link", 450, "ui.invite.label_link");

    requestShortLink();

    m_emailPage = new EmailInvite(this);
    m_weixinPage = new WeixinInvite(this);
    m_urlPage = new UrlInvite(this);
    for (QWidget* page :
         {static_cast<QWidget*>(m_emailPage), static_cast<QWidget*>(m_weixinPage), static_cast<QWidget*>(m_urlPage)})
        page->move(kPageX, kPageY);
    select(Tab::Email);

    QMetaObject::connectSlotsByName(this);
}

InviteDialog::~InviteDialog()
{
    // The address field lives in a library that the page unloads; it goes before the pages.
    m_emailPage->releaseComponent();
    delete m_emailPage;
    delete m_weixinPage;
    delete m_urlPage;
}

void InviteDialog::reinit(const InviteMeeting& meeting)
{
    store(meeting);
    requestShortLink();
    m_emailPage->reset();
    m_urlPage->refresh();
    select(Tab::Email);
}

QString InviteDialog::brandedTopic(const QString& topic)
{
    const QString vendor = LangText("ui.orvo");
    // An empty search text would insert the replacement between every two characters.
    if (vendor.isEmpty())
        return topic;
    QString result = topic;
    result.replace(vendor, LangText("ui.window"));
    return result;
}

void InviteDialog::closeEvent(QCloseEvent* event)
{
    // Closing only hides the dialog, so the next invite reuses its pages.
    event->ignore();
    hide();
}

void InviteDialog::on_label_email_clicked()
{
    select(Tab::Email);
}

void InviteDialog::on_label_weixin_clicked()
{
    select(Tab::Weixin);
}

void InviteDialog::on_label_link_clicked()
{
    select(Tab::Link);
}

void InviteDialog::store(const InviteMeeting& meeting)
{
    m_number = meeting.number;
    m_link = meeting.joinUrl;
    m_topic = brandedTopic(meeting.topic);
    m_password = meeting.password;
    m_startTime = meeting.startTime;
    m_duration = meeting.duration;
    m_scheduled = meeting.scheduled;
    m_inviter = meeting.inviter;
}

void InviteDialog::requestShortLink()
{
    // Any failure keeps the SDK's join link, which works as well, only longer.
    if (const std::optional<std::string> shortLink = net::fetchShortLink(m_number))
        m_link = Utf8ToWide(*shortLink);
}

void InviteDialog::select(Tab tab)
{
    m_labelEmail->setStyleSheet(tabStyle(tab == Tab::Email));
    m_labelWeixin->setStyleSheet(tabStyle(tab == Tab::Weixin));
    m_labelLink->setStyleSheet(tabStyle(tab == Tab::Link));
    // The QR code always shows the link the dialog holds right now.
    if (tab == Tab::Weixin)
        m_weixinPage->refresh();
    m_emailPage->setVisible(tab == Tab::Email);
    m_weixinPage->setVisible(tab == Tab::Weixin);
    m_urlPage->setVisible(tab == Tab::Link);
}
