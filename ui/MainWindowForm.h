#pragma once
// The main window's form, built in code: five pages shown and hidden in place.

class ClickableLabel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMainWindow;
class QPushButton;
class QWidget;

struct MainWindowForm
{
    QWidget* horizontalWidget_app = nullptr;

    // home page
    QWidget* homeWidget = nullptr;
    QPushButton* loginButton = nullptr;
    QPushButton* joinButton = nullptr;
    QLabel* loading = nullptr;
    QLabel* label_offline = nullptr;
    QLabel* label_version = nullptr;
    ClickableLabel* label_register = nullptr;

    // sign-in page
    QWidget* loginWidget = nullptr;
    ClickableLabel* backHomeL = nullptr;
    QLabel* label_login = nullptr;
    QLabel* label_account = nullptr;
    QLabel* label_password = nullptr;
    QCheckBox* memoryUser = nullptr;
    QPushButton* loginMeeting = nullptr;
    QLineEdit* userAccount = nullptr;
    QLineEdit* userPassword = nullptr;
    QLabel* loginError = nullptr;
    QLabel* logining = nullptr;
    QLabel* label_editline_1 = nullptr;
    QLabel* label_editline_2 = nullptr;

    // phone verification page
    QWidget* verificationWidget = nullptr;
    QPushButton* verification = nullptr;
    QLabel* label_verification_tips = nullptr;
    QLabel* verificationError = nullptr;
    QLabel* label_phone = nullptr;
    QLineEdit* VCode = nullptr;
    QLabel* label_verification = nullptr;
    QLineEdit* phoneNumber = nullptr;
    QLabel* label_code = nullptr;
    ClickableLabel* backHomeV = nullptr;
    QLabel* waiting = nullptr;
    ClickableLabel* getVCode = nullptr;
    QLabel* label_editline_5 = nullptr;
    QLabel* label_editline_6 = nullptr;

    // join page
    QWidget* joinWidget = nullptr;
    QLabel* label_join = nullptr;
    QPushButton* joinMeeting = nullptr;
    QLabel* label_meetingid = nullptr;
    QLabel* label_nickname = nullptr;
    ClickableLabel* backHomeJ = nullptr;
    QLineEdit* userName = nullptr;
    QLabel* joinError = nullptr;
    QLabel* joining = nullptr;
    QLabel* label_share_tips = nullptr;
    QLabel* label_editline_3 = nullptr;
    QLabel* label_editline_4 = nullptr;
    QLineEdit* meetingID = nullptr;
    QPushButton* popupHistory = nullptr;

    // main page
    QWidget* mainWidget = nullptr;
    QWidget* upgradeWidget = nullptr;
    QLabel* label_notifyUpdate = nullptr;
    ClickableLabel* label_updateLink = nullptr;
    QWidget* homepage = nullptr;
    QPushButton* settingsButton = nullptr;
    QPushButton* videoMeeting = nullptr;
    QPushButton* joinTheMeeting = nullptr;
    QPushButton* scheduleMeeting = nullptr;
    QPushButton* shareScreen = nullptr;
    QLabel* label_video_meeting = nullptr;
    QLabel* label_join_meeting = nullptr;
    QLabel* label_schedule_meeting = nullptr;
    QLabel* label_share_screen = nullptr;
    ClickableLabel* accountIcon = nullptr;
    ClickableLabel* myDisplayName = nullptr;
    ClickableLabel* label_pop = nullptr;
    QWidget* meetings = nullptr;
    QPushButton* myMeeting = nullptr;
    QPushButton* videoList = nullptr;
    QPushButton* refreshList = nullptr;
    QWidget* verticalWidget_PMI = nullptr;
    QLabel* PMIUI = nullptr;
    QLabel* myselfTag = nullptr;
    QLabel* myPMI = nullptr;
    QWidget* verticalWidget_pmiCtrl = nullptr;
    QCheckBox* usingPMI = nullptr;
    QPushButton* startMeeting = nullptr;
    QPushButton* editPMI = nullptr;
    QPushButton* planMenu = nullptr;
    QWidget* verticalWidget_plan = nullptr;
    QListWidget* listWidget_plan = nullptr;
    QWidget* verticalWidget_video = nullptr;
    QListWidget* listWidget_video = nullptr;
    QWidget* toolbarWidget = nullptr;
    QPushButton* homePageBtn = nullptr;
    QPushButton* meetingsPageBtn = nullptr;

    // Creates every widget with its object name and geometry, only the home page in sight, then
    // connects slots by name.
    void setupUi(QMainWindow* window);
    // The fixed look: the window icon, the home page's picture and the single widgets' style sheets.
    // The other pages get their pictures when first shown: decoding them all would double the time
    // to the first window. Language 1 takes the pictures that carry English captions.
    void applyStyles(QMainWindow* window, int languageId);
    // Window title, captions and screen-reader names from the loaded language pack.
    void applyTexts(QMainWindow* window);
};
