#include "MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMovie>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRegExpValidator>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <cstdlib>

#include "app/Localization.h"
#include "app/Startup.h"
#include "net/CHTTPUtil.h"
#include "net/ServiceRequest.h"
#include "net/TextConvert.h"
#include "platform/Paths.h"
#include "platform/Shell.h"
#include "platform/Tick.h"
#include "sdk/CSDKSheduleMeetingUIWorkFlow.h"
#include "sdk/HostMeeting.h"
#include "sdk/JoinMeeting.h"
#include "sdk/MeetingEvent.h"
#include "sdk/MeetingExit.h"
#include "sdk/OrvoAuth.h"
#include "sdk/SDKInterfaceWrap.h"
#include "ui/ClickableLabel.h"
#include "ui/HistoryMeetings.h"
#include "ui/MainWindowForm.h"
#include "ui/MeetingNumber.h"
#include "ui/MessageBox.h"
#include "ui/Styles.h"
#include "ui/TipsDlg.h"

namespace {

const int kSmallWidth = 680;
const int kSmallHeight = 420;
const int kMainWidth = 360;
const int kMainHeight = 667;
const int kMainMaxHeight = 1080;

void setBackground(QWidget* page, const char* picture, const QSize& size)
{
    page->setAutoFillBackground(true);
    QPalette palette = page->palette();
    palette.setBrush(
        QPalette::Window,
        QBrush(QPixmap(QString::fromLatin1(picture)).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    page->setPalette(palette);
}

void setWhiteBackground(QWidget* widget)
{
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::white);
    widget->setPalette(palette);
}

QString fromWide(const wchar_t* text)
{
    return text ? QString::fromWCharArray(text) : QString();
}

ORVOSDK::IMeetingService* meetingService()
{
    return SDKInterfaceWrap::Instance().MeetingService();
}

} // namespace

// No maximise button: the pages have fixed sizes. Set at construction, since changing the flags
// afterwards re-polishes every widget of the window.
MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent,
                  Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                      Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_ui(std::make_unique<MainWindowForm>())
    , m_profileGate(std::make_shared<ProfileGate>())
{
    m_ui->setupUi(this);
    m_alwaysUsePmi = settings::readAlwaysUsePmi();

    setWindowIcon(QIcon(QStringLiteral(":/UI/res/logo.png")));
    const QSize small(kSmallWidth, kSmallHeight);
    // The other pages get their pictures when first shown: decoding them all would double the
    // time to the first window.
    setBackground(m_ui->homeWidget, ":/UI/res/home.png", small);
    m_ui->label_pop->setPixmap(QPixmap(QStringLiteral(":/UI/res/ic_arrow.png")));
    applyStyles();

    for (QWidget* w : std::initializer_list<QWidget*>{
             m_ui->verificationWidget, m_ui->loginWidget, m_ui->joinWidget, m_ui->mainWidget, m_ui->upgradeWidget,
             m_ui->loginError, m_ui->verificationError, m_ui->joinError, m_ui->label_share_tips, m_ui->listWidget_video,
             m_ui->label_editline_1, m_ui->label_editline_2, m_ui->label_editline_3, m_ui->label_editline_4,
             m_ui->label_editline_5, m_ui->label_editline_6})
        w->hide();
    // Until the SDK has authenticated the application, nobody can sign in or join.
    for (QPushButton* b : {m_ui->joinButton, m_ui->loginButton}) {
        b->hide();
        b->setEnabled(false);
    }
    m_ui->joinMeeting->setEnabled(false);
    m_ui->loginMeeting->setEnabled(false);

    const settings::Login login = settings::readLogin();
    m_ui->userAccount->setText(login.account);
    if (login.memory) {
        m_ui->memoryUser->setChecked(true);
        m_ui->userPassword->setText(login.password);
    }
    m_ui->userName->setText(settings::readNickname(QString(), false));

    // Dashes are inserted by the grouping, so the meeting field accepts them too.
    m_ui->meetingID->setValidator(new QRegExpValidator(QRegExp(QStringLiteral("[0-9-]+$")), m_ui->meetingID));
    m_ui->meetingID->setMaxLength(13);
    m_ui->phoneNumber->setValidator(new QRegExpValidator(QRegExp(QStringLiteral("[0-9]+$")), m_ui->phoneNumber));
    m_ui->phoneNumber->setMaxLength(11);
    m_ui->VCode->setMaxLength(10);

    m_loadingMovie = new QMovie(QStringLiteral(":/UI/res/loading.gif"), QByteArray(), this);
    m_ui->usingPMI->setChecked(m_alwaysUsePmi);

    connect(this, &MainWindow::asynInitSDK, this, &MainWindow::on_asynInitSDK);
    connect(this, &MainWindow::notifyResize, this, &MainWindow::on_notifyResize);
    connect(this, &MainWindow::notifyCountdown, this, &MainWindow::on_notifyCountdown);
    connect(this, &MainWindow::notifyUpdateUserInfo, this, &MainWindow::on_notifyUpdateUserInfo);
    connect(this, &MainWindow::notifyUpdateLogo, this, &MainWindow::on_notifyUpdateLogo);
    connect(this, &MainWindow::notifyJoinMeeting, this, &MainWindow::on_notifyJoinMeeting);
    connect(m_ui->meetingID, &QLineEdit::textChanged, this, &MainWindow::on_editMeetingID);
    connect(m_ui->userName, &QLineEdit::textEdited, this, &MainWindow::on_editNickname);

    setFixedSize(kSmallWidth, kSmallHeight);
    applyTexts();
    startMovie(m_ui->loading);

    MeetingEvent::Instance()->SetUIEvent(this);
    OrvoAuth::Instance()->SetUIEvent(this);
    m_handle = platform::registerWindow(this);
    settings::writeWindowHandle(m_handle);
    emit asynInitSDK();
    loadJoinHistory(QString(), false);
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

void MainWindow::applyStyles()
{
    const int lang = Localization::Instance()->languageId();
    for (QPushButton* b : {m_ui->joinButton, m_ui->loginMeeting, m_ui->verification, m_ui->joinMeeting})
        b->setStyleSheet(styles::primaryButton());
    m_ui->loginButton->setStyleSheet(styles::homeLoginButton());
    m_ui->videoMeeting->setStyleSheet(styles::tile("pic_initiate", true));
    m_ui->joinTheMeeting->setStyleSheet(styles::tile("pic_join", true));
    m_ui->scheduleMeeting->setStyleSheet(styles::tile("pic_plan", false));
    m_ui->shareScreen->setStyleSheet(styles::tile("pic_share", true));
    const QString settingsSuffix = lang == 1 ? QStringLiteral("_en") : QString();
    m_ui->settingsButton->setStyleSheet(
        QStringLiteral("QPushButton{border:none;background-image:url(:/UI/res/setting_btn_mormal%1.png);}"
                       "QPushButton:hover{background-image:url(:/UI/res/setting_btn_hover%1.png);}"
                       "QPushButton:pressed{background-image:url(:/UI/res/setting_btn_down%1.png);}")
            .arg(settingsSuffix));
    m_ui->homePageBtn->setStyleSheet(styles::toolbarTab("home_btn_mormal", "home_btn_selected", true, lang));
    m_ui->meetingsPageBtn->setStyleSheet(styles::toolbarTab("meeting_btn_normal", "meeting_btn_selected", false, lang));
    m_ui->myMeeting->setStyleSheet(styles::meetingsSwitch("mymeeting_sel.png"));
    m_ui->videoList->setStyleSheet(styles::meetingsSwitch("videolist_normal.png"));
    m_ui->popupHistory->setStyleSheet(
        QStringLiteral("QPushButton{border:none;background-image:url(:/UI/res/arrow_down.png);"
                       "background-repeat:no-repeat;background-position:center;}"));
    for (QPushButton* b : {m_ui->startMeeting, m_ui->editPMI, m_ui->planMenu})
        b->setStyleSheet(styles::grayButton());
    for (QLabel* l : {m_ui->loginError, m_ui->verificationError, m_ui->joinError})
        l->setStyleSheet(styles::errorLabel());
    for (QLabel* l : {m_ui->label_editline_1, m_ui->label_editline_2, m_ui->label_editline_3, m_ui->label_editline_4,
                      m_ui->label_editline_5, m_ui->label_editline_6})
        l->setStyleSheet(styles::editLine());
    for (ClickableLabel* l : {m_ui->backHomeL, m_ui->backHomeV, m_ui->backHomeJ})
        l->setStyleSheet(styles::backLabel());
    m_ui->getVCode->setStyleSheet(styles::link(true));
    m_ui->label_updateLink->setStyleSheet(styles::link(true));
    m_ui->upgradeWidget->setStyleSheet(QStringLiteral("#upgradeWidget{background-color:rgb(255,251,230);}"));
}

void MainWindow::applyTexts()
{
    setWindowTitle(LangText("ui.window"));
    m_ui->label_version->setText(LangFormat("ui.label_version", "1.5.0"));
    // "how" + a link + "tail", so the link text can be a different colour.
    m_ui->label_register->setText(LangText("ui.how").toHtmlEscaped() +
                                  QStringLiteral("<a style=\"color:#1890FF;text-decoration:none\" href=\"#\">%1</a>")
                                      .arg(LangText("ui.label_register").toHtmlEscaped()) +
                                  LangText("ui.tail").toHtmlEscaped());
    m_ui->loginButton->setText(LangText("ui.loginButton"));
    m_ui->joinButton->setText(LangText("ui.joinButton"));
    m_ui->label_login->setText(LangText("ui.label_login"));
    m_ui->label_account->setText(LangText("ui.label_account"));
    m_ui->label_password->setText(LangText("ui.label_password"));
    m_ui->memoryUser->setText(LangText("ui.memoryUser"));
    m_ui->loginMeeting->setText(LangText("ui.loginMeeting"));
    m_ui->label_verification->setText(LangText("ui.label_verification"));
    m_ui->label_verification_tips->setText(LangText("ui.label_tips"));
    m_ui->label_phone->setText(LangText("ui.label_phone"));
    m_ui->label_code->setText(LangText("ui.label_code"));
    m_ui->getVCode->setText(LangText("ui.btn_getCode"));
    m_ui->verification->setText(LangText("ui.btn_verification"));
    m_ui->label_join->setText(LangText("ui.label_join"));
    m_ui->label_meetingid->setText(LangText("ui.label_meetingid"));
    m_ui->label_nickname->setText(LangText("ui.label_nickname"));
    m_ui->joinMeeting->setText(LangText("ui.joinMeeting"));
    m_ui->label_notifyUpdate->setText(LangText("ui.label_notifyUpdate"));
    m_ui->label_updateLink->setText(LangText("ui.label_updateLink"));
    m_ui->label_video_meeting->setText(LangText("ui.label_video_meeting"));
    m_ui->label_join_meeting->setText(LangText("ui.label_join_meeting"));
    m_ui->label_schedule_meeting->setText(LangText("ui.label_schedule_meeting"));
    m_ui->label_share_screen->setText(LangText("ui.label_share_screen"));
    m_ui->myMeeting->setText(LangText("ui.myMeeting"));
    m_ui->videoList->setText(LangText("ui.videoList"));
    m_ui->myselfTag->setText(LangText("ui.myselfTag"));
    m_ui->usingPMI->setText(LangText("ui.usingPMI"));
    m_ui->startMeeting->setText(LangText("ui.startMeeting"));
    m_ui->editPMI->setText(LangText("ui.editPMI"));
    m_ui->planMenu->setText(LangText("ui.planMenu"));
}

void MainWindow::setPendingMeetingId(const QString& text)
{
    m_pendingMeetingId = text.left(31);
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

void MainWindow::showOnly(QWidget* page)
{
    if (!page->autoFillBackground()) {
        const QSize small(kSmallWidth, kSmallHeight);
        if (page == m_ui->loginWidget || page == m_ui->joinWidget)
            setBackground(page, ":/UI/res/login.png", small);
        else if (page == m_ui->verificationWidget)
            setBackground(page, ":/UI/res/verification.png", small);
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
    restoreAndRaise();
    MessageBox::show(this, MessageBox::Critical, LangText("ui.window"), LangText(messageKey), LangText("box.ok"));
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
    if (!m_anonymousJoin && signedIn() && m_ui->mainWidget->isVisible() && m_ui->joinTheMeeting->isEnabled()) {
        on_joinTheMeeting_clicked();
    } else if (m_ui->homeWidget->isVisible()) {
        on_joinButton_clicked();
    } else if (m_ui->joinWidget->isVisible()) {
        if (m_shareJoin) {
            m_shareJoin = false;
            m_ui->label_share_tips->hide();
            m_ui->label_join->setText(LangText("ui.label_join"));
        }
        m_ui->meetingID->setText(m_pendingMeetingId);
        m_pendingMeetingId.clear();
        on_joinMeeting_clicked();
    }
    // Otherwise the number waits until the join page is filled next.
}

void MainWindow::on_loginButton_clicked()
{
    m_anonymousJoin = false;
    if (signedIn())
        OrvoAuth::Instance()->Logout();
    openSignInPage();
}

void MainWindow::openSignInPage()
{
    m_ui->label_editline_1->hide();
    m_ui->label_editline_2->hide();
    m_ui->loginError->clear();
    showOnly(m_ui->loginWidget);
    m_ui->userAccount->setFocus();
}

void MainWindow::on_backHomeL_clicked()
{
    showOnly(m_ui->homeWidget);
    m_ui->logining->hide();
    m_loadingMovie->stop();
}

void MainWindow::on_backHomeV_clicked()
{
    stopCountdown();
    if (m_anonymousJoin) {
        showOnly(m_ui->homeWidget);
        resetVerificationPage();
        m_anonymousJoin = false;
    } else {
        // An account sign-in was waiting for its verification.
        if (signedIn())
            OrvoAuth::Instance()->Logout();
        showOnly(m_ui->loginWidget);
    }
}

void MainWindow::on_backHomeJ_clicked()
{
    m_ui->label_editline_3->hide();
    m_ui->label_editline_4->hide();
    m_ui->meetingID->clear();
    m_ui->userName->clear();
    m_ui->joinError->hide();
    stopMovie(m_ui->joining);
    if (!signedIn() || m_anonymousJoin) {
        showOnly(m_ui->homeWidget);
        m_anonymousJoin = false;
    } else {
        m_shareJoin = false;
        showOnly(m_ui->mainWidget);
        useMainSize();
    }
}

void MainWindow::setToolbarTabs(bool homeSelected)
{
    const int lang = Localization::Instance()->languageId();
    m_ui->homePageBtn->setStyleSheet(styles::toolbarTab("home_btn_mormal", "home_btn_selected", homeSelected, lang));
    m_ui->meetingsPageBtn->setStyleSheet(
        styles::toolbarTab("meeting_btn_normal", "meeting_btn_selected", !homeSelected, lang));
}

void MainWindow::on_homePageBtn_clicked()
{
    m_ui->meetings->hide();
    m_ui->homepage->show();
    setToolbarTabs(true);
}

void MainWindow::on_meetingsPageBtn_clicked()
{
    m_ui->homepage->hide();
    m_ui->meetings->show();
    setToolbarTabs(false);
    emit notifyResize();
}

void MainWindow::on_label_register_clicked()
{
    platform::shellOpen(QString::fromStdString(net::serviceUrl("/guide/PC/pcguide.html")));
}

void MainWindow::on_settingsButton_clicked()
{
    ORVOSDK::ISettingService* service = SDKInterfaceWrap::Instance().SettingService();
    if (!service)
        return;
    applySettingsPageOptions();
    if (ORVOSDK::IGeneralSettingContext* general = service->GetGeneralSettings())
        general->EnableAutoCopyInviteLink(false);
    ORVOSDK::ICustomizedResourceHelper* resources = nullptr;
    if (ORVOSDK::RetrieveCustomizedResourceHelper(&resources) == ORVOSDK::SDKERR_SUCCESS && resources) {
        const std::wstring site = QString::fromStdString(net::serviceUrl("/")).toStdWString();
        for (auto kind : {ORVOSDK::SupportUrl_Homepage, ORVOSDK::SupportUrl_Help, ORVOSDK::SupportUrl_Feedback})
            resources->SetSupportUrl(kind, site.c_str());
    }
    ORVOSDK::ShowSettingDlgParam param{};
    param.hParent = static_cast<unsigned long long>(m_handle);
    param.left = x();
    param.top = y();
    param.bShow = true;
    if (service->ShowSettingDlg(param) == ORVOSDK::SDKERR_SUCCESS && param.hSettingWnd != 0) {
        // The SDK's dialog is a window of this process: centre it on the primary screen.
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (quintptr(w->winId()) != param.hSettingWnd)
                continue;
            const QRect screen = QGuiApplication::primaryScreen()->geometry();
            w->move((screen.width() - w->width()) / 2, (screen.height() - w->height()) / 2);
        }
    }
}

void MainWindow::applySettingsPageOptions()
{
    ORVOSDK::ISettingService* service = SDKInterfaceWrap::Instance().SettingService();
    ORVOSDK::ISettingUIStrategy* strategy = service ? service->GetSettingUIStrategy() : nullptr;
    if (!strategy)
        return;
    ORVOSDK::SettingDlgShowTabPageOption option{};
    option.bShowGeneral = true;
    option.bShowVideo = true;
    option.bShowAudio = true;
    option.bShowVirtualBackGround = true;
    option.bShowRecording = true;
    option.bShowKeyboardShortcuts = true;
    strategy->ConfSettingDialogShownTabPage(option);
}

void MainWindow::on_editMeetingID(const QString& text)
{
    for (const QChar c : text) {
        if (!c.isDigit() && c != QLatin1Char('-')) {
            m_ui->meetingID->clear();
            return;
        }
    }
    if (text.size() < 4)
        return;
    const QString grouped = formatMeetingNumber(stripMeetingNumber(text));
    if (grouped != text)
        m_ui->meetingID->setText(grouped);
}

void MainWindow::on_editNickname(const QString& text)
{
    if (!text.isEmpty())
        settings::writeNickname(currentAccountString(), m_shareJoin, text);
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (m_ui->loginWidget->isVisible()) {
            on_loginMeeting_clicked();
            return;
        }
        if (m_ui->joinWidget->isVisible()) {
            on_joinMeeting_clicked();
            return;
        }
        if (m_ui->verificationWidget->isVisible()) {
            on_verification_clicked();
            return;
        }
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::layoutMainPage()
{
    const int height = m_ui->horizontalWidget_app->height();
    if (height < kMainHeight)
        return;
    const int content = height - 60;
    m_ui->mainWidget->resize(kMainWidth, height);
    m_ui->homepage->resize(kMainWidth, content);
    m_ui->meetings->resize(kMainWidth, content);
    m_ui->toolbarWidget->move(0, content);
    m_ui->verticalWidget_plan->resize(kMainWidth, content - m_ui->verticalWidget_plan->y());
    m_ui->verticalWidget_video->resize(kMainWidth, content - m_ui->verticalWidget_video->y());
}

void MainWindow::on_notifyResize()
{
    layoutMainPage();
    m_ui->listWidget_plan->resize(m_ui->verticalWidget_plan->size());
    m_ui->listWidget_video->resize(m_ui->verticalWidget_video->size());
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    on_notifyResize();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    restoreAndRaise();
    if (signedIn() && !m_anonymousJoin && m_ui->joinWidget->isVisible()) {
        on_backHomeJ_clicked();
        setTopMost(false);
        event->ignore();
        return;
    }
    if (startup::restarting()) {
        startup::startExitWatchdog(m_watchdogStarted);
        event->accept();
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

void MainWindow::on_systemTrayExit()
{
    close();
}

void MainWindow::tearDown()
{
    releaseResources(true);
}

void MainWindow::releaseResources(bool startWatchdog)
{
    if (m_tornDown)
        return;
    m_tornDown = true;
    stopCountdown();
    {
        std::lock_guard<std::mutex> lock(m_profileGate->mutex);
        m_profileGate->open = false;
    }
    if (m_avatarDownload) {
        CHTTPUtil::Instance()->StopDownload(m_avatarDownload);
        m_avatarDownload = 0;
    }
    m_hostFlow.reset();
    m_joinFlow.reset();
    m_scheduleFlow.reset();
    if (startWatchdog)
        startup::startExitWatchdog(m_watchdogStarted);
    MeetingEvent::Instance()->SetUIEvent(nullptr);
    OrvoAuth::Instance()->SetUIEvent(nullptr);
    OrvoAuth::Instance()->Shutdown();
    for (QListWidget* list : {m_ui->listWidget_plan, m_ui->listWidget_video}) {
        while (list->count() > 0) {
            QWidget* row = list->itemWidget(list->item(0));
            list->removeItemWidget(list->item(0));
            delete list->takeItem(0);
            delete row;
        }
    }
    m_history.clear();
}

// ---- SDK start-up and sign-in ----

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
    if (result == OrvoAuth::Unreachable) {
        // No refusal: the SDK layer tries again by itself, and the spinner keeps turning.
        m_ui->label_offline->setText(LangText("msg.service_unreachable"));
        m_ui->label_offline->show();
        return;
    }
    m_ui->label_offline->hide();
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

    if (!Localization::Instance()->relaunchedForSignIn()) {
        if (!m_pendingMeetingId.isEmpty())
            on_joinButton_clicked();
        return;
    }
    m_anonymousJoin = false;
    if (signedIn())
        OrvoAuth::Instance()->Logout();
    openSignInPage();
}

void MainWindow::on_loginMeeting_clicked()
{
    if (authStatus() != OrvoAuth::Authenticated)
        return;
    m_ui->label_editline_1->hide();
    m_ui->label_editline_2->hide();
    const QString account = m_ui->userAccount->text();
    const QString password = m_ui->userPassword->text();
    if (account.isEmpty() || password.isEmpty()) {
        m_ui->label_editline_1->setVisible(account.isEmpty());
        m_ui->label_editline_2->setVisible(password.isEmpty());
        m_ui->loginError->setText(LangText("msg.input_account"));
        m_ui->loginError->show();
        return;
    }
    m_account = account;
    m_ui->loginError->clear();
    m_ui->loginError->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{m_ui->loginMeeting, m_ui->backHomeL, m_ui->userAccount,
                                                      m_ui->userPassword, m_ui->memoryUser})
        w->setEnabled(false);
    startMovie(m_ui->logining);
    if (OrvoAuth::Instance()->Login(account, password) != 0)
        OnLoginResult(3, QString()); // refused before the SDK asked the cloud
}

void MainWindow::OnLoginResult(int status, const QString& displayName)
{
    for (QPushButton* b : {m_ui->joinButton, m_ui->loginButton})
        b->show();
    m_ui->loading->hide();
    m_ui->verificationWidget->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{m_ui->userAccount, m_ui->userPassword, m_ui->memoryUser,
                                                      m_ui->loginMeeting, m_ui->backHomeL})
        w->setEnabled(true);
    stopMovie(m_ui->logining);

    if (status == 2 && m_anonymousJoin) {
        settings::writeTemporaryAccount(m_tempAccount, m_tempPassword);
        on_joinButton_clicked();
        return;
    }
    if (status != 2) {
        m_ui->label_editline_1->show();
        m_ui->label_editline_2->show();
        m_ui->loginError->setText(LangText("msg.login_error"));
        m_ui->loginError->show();
        if (m_anonymousJoin) {
            // The temporary account was refused: verify the phone again.
            settings::writeTemporaryPassword(QString());
            on_joinButton_clicked();
        }
        return;
    }

    m_sdkUserName = displayName;
    if (!settings::isVerificationValid(m_account)) {
        m_ui->verificationError->clear();
        m_ui->phoneNumber->clear();
        m_ui->VCode->clear();
        showVerificationPage("ui.label_tips2");
        return;
    }
    enterMainPage();
}

void MainWindow::enterMainPage()
{
    m_typedPassword = m_ui->userPassword->text();
    loadJoinHistory(m_account, m_shareJoin);

    m_scheduleFlow = std::make_unique<CSDKSheduleMeetingUIWorkFlow>();
    m_scheduleFlow->SetUIEvent(this);

    if (ORVOSDK::ISettingService* service = SDKInterfaceWrap::Instance().SettingService()) {
        if (ORVOSDK::IRecordingSettingContext* recording = service->GetRecordingSettings()) {
            const QString newFolder = settings::firstRunRecordingFolder(fromWide(recording->GetRecordingPath()));
            if (!newFolder.isEmpty())
                recording->SetRecordingPath(newFolder.toStdWString().c_str());
        }
        if (ORVOSDK::ISettingUIStrategy* strategy = service->GetSettingUIStrategy())
            strategy->DisableAdvancedFeatures4GeneralSetting(true);
    }

    m_displayName = m_sdkUserName;
    showDisplayName();

    showOnly(m_ui->mainWidget);
    useMainSize();
    setWhiteBackground(m_ui->toolbarWidget);
    setWhiteBackground(m_ui->homepage);
    setWhiteBackground(m_ui->meetings);
    m_ui->homepage->show();
    m_ui->meetings->hide();
    setToolbarTabs(true);

    settings::writeLogin(m_ui->userAccount->text(), m_ui->userPassword->text(), m_ui->memoryUser->isChecked());
    startProfileFetch();
}

QString MainWindow::initialsOf(const QString& name)
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

void MainWindow::showDisplayName()
{
    if (m_ui->accountIcon->pixmap(Qt::ReturnByValue).isNull())
        m_ui->accountIcon->setText(initialsOf(m_displayName).toUpper());
    QFont font(LangText("ui.font"));
    font.setPointSize(12);
    const QFontMetrics metrics(font);
    const QString elided = metrics.elidedText(m_displayName, Qt::ElideRight, 220);
    const int width = metrics.horizontalAdvance(elided) + 10;
    m_ui->myDisplayName->setFont(font);
    m_ui->myDisplayName->setText(elided);
    m_ui->myDisplayName->setFixedWidth(width);
    m_ui->label_pop->setGeometry(m_ui->myDisplayName->x() + width, 39, 10, 6);
}

// ---- phone verification ----

void MainWindow::offerGetCode()
{
    m_ui->getVCode->setEnabled(true);
    m_ui->getVCode->setText(LangText("ui.btn_getCode"));
    m_ui->getVCode->setStyleSheet(styles::link(true));
}

void MainWindow::showVerificationPage(const char* tipsKey)
{
    showOnly(m_ui->verificationWidget);
    offerGetCode();
    m_ui->phoneNumber->setFocus();
    m_ui->label_verification_tips->setText(LangText(tipsKey));
}

void MainWindow::resetVerificationPage()
{
    m_ui->phoneNumber->clear();
    m_ui->VCode->clear();
    m_ui->verificationError->clear();
    m_ui->verificationError->hide();
    stopMovie(m_ui->waiting);
    m_ui->label_editline_5->hide();
    m_ui->label_editline_6->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{m_ui->verification, m_ui->phoneNumber, m_ui->VCode})
        w->setEnabled(true);
    offerGetCode();
}

void MainWindow::setVerificationBusy(bool busy)
{
    if (busy) {
        m_ui->verificationError->clear();
        m_ui->verificationError->hide();
        m_ui->getVCode->setEnabled(false);
        m_ui->getVCode->setStyleSheet(styles::link(false));
        startMovie(m_ui->waiting);
    } else {
        stopMovie(m_ui->waiting);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{m_ui->verification, m_ui->phoneNumber, m_ui->VCode})
        w->setEnabled(!busy);
}

bool MainWindow::phoneNumberAccepted()
{
    const QString phone = m_ui->phoneNumber->text();
    if (phone.size() >= 11 && phone.startsWith(QLatin1Char('1')))
        return true;
    m_ui->label_editline_5->show();
    m_ui->verificationError->setText(LangText("msg.input_phone"));
    m_ui->verificationError->show();
    m_ui->phoneNumber->setFocus();
    return false;
}

void MainWindow::on_getVCode_clicked()
{
    if (!m_ui->getVCode->isEnabled())
        return; // a label still gets mouse presses while disabled
    m_ui->label_editline_5->hide();
    m_ui->label_editline_6->hide();
    if (!phoneNumberAccepted())
        return;
    setVerificationBusy(true);
    const net::Reply reply = net::postJson("/api/orvo/user/GetVerificationCode.do",
                                           net::JsonBody().add("phoneNumber", m_ui->phoneNumber->text()).text());
    setVerificationBusy(false);
    if (!reply.ok()) {
        m_ui->label_editline_5->show();
        m_ui->verificationError->setText(LangText("msg.getVCode_failed"));
        m_ui->verificationError->show();
        offerGetCode();
        m_ui->phoneNumber->setFocus();
        return;
    }
    m_ui->label_editline_5->hide();
    m_ui->getVCode->setEnabled(false); // until the countdown ends
    startCountdown();
}

void MainWindow::startCountdown()
{
    stopCountdown();
    m_countdownStop = false;
    m_countdownThread = std::thread([this] {
        m_countdownRemaining = 60;
        emit notifyCountdown();
        quint32 last = platform::tickCount();
        while (!m_countdownStop) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (platform::tickCount() - last >= 1000) {
                last += 1000;
                const int remaining = --m_countdownRemaining;
                emit notifyCountdown();
                if (remaining <= 0)
                    break;
            }
        }
        m_countdownRemaining = 0;
        emit notifyCountdown();
    });
}

void MainWindow::stopCountdown()
{
    m_countdownStop = true;
    if (m_countdownThread.joinable())
        m_countdownThread.join();
}

void MainWindow::on_notifyCountdown()
{
    const int remaining = m_countdownRemaining;
    if (remaining > 0) {
        m_ui->getVCode->setText(LangFormat("ui.btn_regFetch", remaining));
        return;
    }
    offerGetCode();
}

void MainWindow::on_verification_clicked()
{
    m_ui->label_editline_5->hide();
    m_ui->label_editline_6->hide();
    if (!phoneNumberAccepted())
        return;
    if (m_ui->VCode->text().isEmpty()) {
        m_ui->label_editline_6->show();
        m_ui->verificationError->setText(LangText("msg.input_code"));
        m_ui->verificationError->show();
        m_ui->VCode->setFocus();
        return;
    }
    setVerificationBusy(true);
    net::JsonBody body;
    body.add("phoneNumber", m_ui->phoneNumber->text()).add("verification_code", m_ui->VCode->text());
    if (!m_anonymousJoin)
        body.add("email", m_account);
    const net::Reply reply = net::postJson("/api/orvo/user/Validation.do", body.text());

    bool ok = reply.ok();
    QString tempAccount, tempPassword;
    if (ok && m_anonymousJoin) {
        const auto account = reply.dataString("account_name");
        const auto password = reply.dataString("password");
        ok = account && password && !account->empty() && !password->empty() && !signedIn();
        if (ok) {
            tempAccount = QString::fromStdString(*account);
            tempPassword = QString::fromStdString(*password);
        }
    }
    if (!ok) {
        setVerificationBusy(false);
        m_ui->label_editline_6->show();
        m_ui->verificationError->setText(LangText("msg.verification_error"));
        m_ui->verificationError->show();
        m_ui->VCode->setFocus();
        if (m_countdownRemaining <= 0) {
            m_ui->getVCode->setEnabled(true);
            m_ui->getVCode->setStyleSheet(styles::link(true));
        }
        return;
    }

    stopCountdown();
    stopMovie(m_ui->waiting);
    if (m_anonymousJoin) {
        m_tempAccount = tempAccount;
        m_tempPassword = tempPassword;
        settings::writeVerification(QString());
        if (OrvoAuth::Instance()->Login(m_tempAccount, m_tempPassword) != 0)
            settings::writeTemporaryPassword(QString());
        showOnly(m_ui->joinWidget);
        m_ui->meetingID->setFocus();
        resetVerificationPage();
        return;
    }
    settings::writeVerification(m_account);
    resetVerificationPage();
    OnLoginResult(2, m_sdkUserName);
}

// ---- profile and avatar ----

QString MainWindow::avatarFileName(const QString& account, const QString& url)
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

void MainWindow::startProfileFetch()
{
    const std::shared_ptr<ProfileGate> gate = m_profileGate;
    const std::string account = WideToUtf8(m_account);
    std::thread([this, gate, account] {
        const net::Reply reply = net::postFields("/api/qzMeetings/user/get_user_qz", {{"email", account}});
        std::lock_guard<std::mutex> lock(gate->mutex);
        if (!gate->open)
            return;
        if (reply.ok()) {
            if (auto id = reply.dataString("id"); id && !id->empty())
                gate->userId = QString::fromStdString(*id);
            const auto last = reply.dataString("last_name");
            const auto first = reply.dataString("first_name");
            if (last && first && !last->empty() && !first->empty())
                gate->displayName = QString::fromStdString(*last + *first);
            if (auto avatar = reply.dataString("avatar_path"); avatar && !avatar->empty())
                gate->avatarUrl = QString::fromStdString(*avatar);
        }
        // Still under the gate's lock: the window cannot go away while the signal is queued.
        emit notifyUpdateUserInfo();
    }).detach();
}

void MainWindow::on_notifyUpdateUserInfo()
{
    QString avatarUrl;
    {
        std::lock_guard<std::mutex> lock(m_profileGate->mutex);
        if (!m_profileGate->userId.isEmpty())
            m_userId = m_profileGate->userId;
        if (!m_profileGate->displayName.isEmpty())
            m_displayName = m_profileGate->displayName;
        avatarUrl = m_profileGate->avatarUrl;
        m_profileGate->userId.clear();
        m_profileGate->displayName.clear();
        m_profileGate->avatarUrl.clear();
    }
    showDisplayName();
    if (avatarUrl.isEmpty())
        return;
    m_avatarPath = settings::dataFolder() + avatarFileName(m_account, avatarUrl);
    QFile::remove(m_avatarPath);
    CHTTPUtil* http = CHTTPUtil::Instance();
    if (!http->CanDownload())
        return;
    if (m_avatarDownload)
        http->StopDownload(m_avatarDownload);
    platform::ensureFolder(settings::dataFolder());
    m_avatarDownload = http->StartDownload(avatarUrl.toStdString(), WideToAnsi(m_avatarPath), m_handle);
}

void MainWindow::on_notifyUpdateLogo()
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
    m_ui->accountIcon->setText(QString());
    m_ui->accountIcon->setPixmap(round);
}

// ---- joining and starting meetings ----

void MainWindow::on_joinButton_clicked()
{
    if (authStatus() == OrvoAuth::NotStarted)
        return; // the SDK is not ready yet; a pending number stays in the buffer
    m_anonymousJoin = true;
    const settings::TemporaryAccount temporary = settings::readTemporaryAccount();
    m_tempAccount = temporary.user;
    m_tempPassword = temporary.password;

    if (settings::isVerificationValid(QString()) && !m_tempAccount.isEmpty() && !m_tempPassword.isEmpty()) {
        if (signedIn()) {
            loadJoinHistory(QString(), false);
            showOnly(m_ui->joinWidget);
            m_ui->meetingID->setFocus();
            m_ui->userName->setText(settings::readNickname(QString(), false));
            if (!m_pendingMeetingId.isEmpty()) {
                m_ui->meetingID->setText(m_pendingMeetingId);
                m_pendingMeetingId.clear();
                on_joinMeeting_clicked();
            }
        } else {
            m_ui->joinButton->hide();
            m_ui->loginButton->hide();
            startMovie(m_ui->loading);
            if (OrvoAuth::Instance()->Login(m_tempAccount, m_tempPassword) != 0)
                OnLoginResult(3, QString());
        }
        return;
    }
    showVerificationPage("ui.label_tips");
}

void MainWindow::on_joinTheMeeting_clicked()
{
    loadJoinHistory(currentAccountString(), m_shareJoin);
    if (m_shareJoin) {
        m_ui->label_join->setText(LangText("ui.label_join_share"));
        m_ui->label_share_tips->setText(LangText("ui.label_join_share_tips"));
        m_ui->label_share_tips->show();
    } else {
        m_ui->label_share_tips->hide();
        m_ui->label_join->setText(LangText("ui.label_join"));
    }
    showOnly(m_ui->joinWidget);
    m_ui->meetingID->setFocus();
    useSmallSize();
    QString nickname = settings::readNickname(m_account, m_shareJoin);
    if (nickname.isEmpty())
        nickname = m_displayName;
    m_ui->userName->setText(nickname);
    if (!m_pendingMeetingId.isEmpty()) {
        m_ui->meetingID->setText(m_pendingMeetingId);
        m_pendingMeetingId.clear();
        on_joinMeeting_clicked();
    }
}

void MainWindow::on_shareScreen_clicked()
{
    if (!MeetingEvent::Instance()->IsInMeeting()) {
        m_shareJoin = true;
        on_joinTheMeeting_clicked();
        return;
    }
    ORVOSDK::IMeetingService* service = meetingService();
    if (ORVOSDK::IMeetingShareController* share = service ? service->GetMeetingShareController() : nullptr)
        share->StartShare();
}

void MainWindow::on_joinMeeting_clicked()
{
    const int status = authStatus();
    if (status != OrvoAuth::Authenticated && status != OrvoAuth::SignedIn)
        return;
    m_ui->label_editline_3->hide();
    m_ui->label_editline_4->hide();
    const QString id = stripMeetingNumber(m_ui->meetingID->text());
    const QString name = m_ui->userName->text();
    if (id.isEmpty() || name.isEmpty()) {
        m_ui->label_editline_3->setVisible(id.isEmpty());
        m_ui->label_editline_4->setVisible(name.isEmpty());
        m_ui->joinError->setText(LangText("msg.input_meeting_id"));
        m_ui->joinError->show();
        return;
    }
    if (JoinMeeting::ParseMeetingNumber(id) == 0) {
        m_ui->label_editline_3->show();
        m_ui->joinError->setText(LangText("msg.fail_reason_meeting_notexist"));
        m_ui->joinError->show();
        return;
    }
    m_ui->joinError->clear();
    m_ui->joinError->hide();
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_ui->joinMeeting, m_ui->backHomeJ, m_ui->meetingID, m_ui->userName})
        w->setEnabled(false);
    startMovie(m_ui->joining);
    if (!m_joinFlow)
        m_joinFlow = std::make_unique<JoinMeeting>();
    // Progress and failure come back as meeting status changes.
    m_joinFlow->Join(id, name, QString(), m_shareJoin, status != OrvoAuth::SignedIn);
}

void MainWindow::setStartButtonsEnabled(bool enabled)
{
    for (QPushButton* b : {m_ui->videoMeeting, m_ui->joinTheMeeting, m_ui->shareScreen})
        b->setEnabled(enabled);
}

void MainWindow::startInstantMeeting(int kind)
{
    if (!m_hostFlow)
        m_hostFlow = std::make_unique<HostMeeting>();
    const UINT64 number = m_alwaysUsePmi ? m_personalMeetingId : 0;
    setStartButtonsEnabled(m_hostFlow->StartMeeting(kind, number) != 0);
}

void MainWindow::on_videoMeeting_clicked()
{
    startInstantMeeting(1);
}
void MainWindow::on_voiceMeeting_clicked()
{
    startInstantMeeting(2);
}

int MainWindow::startMeetingByNumber(UINT64 meetingNumber)
{
    if (m_ui->videoMeeting->isEnabled()) {
        if (!m_hostFlow)
            m_hostFlow = std::make_unique<HostMeeting>();
        setStartButtonsEnabled(m_hostFlow->StartMeeting(1, meetingNumber) != 0);
        return 0;
    }
    restoreAndRaise();
    MessageBox::show(this, MessageBox::Warning, LangText("ui.window"), LangText("msg.meeting_running"),
                     LangText("box.ok"));
    setTopMost(false);
    return -1;
}

void MainWindow::reenableJoinPage()
{
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_ui->meetingID, m_ui->userName, m_ui->joinMeeting, m_ui->backHomeJ})
        w->setEnabled(true);
    stopMovie(m_ui->joining);
}

void MainWindow::onMeetingEnded()
{
    setStartButtonsEnabled(true);
}

void MainWindow::recordJoinInHistory()
{
    ORVOSDK::IMeetingService* service = meetingService();
    ORVOSDK::IMeetingInfo* info = service ? service->GetMeetingInfo() : nullptr;
    if (!info)
        return;
    const UINT64 number = info->GetMeetingNumber();
    QString topic = fromWide(info->GetMeetingTopic());
    if (!m_anonymousJoin && m_scheduleFlow) {
        // A meeting of the user's own list keeps the topic it was scheduled with.
        if (ORVOSDK::IMeetingItemInfo* item = m_scheduleFlow->MeetingItem(number)) {
            const QString listed = fromWide(item->GetMeetingTopic());
            if (!listed.isEmpty())
                topic = listed;
        }
    }
    addJoinHistory(number, topic);
}

void MainWindow::OnMeetingStatus(int status, int code)
{
    const QString reason = QString::fromUtf8(MeetingEvent::ReasonText(status, code));
    ORVOSDK::IMeetingService* service = meetingService();

    if (status == ORVOSDK::MEETING_STATUS_INMEETING) {
        m_meetingStartTime = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        m_meetingStartTick = platform::tickCount();
        if (service) {
            if (m_shareJoin) {
                if (ORVOSDK::IMeetingShareController* share = service->GetMeetingShareController()) {
                    const QScreen* primary = QGuiApplication::primaryScreen();
                    share->StartMonitorShare(primary ? primary->name().toStdWString().c_str() : L"");
                }
            }
            if (ORVOSDK::IMeetingUIController* controller = service->GetUIController())
                controller->SetEvent(this);
        }
        if (m_joinFlow)
            recordJoinInHistory();
    }

    if (!m_joinFlow) {
        if (!m_hostFlow)
            return;
        if (status == ORVOSDK::MEETING_STATUS_CONNECTING) {
            applySettingsPageOptions();
        } else if (status == ORVOSDK::MEETING_STATUS_ENDED) {
            m_hostFlow.reset();
            onMeetingEnded();
        } else if (status == ORVOSDK::MEETING_STATUS_FAILED) {
            onMeetingEnded(); // no end follows a failed start
        }
        if (!reason.isEmpty())
            TipsDlg::showTip(reason);
        return;
    }

    if (status == ORVOSDK::MEETING_STATUS_INMEETING) {
        if (service)
            if (ORVOSDK::IMeetingShareController* share = service->GetMeetingShareController())
                share->SetEvent(this);
        reenableJoinPage();
        m_ui->label_editline_3->hide();
        m_ui->label_editline_4->hide();
        m_ui->meetingID->clear();
        m_ui->joinError->clear();
        m_ui->joinError->hide();
        if (!signedIn() || m_anonymousJoin) {
            showOnly(m_ui->homeWidget);
            useSmallSize();
        } else {
            showOnly(m_ui->mainWidget);
            useMainSize();
        }
        applySettingsPageOptions();
        if (!m_ui->userName->text().isEmpty())
            settings::writeNickname(currentAccountString(), m_shareJoin, m_ui->userName->text());
        // Anonymous joiners only see the meeting window while the meeting runs.
        if (m_anonymousJoin)
            hide();
        return;
    }
    if (status == ORVOSDK::MEETING_STATUS_CONNECTING) {
        setStartButtonsEnabled(false);
        return;
    }

    m_shareJoin = false;
    reenableJoinPage();
    if (status == ORVOSDK::MEETING_STATUS_ENDED && m_anonymousJoin) {
        OrvoAuth::Instance()->Logout();
        show();
        if (!m_ui->joinWidget->isVisible())
            m_anonymousJoin = false;
    }
    if (m_ui->joinWidget->isVisible() && !reason.isEmpty()) {
        m_ui->label_editline_3->show();
        m_ui->joinError->setText(reason);
        m_ui->joinError->show();
    } else if (!reason.isEmpty()) {
        TipsDlg::showTip(reason);
    }
    if (status == ORVOSDK::MEETING_STATUS_ENDED) {
        m_joinFlow.reset();
        onMeetingEnded();
    } else if (status == ORVOSDK::MEETING_STATUS_FAILED) {
        onMeetingEnded(); // no end follows a failed join
    }
}

void MainWindow::onLockShareStatus(bool bLocked)
{
    if (!bLocked)
        return;
    ORVOSDK::IMeetingService* service = meetingService();
    if (m_shareJoin) {
        TipsDlg::showTip(LangText("msg.forbid_share_scr"));
        if (service)
            service->Leave(ORVOSDK::LEAVE_MEETING);
        return;
    }
    // The host's lock that comes with entering the meeting is not news to the user.
    if (platform::tickCount() - m_meetingStartTick <= 1000)
        return;
    TipsDlg::showTip(LangText("msg.forbid_share_scr"));
    if (ORVOSDK::IMeetingShareController* share = service ? service->GetMeetingShareController() : nullptr)
        share->StopShare();
}

void MainWindow::onInviteBtnClicked(bool& bHandled)
{
    // The SDK shows nothing of its own; the invite dialog answers this.
    bHandled = true;
    emit inviteRequested();
}

void MainWindow::onSharingStatus(ORVOSDK::SharingStatus, unsigned int) {}
void MainWindow::onShareContentNotification(unsigned int, const wchar_t*) {}
void MainWindow::onMultiShareSwitchToSingleShareNeedConfirm(ORVOSDK::IShareSwitchMultiToSingleConfirmHandler*) {}
void MainWindow::onStartShareBtnClicked() {}
void MainWindow::onEndMeetingBtnClicked() {}
void MainWindow::onParticipantListBtnClicked() {}
void MainWindow::onCustomLiveStreamMenuClicked() {}
void MainWindow::onOrvoInviteDialogFailed() {}
void MainWindow::onCCBTNClicked() {}

// ---- the user's meeting list ----

void MainWindow::OnListMeeting(int result, ORVOSDK::IList<UINT64>* meetingIds)
{
    if (result != ORVOSDK::PREMETAPIRET_SUCCESS || !meetingIds || !m_scheduleFlow)
        return;
    for (int i = 0; i < meetingIds->GetCount(); ++i) {
        ORVOSDK::IMeetingItemInfo* item = m_scheduleFlow->MeetingItem(meetingIds->GetItem(i));
        if (item && item->IsPersonalMeeting()) {
            m_personalMeetingId = item->GetMeetingNumber();
            m_personalMeetingUniqueId = item->GetMeetingUniqueID();
            m_ui->myPMI->setText(formatMeetingNumber(QString::number(m_personalMeetingId)));
        }
    }
    emit notifyResize();
}

// Schedule results belong to the meetings page, which is not part of this window yet.
void MainWindow::OnScheduleOrEditMeeting(int, UINT64) {}
void MainWindow::OnDeleteMeeting(int) {}

// ---- join history popup ----

void MainWindow::on_popupHistory_clicked()
{
    const QString current = stripMeetingNumber(m_ui->meetingID->text());
    m_ui->popupHistory->setDown(true);
    m_ui->popupHistory->setEnabled(false);
    auto* popup = new HistoryMeetings(int(m_history.size()), this);
    popup->show();
    popup->fill(m_history, current);
    popup->move(m_ui->meetingID->mapToGlobal(QPoint(0, m_ui->meetingID->height())));
}

void MainWindow::loadJoinHistory(const QString& account, bool share)
{
    m_historyAccount = account;
    m_historyShare = share;
    m_history = settings::loadHistory(account, share);
}

void MainWindow::saveJoinHistory()
{
    settings::saveHistory(m_historyAccount, m_historyShare, m_history);
}

void MainWindow::clearJoinHistory()
{
    m_history.clear();
    saveJoinHistory();
}

void MainWindow::addJoinHistory(UINT64 meetingNumber, const QString& topic)
{
    for (auto it = m_history.begin(); it != m_history.end(); ++it) {
        if (std::strtoull(it->second.id.c_str(), nullptr, 10) == meetingNumber) {
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
    m_history.emplace(now, settings::HistoryEntry{std::to_string(meetingNumber), name.toStdString()});
    saveJoinHistory();
}

void MainWindow::setMeetingIdText(const QString& text)
{
    m_ui->meetingID->setText(text);
}

void MainWindow::historyPopupClosed()
{
    m_ui->popupHistory->setEnabled(true);
    m_ui->popupHistory->setDown(false);
}
