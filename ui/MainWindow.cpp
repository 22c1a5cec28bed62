#include "MainWindow.h"

#include "app/Localization.h"
#include "app/Startup.h"
#include "platform/Shell.h"
#include "ui/ClickableLabel.h"
#include "ui/MainWindowForm.h"
#include "ui/MeetingNumber.h"
#include "ui/MessageBox.h"
#include "ui/Styles.h"

#include <QCheckBox>
#include <cstdlib>
#include <QDateTime>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMovie>
#include <QPushButton>
#include <QRegExpValidator>

namespace {

const int kSmallWidth = 680;
const int kSmallHeight = 420;
const int kMainWidth = 360;
const int kMainHeight = 667;
const int kMainMaxHeight = 1080;

void setBackground(QWidget *page, const char *picture, const QSize &size)
{
    page->setAutoFillBackground(true);
    QPalette palette = page->palette();
    palette.setBrush(QPalette::Window, QBrush(QPixmap(QString::fromLatin1(picture))
                                                  .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    page->setPalette(palette);
}

void setWhiteBackground(QWidget *widget)
{
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::white);
    widget->setPalette(palette);
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_ui(std::make_unique<MainWindowForm>())
{
    m_ui->setupUi(this);
    m_alwaysUsePmi = settings::readAlwaysUsePmi();

    setWindowIcon(QIcon(QStringLiteral(":/UI/res/logo.png")));
    const QSize small(kSmallWidth, kSmallHeight);
    setBackground(m_ui->homeWidget, ":/UI/res/home.png", small);
    setBackground(m_ui->loginWidget, ":/UI/res/login.png", small);
    setBackground(m_ui->joinWidget, ":/UI/res/login.png", small);
    setBackground(m_ui->verificationWidget, ":/UI/res/verification.png", small);
    m_ui->label_pop->setPixmap(QPixmap(QStringLiteral(":/UI/res/ic_arrow.png")));
    applyStyles();

    for (QWidget *w : std::initializer_list<QWidget *>{
             m_ui->verificationWidget, m_ui->loginWidget, m_ui->joinWidget, m_ui->mainWidget, m_ui->upgradeWidget,
             m_ui->loginError, m_ui->verificationError, m_ui->joinError, m_ui->label_share_tips,
             m_ui->listWidget_video, m_ui->label_editline_1, m_ui->label_editline_2, m_ui->label_editline_3,
             m_ui->label_editline_4, m_ui->label_editline_5, m_ui->label_editline_6})
        w->hide();
    // Until the SDK has authenticated the application, nobody can sign in or join.
    for (QPushButton *b : {m_ui->joinButton, m_ui->loginButton}) {
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

    const QRegExp digits(QStringLiteral("[0-9]+$"));
    // Dashes are inserted by the grouping, so the meeting field accepts them too.
    m_ui->meetingID->setValidator(new QRegExpValidator(QRegExp(QStringLiteral("[0-9-]+$")), m_ui->meetingID));
    m_ui->meetingID->setMaxLength(13);
    m_ui->phoneNumber->setValidator(new QRegExpValidator(digits, m_ui->phoneNumber));
    m_ui->phoneNumber->setMaxLength(11);
    m_ui->VCode->setMaxLength(10);

    m_loadingMovie = new QMovie(QStringLiteral(":/UI/res/loading.gif"), QByteArray(), this);
    m_ui->usingPMI->setChecked(m_alwaysUsePmi);

    connect(this, &MainWindow::notifyResize, this, &MainWindow::on_notifyResize);
    connect(this, &MainWindow::notifyJoinMeeting, this, &MainWindow::on_notifyJoinMeeting);
    connect(m_ui->meetingID, &QLineEdit::textChanged, this, &MainWindow::on_editMeetingID);

    setFixedSize(kSmallWidth, kSmallHeight);
    applyTexts();
    startMovie(m_ui->loading);

    m_handle = platform::registerWindow(this);
    settings::writeWindowHandle(m_handle);
    emit asynInitSDK();
    loadJoinHistory(QString(), false);
}

MainWindow::~MainWindow()
{
    if (m_handle)
        platform::unregisterWindow(m_handle);
}

void MainWindow::applyStyles()
{
    const int lang = Localization::Instance()->languageId();
    for (QPushButton *b : {m_ui->joinButton, m_ui->loginMeeting, m_ui->verification, m_ui->joinMeeting})
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
    m_ui->meetingsPageBtn->setStyleSheet(
        styles::toolbarTab("meeting_btn_normal", "meeting_btn_selected", false, lang));
    m_ui->myMeeting->setStyleSheet(styles::meetingsSwitch("mymeeting_sel.png"));
    m_ui->videoList->setStyleSheet(styles::meetingsSwitch("videolist_normal.png"));
    m_ui->popupHistory->setStyleSheet(
        QStringLiteral("QPushButton{border:none;background-image:url(:/UI/res/arrow_down.png);"
                       "background-repeat:no-repeat;background-position:center;}"));
    for (QPushButton *b : {m_ui->startMeeting, m_ui->editPMI, m_ui->planMenu})
        b->setStyleSheet(styles::grayButton());
    for (QLabel *l : {m_ui->loginError, m_ui->verificationError, m_ui->joinError})
        l->setStyleSheet(styles::errorLabel());
    for (QLabel *l : {m_ui->label_editline_1, m_ui->label_editline_2, m_ui->label_editline_3,
                      m_ui->label_editline_4, m_ui->label_editline_5, m_ui->label_editline_6})
        l->setStyleSheet(styles::editLine());
    for (ClickableLabel *l : {m_ui->backHomeL, m_ui->backHomeV, m_ui->backHomeJ})
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
    m_ui->label_register->setText(
        LangText("ui.how").toHtmlEscaped() +
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

void MainWindow::setPendingMeetingId(const QString &text) { m_pendingMeetingId = text.left(31); }

void MainWindow::startMovie(QLabel *label)
{
    label->setMovie(m_loadingMovie);
    label->show();
    m_loadingMovie->start();
}

void MainWindow::stopMovie(QLabel *label)
{
    m_loadingMovie->stop();
    label->hide();
}

void MainWindow::showOnly(QWidget *page)
{
    for (QWidget *p : {m_ui->homeWidget, m_ui->loginWidget, m_ui->verificationWidget, m_ui->joinWidget,
                       m_ui->mainWidget})
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
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible)
        show(); // changing the flags hides the window
}

bool MainWindow::event(QEvent *event)
{
    if (event->type() == platform::WindowMessageEvent::eventType()) {
        handleWindowMessage(*static_cast<platform::WindowMessageEvent *>(event));
        return true;
    }
    return QMainWindow::event(event);
}

void MainWindow::handleWindowMessage(const platform::WindowMessageEvent &message)
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
        // Joining as the signed-in user comes with the SDK layer.
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
    }
    // Otherwise the number waits until the join page is filled next.
}

void MainWindow::on_joinButton_clicked()
{
    if (authStatus() == 0)
        return; // the SDK is not ready yet; a pending number stays in the buffer
}

void MainWindow::on_loginButton_clicked()
{
    m_anonymousJoin = false;
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
    if (m_anonymousJoin) {
        showOnly(m_ui->homeWidget);
        m_ui->phoneNumber->clear();
        m_ui->VCode->clear();
        m_ui->verificationError->clear();
        m_ui->verificationError->hide();
        stopMovie(m_ui->waiting);
        m_ui->label_editline_5->hide();
        m_ui->label_editline_6->hide();
        for (QWidget *w : std::initializer_list<QWidget *>{m_ui->verification, m_ui->getVCode, m_ui->phoneNumber,
                                                           m_ui->VCode})
            w->setEnabled(true);
        m_ui->getVCode->setText(LangText("ui.btn_getCode"));
        m_ui->getVCode->setStyleSheet(styles::link(true));
        m_anonymousJoin = false;
    } else {
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

void MainWindow::on_homePageBtn_clicked()
{
    const int lang = Localization::Instance()->languageId();
    m_ui->meetings->hide();
    m_ui->homepage->show();
    m_ui->homePageBtn->setStyleSheet(styles::toolbarTab("home_btn_mormal", "home_btn_selected", true, lang));
    m_ui->meetingsPageBtn->setStyleSheet(
        styles::toolbarTab("meeting_btn_normal", "meeting_btn_selected", false, lang));
}

void MainWindow::on_meetingsPageBtn_clicked()
{
    const int lang = Localization::Instance()->languageId();
    m_ui->homepage->hide();
    m_ui->meetings->show();
    m_ui->homePageBtn->setStyleSheet(styles::toolbarTab("home_btn_mormal", "home_btn_selected", false, lang));
    m_ui->meetingsPageBtn->setStyleSheet(
        styles::toolbarTab("meeting_btn_normal", "meeting_btn_selected", true, lang));
    emit notifyResize();
}

void MainWindow::on_label_register_clicked()
{
    platform::shellOpen(QStringLiteral("https://%1/guide/PC/pcguide.html").arg(QStringLiteral("127.0.0.1:18443")));
}

void MainWindow::on_editMeetingID(const QString &text)
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

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // The sign-in, join and verification actions come with the SDK layer; Enter is consumed there.
        if (m_ui->loginWidget->isVisible() || m_ui->joinWidget->isVisible() || m_ui->verificationWidget->isVisible())
            return;
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

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    on_notifyResize();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (isMinimized())
        showNormal();
    setTopMost(true);

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
    const int answer = MessageBox::show(this, MessageBox::Question, LangText("ui.window"), LangText("msg.exit_request"),
                                        LangText("box.ok"), LangText("box.cancel"));
    if (answer == MessageBox::FirstButton) {
        startup::startExitWatchdog(m_watchdogStarted);
        event->accept();
    } else {
        setTopMost(false);
        event->ignore();
    }
}

void MainWindow::on_systemTrayExit() { close(); }

void MainWindow::tearDown()
{
    if (m_tornDown)
        return;
    m_tornDown = true;
    startup::startExitWatchdog(m_watchdogStarted);
    for (QListWidget *list : {m_ui->listWidget_plan, m_ui->listWidget_video}) {
        while (list->count() > 0) {
            QWidget *row = list->itemWidget(list->item(0));
            list->removeItemWidget(list->item(0));
            delete list->takeItem(0);
            delete row;
        }
    }
    m_history.clear();
}

void MainWindow::loadJoinHistory(const QString &account, bool share)
{
    m_historyAccount = account;
    m_historyShare = share;
    m_history = settings::loadHistory(account, share);
}

void MainWindow::saveJoinHistory() { settings::saveHistory(m_historyAccount, m_historyShare, m_history); }

void MainWindow::clearJoinHistory()
{
    m_history.clear();
    saveJoinHistory();
}

void MainWindow::addJoinHistory(UINT64 meetingNumber, const QString &topic)
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

void MainWindow::setMeetingIdText(const QString &text) { m_ui->meetingID->setText(text); }

void MainWindow::historyPopupClosed()
{
    m_ui->popupHistory->setEnabled(true);
    m_ui->popupHistory->setDown(false);
}
