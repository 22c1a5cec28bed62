#include "MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMovie>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "base/Lifecycle.h"
#include "base/Localization.h"
#include "net/ServiceRequest.h"
#include "platform/Shell.h"
#include "platform/Tick.h"
#include "sdk/MeetingControls.h"
#include "sdk/MeetingEvent.h"
#include "sdk/MeetingExit.h"
#include "sdk/OrvoAuth.h"
#include "ui/ClickableLabel.h"
#include "ui/JoinPage.h"
#include "ui/MainWindowForm.h"
#include "ui/MeetingsTab.h"
#include "ui/MessageBox.h"
#include "ui/SignInPages.h"
#include "ui/Styles.h"
#include "ui/TipsDlg.h"

namespace {

const int kSmallWidth = 680;
const int kSmallHeight = 420;
const int kMainWidth = 360;
const int kMainHeight = 667;
const int kMainMaxHeight = 1080;

} // namespace

// No maximise button: the pages have fixed sizes. Set at construction, since changing the flags
// afterwards re-polishes every widget of the window.
MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent,
                  Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                      Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_ui(std::make_unique<MainWindowForm>())
{
    m_ui->setupUi(this);
    m_signIn = new SignInPages(*m_ui, *this, this);
    m_join = new JoinPage(*m_ui, *this, this);
    m_meetings = new MeetingsTab(*m_ui, *this, this);

    m_ui->applyStyles(this, Localization::Instance()->languageId());

    // Until the SDK has authenticated the application, nobody can sign in or join.
    for (QPushButton* b : {m_ui->joinButton, m_ui->loginButton}) {
        b->hide();
        b->setEnabled(false);
    }
    m_ui->joinMeeting->setEnabled(false);
    m_ui->loginMeeting->setEnabled(false);
    m_loadingMovie = new QMovie(QStringLiteral(":/UI/res/loading.gif"), QByteArray(), this);

    connect(this, &MainWindow::asynInitSDK, this, &MainWindow::on_asynInitSDK);
    connect(this, &MainWindow::notifyResize, this, &MainWindow::on_notifyResize);
    connect(this, &MainWindow::notifyCountdown, this, &MainWindow::on_notifyCountdown);
    connect(this, &MainWindow::notifyUpdateUserInfo, this, &MainWindow::on_notifyUpdateUserInfo);
    connect(this, &MainWindow::notifyUpdateLogo, this, &MainWindow::on_notifyUpdateLogo);
    connect(this, &MainWindow::notifyJoinMeeting, this, &MainWindow::on_notifyJoinMeeting);
    connect(m_ui->meetingID, &QLineEdit::textChanged, this, &MainWindow::on_editMeetingID);
    connect(m_ui->userName, &QLineEdit::textEdited, this, &MainWindow::on_editNickname);
    // The pages' workers report from their threads; the window's signals carry it to the GUI thread.
    connect(m_signIn, &SignInPages::countdownChanged, this, &MainWindow::notifyCountdown);
    connect(m_signIn, &SignInPages::profileFetched, this, &MainWindow::notifyUpdateUserInfo);
    connect(m_signIn, &SignInPages::anonymousJoinReady, m_join, &JoinPage::openAnonymousJoin);
    connect(m_signIn, &SignInPages::enteredMainPage, this, [this] {
        m_join->loadHistory(m_session.account, m_session.shareJoin);
        m_meetings->start(this);
    });
    connect(m_join, &JoinPage::verificationNeeded, this, [this] { m_signIn->showVerificationPage("ui.label_tips"); });
    connect(m_join, &JoinPage::temporarySignInRefused, this, [this] { m_signIn->onLoginResult(3, QString()); });
    connect(m_meetings, &MeetingsTab::layoutRequested, this, &MainWindow::notifyResize);
    m_join->setListedTopicLookup([this](UINT64 number) { return m_meetings->listedTopic(number); });
    m_meetings->lendScheduleTo(*m_invite);

    setFixedSize(kSmallWidth, kSmallHeight);
    m_ui->applyTexts(this);
    startMovie(m_ui->loading);

    MeetingEvent::Instance()->SetUIEvent(this);
    OrvoAuth::Instance()->SetUIEvent(this);
    m_handle = platform::registerWindow(this);
    settings::writeWindowHandle(m_handle);
    // A relaunch tears the window down without the exit watchdog: the new copy waits for this one.
    m_account = std::make_unique<AccountMenu>(AccountMenu::hostFor(*this, [this] {
        m_watchdogStarted = true;
        releaseResources(false);
    }));
    m_account->createLanguageLink(m_ui->homeWidget, QRect(560, 8, 110, 22));
    emit asynInitSDK();
    m_account->startUpdateCheck(false);
}

MainWindow::~MainWindow()
{
    releaseResources(false);
    if (m_handle)
        platform::unregisterWindow(m_handle);
}

int MainWindow::authStatus() const
{
    return OrvoAuth::Instance()->status();
}
bool MainWindow::signedIn() const
{
    return OrvoAuth::Instance()->IsSignedIn();
}

void MainWindow::setPendingMeetingId(const QString& text)
{
    m_session.pendingMeetingId = text.left(31);
}

void MainWindow::startMovie(QLabel* label)
{
    label->setMovie(m_loadingMovie);
    label->show();
    m_loadingMovie->start();
}

void MainWindow::stopMovie(QLabel* label)
{
    m_loadingMovie->stop();
    label->hide();
}

void MainWindow::showPage(QWidget* page)
{
    if (!page->autoFillBackground()) {
        const QSize small(kSmallWidth, kSmallHeight);
        if (page == m_ui->loginWidget || page == m_ui->joinWidget)
            styles::pageBackground(page, ":/UI/res/login.png", small);
        else if (page == m_ui->verificationWidget)
            styles::pageBackground(page, ":/UI/res/verification.png", small);
    }
    for (QWidget* p :
         {m_ui->homeWidget, m_ui->loginWidget, m_ui->verificationWidget, m_ui->joinWidget, m_ui->mainWidget})
        if (p != page)
            p->hide();
    page->show();
}

void MainWindow::useSmallSize()
{
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setFixedSize(kSmallWidth, kSmallHeight);
}

void MainWindow::useMainSize()
{
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setFixedSize(kMainWidth, kMainHeight);
    setMaximumHeight(kMainMaxHeight);
}

void MainWindow::setTopMost(bool on)
{
    if (bool(windowFlags() & Qt::WindowStaysOnTopHint) == on)
        return;
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible)
        show(); // changing the flags hides the window
}

void MainWindow::restoreAndRaise()
{
    if (isMinimized())
        showNormal();
    setTopMost(true);
}

void MainWindow::fatalError(const char* messageKey)
{
    // The box stands on its own: a window that is about to go must not flash up first.
    m_fatalError = true;
    MessageBox::show(isVisible() ? this : nullptr, MessageBox::Critical, LangText("ui.window"), LangText(messageKey),
                     LangText("box.ok"));
    tearDown();
    hide();
    // The event loop may not run yet (the constructor initialises the SDK), so the quit is queued.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
}

bool MainWindow::event(QEvent* event)
{
    if (event->type() == platform::WindowMessageEvent::eventType()) {
        handleWindowMessage(*static_cast<platform::WindowMessageEvent*>(event));
        return true;
    }
    return QMainWindow::event(event);
}

void MainWindow::handleWindowMessage(const platform::WindowMessageEvent& message)
{
    switch (message.message()) {
    case platform::kMsgJoinMeeting: {
        // The parameters only carry 32 bits; the whole number waits in config.ini.
        const qint64 id = settings::readJoinId();
        if (id != 0) {
            settings::writeJoinId(0);
            emit notifyJoinMeeting(UINT64(id));
        }
        break;
    }
    case platform::kMsgDownloadProgress:
        if (message.wParam() > 100)
            emit notifyUpdateLogo();
        break;
    default:
        break;
    }
}

void MainWindow::on_notifyJoinMeeting(UINT64 meetingID)
{
    if (meetingID == 0)
        return;
    setPendingMeetingId(QString::number(qint64(meetingID)));
    if (!m_session.anonymousJoin && signedIn() && m_ui->mainWidget->isVisible() && m_ui->joinTheMeeting->isEnabled())
        on_joinTheMeeting_clicked();
    else if (m_ui->homeWidget->isVisible())
        on_joinButton_clicked();
    else if (m_ui->joinWidget->isVisible())
        m_join->joinHandedOverNumber(m_session.pendingMeetingId);
    // Otherwise the number waits until the join page is filled next.
}

// ---- the form's slots: the pages do the work ----

void MainWindow::on_label_register_clicked()
{
    platform::shellOpen(QString::fromStdString(net::userGuideUrl(Localization::Instance()->languageId() == 0)));
}

void MainWindow::on_settingsButton_clicked()
{
    // The SDK resolves its dialog's owner from the native window id.
    meetingsdk::showSettingsDialog(quintptr(winId()), x(), y(), QString::fromStdString(net::serviceUrl("/")));
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && m_ui->loginWidget->isVisible())
        on_loginMeeting_clicked();
    else if (enter && m_ui->joinWidget->isVisible())
        on_joinMeeting_clicked();
    else if (enter && m_ui->verificationWidget->isVisible())
        on_verification_clicked();
    else
        QMainWindow::keyPressEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    on_notifyResize();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    restoreAndRaise();
    // A relaunch or a mandatory update ends this copy from any page.
    if (startup::restarting()) {
        startup::startExitWatchdog(m_watchdogStarted);
        event->accept();
        return;
    }
    if (signedIn() && !m_session.anonymousJoin && m_ui->joinWidget->isVisible()) {
        on_backHomeJ_clicked();
        setTopMost(false);
        event->ignore();
        return;
    }
    const bool meeting = MeetingExit::MeetingRunning();
    const int answer = MessageBox::show(this, MessageBox::Question, LangText("ui.window"),
                                        LangText(meeting ? "msg.exit_request_meeting" : "msg.exit_request"),
                                        LangText("box.ok"), LangText("box.cancel"));
    if (answer == MessageBox::FirstButton) {
        startup::startExitWatchdog(m_watchdogStarted);
        event->accept();
        if (meeting)
            leaveMeetingAndQuit();
    } else {
        setTopMost(false);
        event->ignore();
    }
}

void MainWindow::leaveMeetingAndQuit()
{
    // The meeting window would keep the program running, and the cloud would keep the meeting.
    m_meetingExit = std::make_unique<MeetingExit>();
    if (!m_meetingExit->Start(3000, [this] { QTimer::singleShot(0, this, &MainWindow::quitAfterMeeting); }))
        quitAfterMeeting();
}

void MainWindow::quitAfterMeeting()
{
    m_meetingExit.reset();
    tearDown(); // closes the SDK's windows
    QCoreApplication::quit();
}

void MainWindow::releaseResources(bool startWatchdog)
{
    if (m_tornDown)
        return;
    m_tornDown = true;
    if (m_account)
        m_account->tearDown();
    m_signIn->tearDown();
    m_meetings->releaseHostFlow();
    m_join->releaseFlow();
    m_meetings->releaseScheduleFlow();
    if (startWatchdog)
        startup::startExitWatchdog(m_watchdogStarted);
    MeetingEvent::Instance()->SetUIEvent(nullptr);
    OrvoAuth::Instance()->SetUIEvent(nullptr);
    OrvoAuth::Instance()->Shutdown();
    m_meetings->clearLists();
    m_join->forgetHistory();
}

// ---- SDK start-up and meetings ----

void MainWindow::on_asynInitSDK()
{
    // Bringing a window to the front means nothing before it is shown, and changing the flags of
    // an unshown window costs a fifth of the start-up.
    if (isVisible()) {
        setTopMost(true);
        setTopMost(false);
    }
    if (OrvoAuth::Instance()->Start() != 0)
        fatalError("msg.sdk_init_error");
}

void MainWindow::OnAuthResult(int result)
{
    m_ui->label_offline->setVisible(result == OrvoAuth::Unreachable);
    if (result == OrvoAuth::Unreachable) {
        // No refusal: the SDK layer tries again by itself, and the spinner keeps turning.
        m_ui->label_offline->setText(LangText("msg.service_unreachable"));
        return;
    }
    if (result != OrvoAuth::Authenticated) {
        fatalError("msg.sdk_auth_error");
        return;
    }
    stopMovie(m_ui->loading);
    for (QPushButton* b : {m_ui->joinButton, m_ui->loginButton}) {
        b->show();
        b->setEnabled(true);
    }
    m_ui->joinMeeting->setEnabled(true);
    m_ui->loginMeeting->setEnabled(true);
    m_account->createMenus();

    if (!Localization::Instance()->relaunchedForSignIn()) {
        if (!m_session.pendingMeetingId.isEmpty())
            on_joinButton_clicked();
        return;
    }
    m_signIn->startAccountSignIn();
}

void MainWindow::OnMeetingStatus(int status, int code)
{
    const QString reason = QString::fromUtf8(MeetingEvent::ReasonText(status, code));
    m_invite->onMeetingStatus(status);
    if (status == MeetingEnded || status == MeetingFailed)
        m_account->meetingEnded();
    if (status == MeetingInProgress) {
        m_meetingStartTime = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        m_meetingStartTick = platform::tickCount();
        if (m_session.shareJoin) {
            const QScreen* primary = QGuiApplication::primaryScreen();
            meetingsdk::startMonitorShare(primary ? primary->name() : QString());
        }
        meetingsdk::setUIControllerSink(this);
    }
    if (!m_join->joining()) {
        m_meetings->onMeetingStatus(status, reason);
        return;
    }
    if (status == MeetingInProgress)
        meetingsdk::setShareEventSink(this);
    else if (status == MeetingConnecting)
        m_meetings->setStartButtonsEnabled(false);
    m_join->onMeetingStatus(status, reason);
    // A failed join is not followed by an end.
    if (status == MeetingEnded || status == MeetingFailed)
        m_meetings->setStartButtonsEnabled(true);
}

void MainWindow::onLockShareStatus(bool bLocked)
{
    if (!bLocked)
        return;
    if (m_session.shareJoin) {
        TipsDlg::showTip(LangText("msg.forbid_share_scr"));
        meetingsdk::leaveMeeting();
        return;
    }
    // The host's lock that comes with entering the meeting is not news to the user.
    if (platform::tickCount() - m_meetingStartTick <= 1000)
        return;
    TipsDlg::showTip(LangText("msg.forbid_share_scr"));
    meetingsdk::stopShare();
}

void MainWindow::onInviteBtnClicked(bool& bHandled)
{
    // The SDK shows nothing of its own; the invite dialog answers this.
    bHandled = true;
    emit inviteRequested();
}
