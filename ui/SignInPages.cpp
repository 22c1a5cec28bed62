#include "ui/SignInPages.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRegExpValidator>
#include <QRegularExpression>
#include <QUrl>
#include <chrono>

#include "base/Localization.h"
#include "base/Settings.h"
#include "base/Text.h"
#include "net/AccountApi.h"
#include "net/CHTTPUtil.h"
#include "net/ServiceRequest.h"
#include "net/SignInApi.h"
#include "platform/Paths.h"
#include "platform/Tick.h"
#include "sdk/MeetingControls.h"
#include "sdk/OrvoAuth.h"
#include "sdk/RecordingFolder.h"
#include "ui/ClickableLabel.h"
#include "ui/MainWindowForm.h"
#include "ui/ShellHost.h"
#include "ui/Styles.h"

namespace {

void setWhiteBackground(QWidget* widget)
{
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::white);
    widget->setPalette(palette);
}

} // namespace

SignInPages::SignInPages(MainWindowForm& form, ShellHost& host, QObject* parent)
    : QObject(parent)
    , m_ui(form)
    , m_host(host)
    , m_profileGate(std::make_shared<ProfileGate>())
{
    const settings::Login login = settings::readLogin();
    m_ui.userAccount->setText(login.account);
    if (login.memory) {
        m_ui.memoryUser->setChecked(true);
        m_ui.userPassword->setText(login.password);
    }
    m_ui.phoneNumber->setValidator(new QRegExpValidator(QRegExp(QStringLiteral("[0-9]+$")), m_ui.phoneNumber));
    m_ui.phoneNumber->setMaxLength(11);
    m_ui.VCode->setMaxLength(10);
    m_ui.backHomeL->clickOnEscape();
    m_ui.backHomeV->clickOnEscape();
}

SignInPages::~SignInPages()
{
    tearDown();
}

// ---- account sign-in ----

void SignInPages::startAccountSignIn()
{
    m_host.session().anonymousJoin = false;
    if (m_host.signedIn())
        OrvoAuth::Instance()->Logout();
    openSignInPage();
}

void SignInPages::openSignInPage()
{
    m_ui.label_editline_1->hide();
    m_ui.label_editline_2->hide();
    m_ui.loginError->clear();
    m_host.showPage(m_ui.loginWidget);
    m_ui.userAccount->setFocus();
}

void SignInPages::backFromSignIn()
{
    m_host.showPage(m_ui.homeWidget);
    m_host.stopMovie(m_ui.logining);
}

void SignInPages::backFromVerification()
{
    stopCountdown();
    ShellSession& session = m_host.session();
    if (session.anonymousJoin) {
        m_host.showPage(m_ui.homeWidget);
        resetVerificationPage();
        session.anonymousJoin = false;
    } else {
        // An account sign-in was waiting for its verification.
        if (m_host.signedIn())
            OrvoAuth::Instance()->Logout();
        m_host.showPage(m_ui.loginWidget);
    }
}

void SignInPages::signIn()
{
    if (m_host.authStatus() != OrvoAuth::Authenticated)
        return;
    m_ui.label_editline_1->hide();
    m_ui.label_editline_2->hide();
    const QString account = m_ui.userAccount->text();
    const QString password = m_ui.userPassword->text();
    if (account.isEmpty() || password.isEmpty()) {
        m_ui.label_editline_1->setVisible(account.isEmpty());
        m_ui.label_editline_2->setVisible(password.isEmpty());
        m_ui.loginError->setText(LangText("msg.input_account"));
        m_ui.loginError->show();
        return;
    }
    m_host.session().account = account;
    m_ui.loginError->clear();
    m_ui.loginError->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{m_ui.loginMeeting, m_ui.backHomeL, m_ui.userAccount,
                                                      m_ui.userPassword, m_ui.memoryUser})
        w->setEnabled(false);
    m_host.startMovie(m_ui.logining);
    if (OrvoAuth::Instance()->Login(account, password) != 0)
        onLoginResult(3, QString()); // refused before the SDK asked the cloud
}

void SignInPages::onLoginResult(int status, const QString& displayName)
{
    ShellSession& session = m_host.session();
    for (QPushButton* b : {m_ui.joinButton, m_ui.loginButton})
        b->show();
    m_ui.loading->hide();
    m_ui.verificationWidget->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{m_ui.userAccount, m_ui.userPassword, m_ui.memoryUser,
                                                      m_ui.loginMeeting, m_ui.backHomeL})
        w->setEnabled(true);
    m_host.stopMovie(m_ui.logining);

    if (status == 2 && session.anonymousJoin) {
        settings::writeTemporaryAccount(session.tempAccount, session.tempPassword);
        emit anonymousJoinReady();
        return;
    }
    if (status != 2) {
        m_ui.label_editline_1->show();
        m_ui.label_editline_2->show();
        m_ui.loginError->setText(LangText("msg.login_error"));
        m_ui.loginError->show();
        if (session.anonymousJoin) {
            // The temporary account was refused: verify the phone again.
            settings::writeTemporaryPassword(QString());
            emit anonymousJoinReady();
        }
        return;
    }

    session.sdkUserName = displayName;
    if (!settings::isVerificationValid(session.account)) {
        m_ui.verificationError->clear();
        m_ui.phoneNumber->clear();
        m_ui.VCode->clear();
        showVerificationPage("ui.label_tips2");
        return;
    }
    enterMainPage();
}

void SignInPages::enterMainPage()
{
    ShellSession& session = m_host.session();
    session.password = m_ui.userPassword->text();
    session.recordingFolder = prepareRecordingFolder();
    meetingsdk::disableAdvancedGeneralSettings();

    session.displayName = session.sdkUserName;
    showDisplayName();

    m_host.showPage(m_ui.mainWidget);
    m_host.useMainSize();
    setWhiteBackground(m_ui.toolbarWidget);
    setWhiteBackground(m_ui.homepage);
    setWhiteBackground(m_ui.meetings);
    emit enteredMainPage();

    settings::writeLogin(m_ui.userAccount->text(), m_ui.userPassword->text(), m_ui.memoryUser->isChecked());
    startProfileFetch();
}

QString SignInPages::initialsOf(const QString& name)
{
    QString initials;
    int i = 0;
    while (i < name.size() && name.at(i).isSpace())
        ++i;
    if (i == name.size())
        return initials;
    initials += name.at(i);
    const int space = name.indexOf(QLatin1Char(' '), i);
    if (space < 0)
        return initials;
    for (int j = space + 1; j < name.size(); ++j) {
        if (!name.at(j).isSpace()) {
            initials += name.at(j);
            break;
        }
    }
    return initials;
}

void SignInPages::showDisplayName()
{
    const QString& name = m_host.session().displayName;
    if (m_ui.accountIcon->pixmap(Qt::ReturnByValue).isNull())
        m_ui.accountIcon->setText(initialsOf(name));
    QFont font(LangText("ui.font"));
    font.setPointSize(12);
    const QFontMetrics metrics(font);
    const QString elided = metrics.elidedText(name, Qt::ElideRight, 220);
    const int width = metrics.horizontalAdvance(elided) + 10;
    m_ui.myDisplayName->setFont(font);
    m_ui.myDisplayName->setText(elided);
    if (!name.isEmpty())
        m_ui.myDisplayName->setAccessibleName(name); // the whole name, not the cut one shown
    m_ui.myDisplayName->setFixedWidth(width);
    m_ui.label_pop->setGeometry(m_ui.myDisplayName->x() + width, 39, 10, 6);
}

// ---- phone verification ----

void SignInPages::offerGetCode()
{
    m_ui.getVCode->setEnabled(true);
    m_ui.getVCode->setText(LangText("ui.btn_getCode"));
    m_ui.getVCode->setStyleSheet(styles::link(true));
}

void SignInPages::showVerificationPage(const char* tipsKey)
{
    m_host.showPage(m_ui.verificationWidget);
    offerGetCode();
    m_ui.phoneNumber->setFocus();
    m_ui.label_verification_tips->setText(LangText(tipsKey));
}

void SignInPages::resetVerificationPage()
{
    m_ui.phoneNumber->clear();
    m_ui.VCode->clear();
    m_ui.verificationError->clear();
    m_ui.verificationError->hide();
    m_host.stopMovie(m_ui.waiting);
    m_ui.label_editline_5->hide();
    m_ui.label_editline_6->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{m_ui.verification, m_ui.phoneNumber, m_ui.VCode})
        w->setEnabled(true);
    offerGetCode();
}

void SignInPages::setVerificationBusy(bool busy)
{
    if (busy) {
        m_ui.verificationError->clear();
        m_ui.verificationError->hide();
        m_ui.getVCode->setEnabled(false);
        m_ui.getVCode->setStyleSheet(styles::link(false));
        m_host.startMovie(m_ui.waiting);
    } else {
        m_host.stopMovie(m_ui.waiting);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{m_ui.verification, m_ui.phoneNumber, m_ui.VCode})
        w->setEnabled(!busy);
}

bool SignInPages::phoneNumberAccepted()
{
    const QString phone = m_ui.phoneNumber->text();
    if (phone.size() >= 11 && phone.startsWith(QLatin1Char('1')))
        return true;
    m_ui.label_editline_5->show();
    m_ui.verificationError->setText(LangText("msg.input_phone"));
    m_ui.verificationError->show();
    m_ui.phoneNumber->setFocus();
    return false;
}

void SignInPages::requestCode()
{
    if (!m_ui.getVCode->isEnabled())
        return; // a label still gets mouse presses while disabled
    m_ui.label_editline_5->hide();
    m_ui.label_editline_6->hide();
    if (!phoneNumberAccepted())
        return;
    setVerificationBusy(true);
    const bool sent = net::requestVerificationCode(m_ui.phoneNumber->text());
    setVerificationBusy(false);
    if (!sent) {
        m_ui.label_editline_5->show();
        m_ui.verificationError->setText(LangText("msg.getVCode_failed"));
        m_ui.verificationError->show();
        offerGetCode();
        m_ui.phoneNumber->setFocus();
        return;
    }
    m_ui.label_editline_5->hide();
    m_ui.getVCode->setEnabled(false); // until the countdown ends
    startCountdown();
}

void SignInPages::startCountdown()
{
    stopCountdown();
    m_countdownStop = false;
    m_countdownThread = std::thread([this] {
        m_countdownRemaining = 60;
        emit countdownChanged();
        quint32 last = platform::tickCount();
        while (!m_countdownStop) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (platform::tickCount() - last >= 1000) {
                last += 1000;
                const int remaining = --m_countdownRemaining;
                emit countdownChanged();
                if (remaining <= 0)
                    break;
            }
        }
        m_countdownRemaining = 0;
        emit countdownChanged();
    });
}

void SignInPages::stopCountdown()
{
    m_countdownStop = true;
    if (m_countdownThread.joinable())
        m_countdownThread.join();
}

void SignInPages::showCountdown()
{
    const int remaining = m_countdownRemaining;
    if (remaining > 0) {
        m_ui.getVCode->setText(LangFormat("ui.btn_regFetch", remaining));
        return;
    }
    offerGetCode();
}

void SignInPages::verify()
{
    ShellSession& session = m_host.session();
    m_ui.label_editline_5->hide();
    m_ui.label_editline_6->hide();
    if (!phoneNumberAccepted())
        return;
    if (m_ui.VCode->text().isEmpty()) {
        m_ui.label_editline_6->show();
        m_ui.verificationError->setText(LangText("msg.input_code"));
        m_ui.verificationError->show();
        m_ui.VCode->setFocus();
        return;
    }
    setVerificationBusy(true);
    const QString phone = m_ui.phoneNumber->text();
    const QString code = m_ui.VCode->text();
    std::optional<net::TemporaryAccount> temporary;
    bool ok = false;
    if (session.anonymousJoin) {
        temporary = net::validateAnonymous(phone, code);
        ok = temporary && !m_host.signedIn();
    } else {
        ok = net::validateForAccount(phone, code, session.account);
    }
    if (!ok) {
        setVerificationBusy(false);
        m_ui.label_editline_6->show();
        m_ui.verificationError->setText(LangText("msg.verification_error"));
        m_ui.verificationError->show();
        m_ui.VCode->setFocus();
        if (m_countdownRemaining <= 0) {
            m_ui.getVCode->setEnabled(true);
            m_ui.getVCode->setStyleSheet(styles::link(true));
        }
        return;
    }

    stopCountdown();
    m_host.stopMovie(m_ui.waiting);
    if (session.anonymousJoin) {
        session.tempAccount = temporary->account;
        session.tempPassword = temporary->password;
        settings::writeVerification(QString());
        if (OrvoAuth::Instance()->Login(session.tempAccount, session.tempPassword) != 0)
            settings::writeTemporaryPassword(QString());
        m_host.showPage(m_ui.joinWidget);
        m_ui.meetingID->setFocus();
        resetVerificationPage();
        return;
    }
    settings::writeVerification(session.account);
    resetVerificationPage();
    onLoginResult(2, session.sdkUserName);
}

// ---- profile and avatar ----

QString SignInPages::avatarFileName(const QString& account, const QString& url)
{
    // The extension comes from the last path segment only, and only when it looks like one; taken
    // from anywhere in the address it could carry a path out of the data folder.
    const QString path = QUrl(url).path();
    const QString segment = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const int dot = segment.lastIndexOf(QLatin1Char('.'));
    QString extension;
    if (dot >= 0) {
        const QString candidate = segment.mid(dot + 1);
        static const QRegularExpression simple(QStringLiteral("^[A-Za-z0-9]{1,5}$"));
        if (simple.match(candidate).hasMatch())
            extension = QLatin1Char('.') + candidate;
    }
    return settings::accountFileName(account) + extension;
}

void SignInPages::startProfileFetch()
{
    const std::shared_ptr<ProfileGate> gate = m_profileGate;
    const QString account = m_host.session().account;
    std::thread([this, gate, account] {
        const std::optional<net::UserProfile> profile = net::fetchUserProfile(account);
        std::lock_guard<std::mutex> lock(gate->mutex);
        if (!gate->open)
            return;
        if (profile) {
            if (!profile->id.isEmpty())
                gate->userId = profile->id;
            if (!profile->lastName.isEmpty() && !profile->firstName.isEmpty())
                gate->displayName = profile->lastName + profile->firstName;
            gate->avatarUrl = profile->avatarPath;
        }
        // Still under the gate's lock: the page cannot go away while the signal is queued.
        emit profileFetched();
    }).detach();
}

void SignInPages::showProfile()
{
    ShellSession& session = m_host.session();
    QString avatarUrl;
    {
        std::lock_guard<std::mutex> lock(m_profileGate->mutex);
        if (!m_profileGate->userId.isEmpty())
            session.userId = m_profileGate->userId;
        if (!m_profileGate->displayName.isEmpty())
            session.displayName = m_profileGate->displayName;
        avatarUrl = m_profileGate->avatarUrl;
        m_profileGate->userId.clear();
        m_profileGate->displayName.clear();
        m_profileGate->avatarUrl.clear();
    }
    showDisplayName();
    if (avatarUrl.isEmpty())
        return;
    m_avatarPath = settings::dataFolder() + avatarFileName(session.account, avatarUrl);
    QFile::remove(m_avatarPath);
    CHTTPUtil* http = CHTTPUtil::Instance();
    if (!http->CanDownload())
        return;
    if (m_avatarDownload)
        http->StopDownload(m_avatarDownload);
    platform::ensureFolder(settings::dataFolder());
    m_avatarDownload = http->StartDownload(avatarUrl.toStdString(), WideToAnsi(m_avatarPath), m_host.messageHandle());
}

void SignInPages::showAvatar()
{
    if (m_avatarPath.isEmpty() || !QFile::exists(m_avatarPath))
        return;
    const QPixmap source(m_avatarPath);
    if (source.isNull())
        return;
    QPixmap round(42, 42);
    round.fill(Qt::transparent);
    QPainter painter(&round);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    QPainterPath circle;
    circle.addEllipse(0, 0, 42, 42);
    painter.setClipPath(circle);
    painter.drawPixmap(0, 0, source.scaled(42, 42, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    painter.end();
    m_ui.accountIcon->setText(QString());
    m_ui.accountIcon->setPixmap(round);
}

void SignInPages::tearDown()
{
    stopCountdown();
    {
        std::lock_guard<std::mutex> lock(m_profileGate->mutex);
        m_profileGate->open = false;
    }
    if (m_avatarDownload) {
        CHTTPUtil::Instance()->StopDownload(m_avatarDownload);
        m_avatarDownload = 0;
    }
}
