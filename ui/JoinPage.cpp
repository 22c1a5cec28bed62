#include "ui/JoinPage.h"

#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegExpValidator>
#include <pwd.h>
#include <unistd.h>
#include <vector>

#include "base/Localization.h"
#include "base/MeetingNumber.h"
#include "sdk/AuthUIEvent.h"
#include "sdk/JoinMeeting.h"
#include "sdk/MeetingControls.h"
#include "sdk/MeetingEvent.h"
#include "sdk/OrvoAuth.h"
#include "ui/ClickableLabel.h"
#include "ui/HistoryMeetings.h"
#include "ui/MainWindow.h"
#include "ui/MainWindowForm.h"
#include "ui/ShellHost.h"
#include "ui/Styles.h"
#include "ui/TipsDlg.h"

QString JoinPage::desktopUserName()
{
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return QString::fromLocal8Bit(qgetenv("USER")).trimmed();
    // The full name is the first of the comma-separated GECOS fields; the rest are room and phones.
    const QString fullName =
        QString::fromLocal8Bit(found->pw_gecos ? found->pw_gecos : "").section(',', 0, 0).trimmed();
    return fullName.isEmpty() ? QString::fromLocal8Bit(found->pw_name).trimmed() : fullName;
}

JoinPage::JoinPage(MainWindowForm& form, ShellHost& host, QObject* parent)
    : QObject(parent)
    , m_ui(form)
    , m_host(host)
{
    m_ui.userName->setText(settings::readNickname(QString(), false));
    // Dashes are inserted by the grouping, so the meeting field accepts them too.
    m_ui.meetingID->setValidator(new QRegExpValidator(QRegExp(QStringLiteral("[0-9-]+$")), m_ui.meetingID));
    m_ui.meetingID->setMaxLength(13);
    m_ui.backHomeJ->clickOnEscape();
    loadHistory(QString(), false);
}

JoinPage::~JoinPage() = default;

void JoinPage::fillEmptyNickname()
{
    if (!m_ui.userName->text().isEmpty())
        return;
    const ShellSession& session = m_host.session();
    const bool account = m_host.signedIn() && !session.anonymousJoin;
    m_ui.userName->setText(account && !session.displayName.isEmpty() ? session.displayName : desktopUserName());
}

void JoinPage::takePendingNumber()
{
    QString& pending = m_host.session().pendingMeetingId;
    if (pending.isEmpty())
        return;
    m_ui.meetingID->setText(pending);
    // A link joins at once, so a first-time user must not meet an empty-name error.
    fillEmptyNickname();
    pending.clear();
    join();
}

void JoinPage::openAnonymousJoin()
{
    if (m_host.authStatus() == OrvoAuth::NotStarted)
        return; // the SDK is not ready yet; a pending number stays in the buffer
    ShellSession& session = m_host.session();
    session.anonymousJoin = true;
    const settings::TemporaryAccount temporary = settings::readTemporaryAccount();
    session.tempAccount = temporary.user;
    session.tempPassword = temporary.password;

    if (settings::isVerificationValid(QString()) && !session.tempAccount.isEmpty() && !session.tempPassword.isEmpty()) {
        if (m_host.signedIn()) {
            loadHistory(QString(), false);
            m_host.showPage(m_ui.joinWidget);
            m_ui.meetingID->setFocus();
            m_ui.userName->setText(settings::readNickname(QString(), false));
            takePendingNumber();
        } else {
            m_ui.joinButton->hide();
            m_ui.loginButton->hide();
            m_host.startMovie(m_ui.loading);
            if (OrvoAuth::Instance()->Login(session.tempAccount, session.tempPassword) != 0)
                emit temporarySignInRefused();
        }
        return;
    }
    emit verificationNeeded();
}

void JoinPage::openFromMainPage()
{
    const ShellSession& session = m_host.session();
    loadHistory(session.fileAccount(), session.shareJoin);
    if (session.shareJoin) {
        m_ui.label_join->setText(LangText("ui.label_join_share"));
        m_ui.label_share_tips->setText(LangText("ui.label_join_share_tips"));
        m_ui.label_share_tips->show();
    } else {
        m_ui.label_share_tips->hide();
        m_ui.label_join->setText(LangText("ui.label_join"));
    }
    m_host.showPage(m_ui.joinWidget);
    m_ui.meetingID->setFocus();
    m_host.useSmallSize();
    QString nickname = settings::readNickname(session.account, session.shareJoin);
    if (nickname.isEmpty())
        nickname = session.displayName;
    m_ui.userName->setText(nickname);
    takePendingNumber();
}

void JoinPage::shareScreen()
{
    if (!MeetingEvent::Instance()->IsInMeeting()) {
        m_host.session().shareJoin = true;
        openFromMainPage();
        return;
    }
    meetingsdk::startShare();
}

void JoinPage::joinHandedOverNumber(const QString& number)
{
    ShellSession& session = m_host.session();
    if (session.shareJoin) {
        session.shareJoin = false;
        m_ui.label_share_tips->hide();
        m_ui.label_join->setText(LangText("ui.label_join"));
    }
    m_ui.meetingID->setText(number);
    session.pendingMeetingId.clear();
    fillEmptyNickname();
    join();
}

void JoinPage::join()
{
    const int status = m_host.authStatus();
    if (status != OrvoAuth::Authenticated && status != OrvoAuth::SignedIn)
        return;
    m_ui.label_editline_3->hide();
    m_ui.label_editline_4->hide();
    const QString id = stripMeetingNumber(m_ui.meetingID->text());
    const QString name = m_ui.userName->text();
    if (id.isEmpty() || name.isEmpty()) {
        m_ui.label_editline_3->setVisible(id.isEmpty());
        m_ui.label_editline_4->setVisible(name.isEmpty());
        m_ui.joinError->setText(LangText("msg.input_meeting_id"));
        m_ui.joinError->show();
        return;
    }
    if (parseMeetingNumber(id) == 0) {
        m_ui.label_editline_3->show();
        m_ui.joinError->setText(LangText("msg.fail_reason_meeting_notexist"));
        m_ui.joinError->show();
        return;
    }
    m_ui.joinError->clear();
    m_ui.joinError->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{m_ui.joinMeeting, m_ui.backHomeJ, m_ui.meetingID, m_ui.userName})
        w->setEnabled(false);
    m_host.startMovie(m_ui.joining);
    if (!m_joinFlow)
        m_joinFlow = std::make_unique<JoinMeeting>();
    // Progress and failure come back as meeting status changes.
    m_joinFlow->Join(id, name, QString(), m_host.session().shareJoin, status != OrvoAuth::SignedIn);
}

void JoinPage::back()
{
    ShellSession& session = m_host.session();
    m_ui.label_editline_3->hide();
    m_ui.label_editline_4->hide();
    m_ui.meetingID->clear();
    m_ui.userName->clear();
    m_ui.joinError->hide();
    m_host.stopMovie(m_ui.joining);
    if (!m_host.signedIn() || session.anonymousJoin) {
        m_host.showPage(m_ui.homeWidget);
        session.anonymousJoin = false;
    } else {
        session.shareJoin = false;
        m_host.showPage(m_ui.mainWidget);
        m_host.useMainSize();
    }
}

void JoinPage::onMeetingIdEdited(const QString& text)
{
    for (const QChar c : text) {
        if (!c.isDigit() && c != QLatin1Char('-')) {
            m_ui.meetingID->clear();
            return;
        }
    }
    if (text.size() < 4)
        return;
    const QString grouped = formatMeetingNumber(stripMeetingNumber(text));
    if (grouped != text)
        m_ui.meetingID->setText(grouped);
}

void JoinPage::onNicknameEdited(const QString& text)
{
    const ShellSession& session = m_host.session();
    if (!text.isEmpty())
        settings::writeNickname(session.fileAccount(), session.shareJoin, text);
}

void JoinPage::reenable()
{
    for (QWidget* w : std::initializer_list<QWidget*>{m_ui.meetingID, m_ui.userName, m_ui.joinMeeting, m_ui.backHomeJ})
        w->setEnabled(true);
    m_host.stopMovie(m_ui.joining);
}

void JoinPage::recordJoinInHistory()
{
    const UINT64 number = meetingsdk::currentMeetingNumber();
    if (number == 0)
        return;
    QString topic = meetingsdk::currentMeetingTopic();
    // A meeting of the user's own list keeps the topic it was scheduled with.
    if (!m_host.session().anonymousJoin && m_listedTopic) {
        const QString listed = m_listedTopic(number);
        if (!listed.isEmpty())
            topic = listed;
    }
    addHistory(number, topic);
}

void JoinPage::onMeetingStatus(int status, const QString& reason)
{
    ShellSession& session = m_host.session();
    if (status == MeetingInProgress) {
        recordJoinInHistory();
        reenable();
        m_ui.label_editline_3->hide();
        m_ui.label_editline_4->hide();
        m_ui.meetingID->clear();
        m_ui.joinError->clear();
        m_ui.joinError->hide();
        if (!m_host.signedIn() || session.anonymousJoin) {
            m_host.showPage(m_ui.homeWidget);
            m_host.useSmallSize();
        } else {
            m_host.showPage(m_ui.mainWidget);
            m_host.useMainSize();
        }
        meetingsdk::applySettingsPageOptions();
        if (!m_ui.userName->text().isEmpty())
            settings::writeNickname(session.fileAccount(), session.shareJoin, m_ui.userName->text());
        // Anonymous joiners only see the meeting window while the meeting runs.
        if (session.anonymousJoin)
            m_host.setWindowShown(false);
        return;
    }
    if (status == MeetingConnecting)
        return;

    session.shareJoin = false;
    reenable();
    if (status == MeetingEnded && session.anonymousJoin) {
        OrvoAuth::Instance()->Logout();
        m_host.setWindowShown(true);
        if (!m_ui.joinWidget->isVisible())
            session.anonymousJoin = false;
    }
    if (m_ui.joinWidget->isVisible() && !reason.isEmpty()) {
        m_ui.label_editline_3->show();
        m_ui.joinError->setText(reason);
        m_ui.joinError->show();
    } else if (!reason.isEmpty()) {
        TipsDlg::showTip(reason);
    }
    if (status == MeetingEnded)
        m_joinFlow.reset();
}

// ---- join history ----

void JoinPage::openHistoryPopup()
{
    const QString current = stripMeetingNumber(m_ui.meetingID->text());
    m_ui.popupHistory->setDown(true);
    m_ui.popupHistory->setEnabled(false);
    auto* popup = new HistoryMeetings(int(m_history.size()), qobject_cast<MainWindow*>(m_host.shellWidget()));
    popup->show();
    popup->fill(m_history, current);
    popup->move(m_ui.meetingID->mapToGlobal(QPoint(0, m_ui.meetingID->height())));
}

void JoinPage::historyPopupClosed()
{
    m_ui.popupHistory->setEnabled(true);
    m_ui.popupHistory->setDown(false);
    // The keyboard goes back to where the popup was opened for.
    if (m_ui.joinWidget->isVisible()) {
        m_host.shellWidget()->activateWindow();
        m_ui.meetingID->setFocus();
    }
}

void JoinPage::loadHistory(const QString& account, bool share)
{
    m_historyAccount = account;
    m_historyShare = share;
    m_history = settings::loadHistory(account, share);
}

void JoinPage::saveHistory()
{
    settings::saveHistory(m_historyAccount, m_historyShare, m_history);
}

void JoinPage::clearHistory()
{
    m_history.clear();
    saveHistory();
}

void JoinPage::addHistory(UINT64 meetingNumber, const QString& topic)
{
    for (auto it = m_history.begin(); it != m_history.end(); ++it) {
        if (parseMeetingNumber(QString::fromStdString(it->second.id)) == meetingNumber) {
            m_history.erase(it);
            break;
        }
    }
    QString name = topic;
    name.replace(QStringLiteral("Orvo"), QStringLiteral(" "));
    qint64 now = QDateTime::currentSecsSinceEpoch();
    // Two joins within one second would share a key; the newer one must not be dropped.
    if (!m_history.empty() && m_history.rbegin()->first >= now)
        now = m_history.rbegin()->first + 1;
    m_history.emplace(now, settings::HistoryEntry{meetingNumberText(meetingNumber), name.toStdString()});
    saveHistory();
}

void JoinPage::setMeetingIdText(const QString& text)
{
    m_ui.meetingID->setText(text);
}

void JoinPage::releaseFlow()
{
    m_joinFlow.reset();
}

void JoinPage::forgetHistory()
{
    m_history.clear();
}
