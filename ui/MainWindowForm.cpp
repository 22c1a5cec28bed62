#include "MainWindowForm.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QStyle>

#include "base/Localization.h"
#include "ui/Accessible.h"
#include "ui/ClickableLabel.h"
#include "ui/RecordingsView.h"
#include "ui/Styles.h"

namespace {

template <typename T> T* make(QWidget* parent, const char* name, int x, int y, int w, int h)
{
    auto* widget = new T(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

QWidget* page(QWidget* parent, const char* name, int w, int h)
{
    return make<QWidget>(parent, name, 0, 0, w, h);
}

} // namespace

void MainWindowForm::setupUi(QMainWindow* window)
{
    window->setObjectName(QStringLiteral("MainWindow"));
    window->resize(680, 420);
    horizontalWidget_app = make<QWidget>(nullptr, "horizontalWidget_app", 0, 0, 680, 420);
    window->setCentralWidget(horizontalWidget_app);

    // Home page: 680 x 420.
    homeWidget = page(horizontalWidget_app, "homeWidget", 680, 420);
    loading = make<QLabel>(homeWidget, "loading", 324, 300, 32, 32);
    label_offline = make<QLabel>(homeWidget, "label_offline", 90, 340, 500, 46);
    label_offline->setAlignment(Qt::AlignCenter);
    label_offline->setWordWrap(true);
    label_offline->hide();
    loginButton = make<QPushButton>(homeWidget, "loginButton", 230, 262, 220, 40);
    joinButton = make<QPushButton>(homeWidget, "joinButton", 230, 314, 220, 40);
    label_version = make<QLabel>(homeWidget, "label_version", 16, 390, 240, 20);
    label_register = make<ClickableLabel>(homeWidget, "label_register", 330, 390, 334, 20);
    label_register->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label_register->setTextFormat(Qt::RichText);

    // Sign-in page.
    loginWidget = page(horizontalWidget_app, "loginWidget", 680, 420);
    backHomeL = make<ClickableLabel>(loginWidget, "backHomeL", 16, 16, 24, 24);
    label_login = make<QLabel>(loginWidget, "label_login", 190, 50, 300, 36);
    label_login->setAlignment(Qt::AlignCenter);
    label_account = make<QLabel>(loginWidget, "label_account", 100, 112, 130, 32);
    userAccount = make<QLineEdit>(loginWidget, "userAccount", 240, 112, 280, 32);
    label_editline_1 = make<QLabel>(loginWidget, "label_editline_1", 240, 144, 280, 2);
    label_password = make<QLabel>(loginWidget, "label_password", 100, 160, 130, 32);
    userPassword = make<QLineEdit>(loginWidget, "userPassword", 240, 160, 280, 32);
    userPassword->setEchoMode(QLineEdit::Password);
    label_editline_2 = make<QLabel>(loginWidget, "label_editline_2", 240, 192, 280, 2);
    for (QLabel* l : {label_account, label_password})
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    memoryUser = make<QCheckBox>(loginWidget, "memoryUser", 240, 204, 280, 24);
    loginError = make<QLabel>(loginWidget, "loginError", 240, 230, 280, 44);
    loginMeeting = make<QPushButton>(loginWidget, "loginMeeting", 240, 274, 280, 40);
    logining = make<QLabel>(loginWidget, "logining", 364, 324, 32, 32);

    // Phone verification page.
    verificationWidget = page(horizontalWidget_app, "verificationWidget", 680, 420);
    backHomeV = make<ClickableLabel>(verificationWidget, "backHomeV", 16, 16, 24, 24);
    label_verification = make<QLabel>(verificationWidget, "label_verification", 190, 36, 300, 36);
    label_verification->setAlignment(Qt::AlignCenter);
    label_verification_tips = make<QLabel>(verificationWidget, "label_verification_tips", 100, 72, 480, 44);
    label_verification_tips->setAlignment(Qt::AlignCenter);
    label_verification_tips->setWordWrap(true);
    label_phone = make<QLabel>(verificationWidget, "label_phone", 100, 116, 130, 32);
    phoneNumber = make<QLineEdit>(verificationWidget, "phoneNumber", 240, 116, 160, 32);
    getVCode = make<ClickableLabel>(verificationWidget, "getVCode", 400, 116, 120, 32);
    getVCode->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label_editline_5 = make<QLabel>(verificationWidget, "label_editline_5", 240, 148, 280, 2);
    label_code = make<QLabel>(verificationWidget, "label_code", 100, 164, 130, 32);
    VCode = make<QLineEdit>(verificationWidget, "VCode", 240, 164, 280, 32);
    label_editline_6 = make<QLabel>(verificationWidget, "label_editline_6", 240, 196, 280, 2);
    for (QLabel* l : {label_phone, label_code})
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    verificationError = make<QLabel>(verificationWidget, "verificationError", 240, 202, 280, 44);
    verification = make<QPushButton>(verificationWidget, "verification", 240, 250, 280, 40);
    waiting = make<QLabel>(verificationWidget, "waiting", 364, 302, 32, 32);

    // Join page.
    joinWidget = page(horizontalWidget_app, "joinWidget", 680, 420);
    backHomeJ = make<ClickableLabel>(joinWidget, "backHomeJ", 16, 16, 24, 24);
    label_join = make<QLabel>(joinWidget, "label_join", 190, 50, 300, 36);
    label_join->setAlignment(Qt::AlignCenter);
    label_share_tips = make<QLabel>(joinWidget, "label_share_tips", 100, 88, 480, 20);
    label_share_tips->setAlignment(Qt::AlignCenter);
    label_meetingid = make<QLabel>(joinWidget, "label_meetingid", 100, 112, 130, 32);
    meetingID = make<QLineEdit>(joinWidget, "meetingID", 240, 112, 252, 32);
    popupHistory = make<QPushButton>(joinWidget, "popupHistory", 494, 116, 26, 24);
    label_editline_3 = make<QLabel>(joinWidget, "label_editline_3", 240, 144, 280, 2);
    label_nickname = make<QLabel>(joinWidget, "label_nickname", 100, 160, 130, 32);
    userName = make<QLineEdit>(joinWidget, "userName", 240, 160, 280, 32);
    label_editline_4 = make<QLabel>(joinWidget, "label_editline_4", 240, 192, 280, 2);
    for (QLabel* l : {label_meetingid, label_nickname})
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    joinError = make<QLabel>(joinWidget, "joinError", 240, 200, 280, 44);
    joinMeeting = make<QPushButton>(joinWidget, "joinMeeting", 240, 248, 280, 40);
    joining = make<QLabel>(joinWidget, "joining", 364, 300, 32, 32);
    // Failure texts run to two lines.
    for (QLabel* error : {loginError, verificationError, joinError})
        error->setWordWrap(true);

    // Main page: 360 x 667, toolbar at the bottom.
    mainWidget = page(horizontalWidget_app, "mainWidget", 360, 667);
    homepage = make<QWidget>(mainWidget, "homepage", 0, 0, 360, 607);
    accountIcon = make<ClickableLabel>(homepage, "accountIcon", 20, 24, 42, 42);
    accountIcon->setAlignment(Qt::AlignCenter);
    myDisplayName = make<ClickableLabel>(homepage, "myDisplayName", 72, 30, 170, 30);
    label_pop = make<ClickableLabel>(homepage, "label_pop", 292, 39, 10, 6);
    settingsButton = make<QPushButton>(homepage, "settingsButton", 256, 30, 88, 30);
    videoMeeting = make<QPushButton>(homepage, "videoMeeting", 50, 140, 100, 100);
    label_video_meeting = make<QLabel>(homepage, "label_video_meeting", 30, 246, 140, 24);
    joinTheMeeting = make<QPushButton>(homepage, "joinTheMeeting", 210, 140, 100, 100);
    label_join_meeting = make<QLabel>(homepage, "label_join_meeting", 190, 246, 140, 24);
    scheduleMeeting = make<QPushButton>(homepage, "scheduleMeeting", 50, 320, 100, 100);
    label_schedule_meeting = make<QLabel>(homepage, "label_schedule_meeting", 30, 426, 140, 24);
    shareScreen = make<QPushButton>(homepage, "shareScreen", 210, 320, 100, 100);
    label_share_screen = make<QLabel>(homepage, "label_share_screen", 190, 426, 140, 24);
    for (QLabel* caption : {label_video_meeting, label_join_meeting, label_schedule_meeting, label_share_screen})
        caption->setAlignment(Qt::AlignCenter);
    upgradeWidget = make<QWidget>(mainWidget, "upgradeWidget", 0, 0, 360, 24);
    label_notifyUpdate = make<QLabel>(upgradeWidget, "label_notifyUpdate", 10, 2, 250, 20);
    label_updateLink = make<ClickableLabel>(upgradeWidget, "label_updateLink", 262, 2, 90, 20);
    label_updateLink->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    meetings = make<QWidget>(mainWidget, "meetings", 0, 0, 360, 607);
    myMeeting = make<QPushButton>(meetings, "myMeeting", 0, 14, 180, 40);
    videoList = make<QPushButton>(meetings, "videoList", 180, 14, 180, 40);
    refreshList = make<QPushButton>(meetings, "refreshList", 326, 68, 24, 24);
    // The caption over the number it names; the always-use box has a row of its own, as its text
    // is longer than the space beside the buttons in either language.
    verticalWidget_PMI = make<QWidget>(meetings, "verticalWidget_PMI", 0, 60, 360, 140);
    PMIUI = make<QLabel>(verticalWidget_PMI, "PMIUI", 220, 8, 100, 24);
    myselfTag = make<QLabel>(verticalWidget_PMI, "myselfTag", 20, 8, 290, 24);
    myPMI = make<QLabel>(verticalWidget_PMI, "myPMI", 20, 34, 320, 28);
    verticalWidget_pmiCtrl = make<QWidget>(verticalWidget_PMI, "verticalWidget_pmiCtrl", 20, 70, 191, 32);
    usingPMI = make<QCheckBox>(verticalWidget_PMI, "usingPMI", 20, 108, 330, 24);
    startMeeting = make<QPushButton>(verticalWidget_pmiCtrl, "startMeeting", 0, 0, 60, 30);
    editPMI = make<QPushButton>(verticalWidget_pmiCtrl, "editPMI", 64, 0, 60, 30);
    planMenu = make<QPushButton>(verticalWidget_pmiCtrl, "planMenu", 128, 0, 60, 30);
    verticalWidget_plan = make<QWidget>(meetings, "verticalWidget_plan", 0, 202, 360, 405);
    listWidget_plan = make<QListWidget>(verticalWidget_plan, "listWidget_plan", 0, 0, 360, 405);
    verticalWidget_video = make<QWidget>(meetings, "verticalWidget_video", 0, 60, 360, 547);
    listWidget_video = make<RecordingsView>(verticalWidget_video, "listWidget_video", 0, 0, 360, 547);
    for (QListWidget* list : {listWidget_plan, listWidget_video}) {
        list->setFrameShape(QFrame::NoFrame);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }

    refreshList->raise(); // it sits in the corner of the personal-room panel
    toolbarWidget = make<QWidget>(mainWidget, "toolbarWidget", 0, 607, 360, 60);
    homePageBtn = make<QPushButton>(toolbarWidget, "homePageBtn", 0, 2, 180, 56);
    meetingsPageBtn = make<QPushButton>(toolbarWidget, "meetingsPageBtn", 180, 2, 180, 56);

    // The home page shows first; the other pages, the failure texts and the field markers when needed.
    for (QWidget* w : std::initializer_list<QWidget*>{
             verificationWidget, loginWidget, joinWidget, mainWidget, upgradeWidget, loginError, verificationError,
             joinError, label_share_tips, listWidget_video, label_editline_1, label_editline_2, label_editline_3,
             label_editline_4, label_editline_5, label_editline_6})
        w->hide();

    QMetaObject::connectSlotsByName(window);
}

void MainWindowForm::applyStyles(QMainWindow* window, int languageId)
{
    window->setWindowIcon(QIcon(QStringLiteral(":/UI/res/logo.png")));
    styles::pageBackground(homeWidget, ":/UI/res/home.png", homeWidget->size());
    label_pop->setPixmap(QPixmap(QStringLiteral(":/UI/res/ic_arrow.png")));

    // Home, sign-in, verification and join pages.
    joinButton->setStyleSheet(styles::primaryButton());
    loginButton->setStyleSheet(styles::homeLoginButton());
    for (QPushButton* b : {loginMeeting, verification, joinMeeting})
        b->setStyleSheet(styles::primaryButton());
    for (QLabel* l : {loginError, verificationError, joinError})
        l->setStyleSheet(styles::errorLabel());
    for (ClickableLabel* l : {backHomeL, backHomeV, backHomeJ})
        l->setStyleSheet(styles::backLabel());
    for (QLabel* l :
         {label_editline_1, label_editline_2, label_editline_3, label_editline_4, label_editline_5, label_editline_6})
        l->setStyleSheet(styles::editLine());
    getVCode->setStyleSheet(styles::link(true));
    popupHistory->setStyleSheet(QStringLiteral("QPushButton{border:none;background-image:url(:/UI/res/arrow_down.png);"
                                               "background-repeat:no-repeat;background-position:center;}"));

    // Main page.
    const QString suffix = languageId == 1 ? QStringLiteral("_en") : QString();
    settingsButton->setStyleSheet(
        QStringLiteral("QPushButton{border:none;background-image:url(:/UI/res/setting_btn_mormal%1.png);}"
                       "QPushButton:hover{background-image:url(:/UI/res/setting_btn_hover%1.png);}"
                       "QPushButton:pressed{background-image:url(:/UI/res/setting_btn_down%1.png);}")
            .arg(suffix));
    label_updateLink->setStyleSheet(styles::link(true));
    upgradeWidget->setStyleSheet(QStringLiteral("#upgradeWidget{background-color:rgb(255,251,230);}"));
    videoMeeting->setStyleSheet(styles::tile("pic_initiate", true));
    joinTheMeeting->setStyleSheet(styles::tile("pic_join", true));
    scheduleMeeting->setStyleSheet(styles::tile("pic_plan", false));
    shareScreen->setStyleSheet(styles::tile("pic_share", true));
    homePageBtn->setStyleSheet(styles::toolbarTab("home_btn_mormal", "home_btn_selected", true, languageId));
    meetingsPageBtn->setStyleSheet(styles::toolbarTab("meeting_btn_normal", "meeting_btn_selected", false, languageId));
    myMeeting->setStyleSheet(styles::meetingsSwitch("mymeeting_sel.png"));
    videoList->setStyleSheet(styles::meetingsSwitch("videolist_normal.png"));
    for (QPushButton* b : {startMeeting, editPMI, planMenu})
        b->setStyleSheet(styles::grayButton());
    // No picture of its own: the desktop's reload symbol on a bare button.
    refreshList->setIcon(refreshList->style()->standardIcon(QStyle::SP_BrowserReload));
    refreshList->setStyleSheet(QStringLiteral("QPushButton{border:none;background:transparent;}"));
}

void MainWindowForm::applyTexts(QMainWindow* window)
{
    window->setWindowTitle(LangText("ui.window"));

    // Home page. "how" + a link + "tail", so the link text can be a different colour.
    label_version->setText(LangFormat("ui.label_version", "1.5.0"));
    label_register->setText(LangText("ui.how").toHtmlEscaped() +
                            QStringLiteral("<a style=\"color:#1890FF;text-decoration:none\" href=\"#\">%1</a>")
                                .arg(LangText("ui.label_register").toHtmlEscaped()) +
                            LangText("ui.tail").toHtmlEscaped());
    loginButton->setText(LangText("ui.loginButton"));
    joinButton->setText(LangText("ui.joinButton"));

    // Sign-in and verification pages.
    label_login->setText(LangText("ui.label_login"));
    label_account->setText(LangText("ui.label_account"));
    label_password->setText(LangText("ui.label_password"));
    memoryUser->setText(LangText("ui.memoryUser"));
    loginMeeting->setText(LangText("ui.loginMeeting"));
    label_verification->setText(LangText("ui.label_verification"));
    label_verification_tips->setText(LangText("ui.label_tips"));
    label_phone->setText(LangText("ui.label_phone"));
    label_code->setText(LangText("ui.label_code"));
    getVCode->setText(LangText("ui.btn_getCode"));
    verification->setText(LangText("ui.btn_verification"));

    // Join page.
    label_join->setText(LangText("ui.label_join"));
    label_meetingid->setText(LangText("ui.label_meetingid"));
    label_nickname->setText(LangText("ui.label_nickname"));
    joinMeeting->setText(LangText("ui.joinMeeting"));

    // Main page.
    label_notifyUpdate->setText(LangText("ui.label_notifyUpdate"));
    label_updateLink->setText(LangText("ui.label_updateLink"));
    label_video_meeting->setText(LangText("ui.label_video_meeting"));
    label_join_meeting->setText(LangText("ui.label_join_meeting"));
    label_schedule_meeting->setText(LangText("ui.label_schedule_meeting"));
    label_share_screen->setText(LangText("ui.label_share_screen"));
    myMeeting->setText(LangText("ui.myMeeting"));
    videoList->setText(LangText("ui.videoList"));
    myselfTag->setText(LangText("ui.myselfTag"));
    usingPMI->setText(LangText("ui.usingPMI"));
    startMeeting->setText(LangText("ui.startMeeting"));
    editPMI->setText(LangText("ui.editPMI"));
    planMenu->setText(LangText("ui.planMenu"));

    for (ClickableLabel* back : {backHomeL, backHomeV, backHomeJ})
        accessible::name(back, LangText("ui.a11y.back"));
    accessible::label(label_account, userAccount);
    accessible::label(label_password, userPassword);
    accessible::label(label_phone, phoneNumber, LangText("ui.label_tips"));
    accessible::label(label_code, VCode);
    accessible::label(label_meetingid, meetingID);
    accessible::label(label_nickname, userName);
    accessible::name(popupHistory, LangText("ui.a11y.history"));
    // The tiles and tabs show pictures; a reader says the caption under them.
    accessible::name(videoMeeting, label_video_meeting->text());
    accessible::name(joinTheMeeting, label_join_meeting->text());
    accessible::name(scheduleMeeting, label_schedule_meeting->text());
    accessible::name(shareScreen, label_share_screen->text());
    accessible::name(settingsButton, LangText("ui.a11y.settings"));
    accessible::name(accountIcon, LangText("ui.a11y.account"));
    accessible::name(label_pop, LangText("ui.a11y.account"));
    // Until the profile arrives the name label is empty; the profile then names it (showDisplayName).
    accessible::name(myDisplayName, LangText("ui.a11y.account"), LangText("ui.a11y.account"));
    accessible::name(homePageBtn, LangText("ui.a11y.home_tab"));
    accessible::name(meetingsPageBtn, LangText("ui.a11y.meetings_tab"));
    accessible::name(refreshList, LangText("ui.a11y.refresh"));
    accessible::name(listWidget_plan, LangText("ui.myMeeting"));
    accessible::name(listWidget_video, LangText("ui.videoList"));
}
