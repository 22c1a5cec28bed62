#include "ui/MeetingsTab.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "base/Localization.h"
#include "base/MeetingNumber.h"
#include "base/Settings.h"
#include "sdk/AuthUIEvent.h"
#include "sdk/CSDKSheduleMeetingUIWorkFlow.h"
#include "sdk/HostMeeting.h"
#include "sdk/MeetingControls.h"
#include "ui/MainWindowForm.h"
#include "ui/MessageBox.h"
#include "ui/ShellHost.h"
#include "ui/Styles.h"
#include "ui/TipsDlg.h"

namespace {
const int kMainWidth = 360;
const int kMainHeight = 667;
} // namespace

MeetingsTab::MeetingsTab(MainWindowForm& form, ShellHost& host, QObject* parent)
    : QObject(parent)
    , m_ui(form)
    , m_host(host)
    , m_alwaysUsePmi(settings::readAlwaysUsePmi())
{
    m_ui.usingPMI->setChecked(m_alwaysUsePmi);
}

MeetingsTab::~MeetingsTab() = default;

void MeetingsTab::applyStyles()
{
    const int lang = Localization::Instance()->languageId();
    m_ui.videoMeeting->setStyleSheet(styles::tile("pic_initiate", true));
    m_ui.joinTheMeeting->setStyleSheet(styles::tile("pic_join", true));
    m_ui.scheduleMeeting->setStyleSheet(styles::tile("pic_plan", false));
    m_ui.shareScreen->setStyleSheet(styles::tile("pic_share", true));
    m_ui.homePageBtn->setStyleSheet(styles::toolbarTab("home_btn_mormal", "home_btn_selected", true, lang));
    m_ui.meetingsPageBtn->setStyleSheet(styles::toolbarTab("meeting_btn_normal", "meeting_btn_selected", false, lang));
    m_ui.myMeeting->setStyleSheet(styles::meetingsSwitch("mymeeting_sel.png"));
    m_ui.videoList->setStyleSheet(styles::meetingsSwitch("videolist_normal.png"));
    for (QPushButton* b : {m_ui.startMeeting, m_ui.editPMI, m_ui.planMenu})
        b->setStyleSheet(styles::grayButton());
}

void MeetingsTab::applyTexts()
{
    m_ui.label_video_meeting->setText(LangText("ui.label_video_meeting"));
    m_ui.label_join_meeting->setText(LangText("ui.label_join_meeting"));
    m_ui.label_schedule_meeting->setText(LangText("ui.label_schedule_meeting"));
    m_ui.label_share_screen->setText(LangText("ui.label_share_screen"));
    m_ui.myMeeting->setText(LangText("ui.myMeeting"));
    m_ui.videoList->setText(LangText("ui.videoList"));
    m_ui.myselfTag->setText(LangText("ui.myselfTag"));
    m_ui.usingPMI->setText(LangText("ui.usingPMI"));
    m_ui.startMeeting->setText(LangText("ui.startMeeting"));
    m_ui.editPMI->setText(LangText("ui.editPMI"));
    m_ui.planMenu->setText(LangText("ui.planMenu"));
}

void MeetingsTab::start(CSDKSheduleMeetingUIEvent* listener)
{
    m_scheduleFlow = std::make_unique<CSDKSheduleMeetingUIWorkFlow>();
    m_scheduleFlow->SetUIEvent(listener);
    m_ui.homepage->show();
    m_ui.meetings->hide();
    setToolbarTabs(true);
}

void MeetingsTab::setToolbarTabs(bool homeSelected)
{
    const int lang = Localization::Instance()->languageId();
    m_ui.homePageBtn->setStyleSheet(styles::toolbarTab("home_btn_mormal", "home_btn_selected", homeSelected, lang));
    m_ui.meetingsPageBtn->setStyleSheet(
        styles::toolbarTab("meeting_btn_normal", "meeting_btn_selected", !homeSelected, lang));
}

void MeetingsTab::showHomeTab()
{
    m_ui.meetings->hide();
    m_ui.homepage->show();
    setToolbarTabs(true);
}

void MeetingsTab::showMeetingsTab()
{
    m_ui.homepage->hide();
    m_ui.meetings->show();
    setToolbarTabs(false);
    emit layoutRequested();
}

void MeetingsTab::layout()
{
    const int height = m_ui.horizontalWidget_app->height();
    if (height >= kMainHeight) {
        const int content = height - 60;
        m_ui.mainWidget->resize(kMainWidth, height);
        m_ui.homepage->resize(kMainWidth, content);
        m_ui.meetings->resize(kMainWidth, content);
        m_ui.toolbarWidget->move(0, content);
        m_ui.verticalWidget_plan->resize(kMainWidth, content - m_ui.verticalWidget_plan->y());
        m_ui.verticalWidget_video->resize(kMainWidth, content - m_ui.verticalWidget_video->y());
    }
    m_ui.listWidget_plan->resize(m_ui.verticalWidget_plan->size());
    m_ui.listWidget_video->resize(m_ui.verticalWidget_video->size());
}

void MeetingsTab::setStartButtonsEnabled(bool enabled)
{
    for (QPushButton* b : {m_ui.videoMeeting, m_ui.joinTheMeeting, m_ui.shareScreen})
        b->setEnabled(enabled);
}

void MeetingsTab::startInstantMeeting(int kind)
{
    if (!m_hostFlow)
        m_hostFlow = std::make_unique<HostMeeting>();
    const UINT64 number = m_alwaysUsePmi ? m_personalMeetingId : 0;
    setStartButtonsEnabled(m_hostFlow->StartMeeting(kind, number) != 0);
}

int MeetingsTab::startMeetingByNumber(UINT64 meetingNumber)
{
    if (m_ui.videoMeeting->isEnabled()) {
        if (!m_hostFlow)
            m_hostFlow = std::make_unique<HostMeeting>();
        setStartButtonsEnabled(m_hostFlow->StartMeeting(1, meetingNumber) != 0);
        return 0;
    }
    m_host.restoreAndRaise();
    MessageBox::show(m_host.shellWidget(), MessageBox::Warning, LangText("ui.window"), LangText("msg.meeting_running"),
                     LangText("box.ok"));
    m_host.setTopMost(false);
    return -1;
}

void MeetingsTab::onMeetingStatus(int status, const QString& reason)
{
    if (!m_hostFlow)
        return;
    if (status == MeetingConnecting) {
        meetingsdk::applySettingsPageOptions();
    } else if (status == MeetingEnded) {
        m_hostFlow.reset();
        setStartButtonsEnabled(true);
    } else if (status == MeetingFailed) {
        setStartButtonsEnabled(true); // no end follows a failed start
    }
    if (!reason.isEmpty())
        TipsDlg::showTip(reason);
}

void MeetingsTab::onListMeeting(int result, const std::vector<UINT64>& meetingIds)
{
    if (result != kPreMeetingSuccess || !m_scheduleFlow)
        return;
    for (const UINT64 id : meetingIds) {
        const std::optional<ListedMeeting> meeting = m_scheduleFlow->Listed(id);
        if (meeting)
            showListedMeeting(*meeting);
        if (meeting && meeting->personal) {
            m_personalMeetingId = meeting->number;
            m_personalMeetingUniqueId = meeting->uniqueId;
            m_ui.myPMI->setText(formatMeetingNumber(QString::number(m_personalMeetingId)));
        }
    }
    emit layoutRequested();
}

// Schedule results belong to the scheduling dialogs, which answer here.
void MeetingsTab::onScheduleOrEditMeeting(int, UINT64) {}
void MeetingsTab::onDeleteMeeting(int) {}

QString MeetingsTab::listedTopic(UINT64 meetingNumber) const
{
    if (!m_scheduleFlow)
        return QString();
    const std::optional<ListedMeeting> meeting = m_scheduleFlow->Listed(meetingNumber);
    return meeting ? meeting->topic : QString();
}

void MeetingsTab::releaseHostFlow()
{
    m_hostFlow.reset();
}

void MeetingsTab::releaseScheduleFlow()
{
    m_scheduleFlow.reset();
}

void MeetingsTab::clearLists()
{
    for (QListWidget* list : {m_ui.listWidget_plan, m_ui.listWidget_video}) {
        while (list->count() > 0) {
            QWidget* row = list->itemWidget(list->item(0));
            list->removeItemWidget(list->item(0));
            delete list->takeItem(0);
            delete row;
        }
    }
}
