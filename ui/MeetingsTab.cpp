#include "ui/MeetingsTab.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "base/Localization.h"
#include "base/MeetingNumber.h"
#include "base/Settings.h"
#include "base/Text.h"
#include "net/AccountApi.h"
#include "recordings/VideoFolder.h"
#include "sdk/AuthUIEvent.h"
#include "sdk/CSDKSheduleMeetingUIWorkFlow.h"
#include "sdk/HostMeeting.h"
#include "sdk/MeetingControls.h"
#include "ui/ClickableLabel.h"
#include "ui/MainWindowForm.h"
#include "ui/MessageBox.h"
#include "ui/RecordingsList.h"
#include "ui/ShellHost.h"
#include "ui/Styles.h"
#include "ui/TipsDlg.h"
#include "ui/invite/InviteRequest.h"
#include "ui/schedule/PlanList.h"

namespace {
const int kMainWidth = 360;
const int kMainHeight = 667;
} // namespace

MeetingsTab::MeetingsTab(MainWindowForm& form, ShellHost& host, QObject* parent)
    : QObject(parent)
    , m_ui(form)
    , m_host(host)
    , m_alwaysUsePmi(settings::readAlwaysUsePmi())
    , m_scanner(std::make_unique<VideoFolder>())
{
    m_ui.usingPMI->setChecked(m_alwaysUsePmi);
    PlanList::Host planHost;
    planHost.displayName = [this] { return m_host.session().displayName; };
    planHost.account = [this] { return m_host.session().account; };
    planHost.serviceUserId = [this] {
        const std::optional<net::UserProfile> profile = net::fetchUserProfile(m_host.session().account);
        return profile ? profile->id : QString();
    };
    planHost.startMeetingByNumber = [this](quint64 number) { return startMeetingByNumber(number); };
    m_plan = new PlanList(m_ui.listWidget_plan, m_ui.myPMI, std::move(planHost), this);
    connect(m_plan, &PlanList::layoutRequested, this, &MeetingsTab::layoutRequested);
    connect(m_ui.listWidget_plan, &QListWidget::currentItemChanged, this, &MeetingsTab::selectPlanRow);
    layoutPmiPanel();
    m_recordings = new RecordingsList(m_ui.listWidget_video, m_scanner.get(), this);
    connect(m_scanner.get(), &VideoFolder::notifyVideoFinished, m_recordings, &RecordingsList::onVideoFinished);
    connect(m_scanner.get(), &VideoFolder::notifyVideoGone, m_recordings, &RecordingsList::onVideoGone);
    connect(m_scanner.get(), &VideoFolder::notifyUpdateVideoPath, this, &MeetingsTab::onUpdateVideoPath);
}

MeetingsTab::~MeetingsTab()
{
    stopRecordings();
}

void MeetingsTab::stopRecordings()
{
    m_scanner->stop();
}

void MeetingsTab::onUpdateVideoPath()
{
    // A folder changed in the SDK's settings dialog is followed; no folder (the SDK is gone) is not.
    const QString folder = meetingsdk::recordingFolder();
    if (!folder.isEmpty())
        m_scanner->setRootFolder(WideToUtf8(folder));
    if (personalMeetingId() == 0 && m_scheduleFlow && !m_host.session().anonymousJoin)
        m_scheduleFlow->ListMeetings();
}

void MeetingsTab::start(CSDKSheduleMeetingUIEvent* listener)
{
    m_scheduleFlow = std::make_unique<CSDKSheduleMeetingUIWorkFlow>();
    m_scheduleFlow->SetUIEvent(listener);
    m_plan->setWorkflow(m_scheduleFlow.get());
    m_ui.homepage->show();
    m_ui.meetings->hide();
    setToolbarTabs(true);
    const ShellSession& session = m_host.session();
    if (!session.anonymousJoin && !session.recordingFolder.isEmpty())
        m_scanner->start(WideToUtf8(session.account), WideToUtf8(session.recordingFolder));
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
    showMyMeetings();
}

void MeetingsTab::showMyMeetings()
{
    m_ui.myMeeting->setStyleSheet(styles::meetingsSwitch("mymeeting_sel.png"));
    m_ui.videoList->setStyleSheet(styles::meetingsSwitch("videolist_normal.png"));
    m_ui.verticalWidget_video->hide();
    m_ui.verticalWidget_PMI->show();
    m_ui.refreshList->show();
    emit layoutRequested();
}

void MeetingsTab::showRecordings()
{
    m_ui.myMeeting->setStyleSheet(styles::meetingsSwitch("mymeeting_normal.png"));
    m_ui.videoList->setStyleSheet(styles::meetingsSwitch("videolist_sel.png"));
    m_ui.verticalWidget_PMI->hide();
    m_ui.refreshList->hide();
    m_ui.verticalWidget_video->show();
    m_ui.listWidget_video->show();
    emit layoutRequested();
}

void MeetingsTab::layoutPmiPanel()
{
    m_ui.startMeeting->setVisible(!m_alwaysUsePmi);
    m_ui.verticalWidget_pmiCtrl->setFixedWidth(m_alwaysUsePmi ? 128 : 191);
    // The remaining buttons close up when the start button goes.
    m_ui.editPMI->move(m_alwaysUsePmi ? 0 : 64, 0);
    m_ui.planMenu->move(m_alwaysUsePmi ? 64 : 128, 0);
}

void MeetingsTab::setAlwaysUsePmi(bool on)
{
    m_alwaysUsePmi = on;
    settings::writeAlwaysUsePmi(on);
    layoutPmiPanel();
}

void MeetingsTab::refreshList()
{
    m_plan->refresh();
}

void MeetingsTab::scheduleMeeting()
{
    m_plan->scheduleMeeting();
}

void MeetingsTab::editPersonalMeeting()
{
    m_plan->editPersonalMeeting();
}

void MeetingsTab::copyPersonalInvitation()
{
    m_plan->copyPersonalInvitation();
}

void MeetingsTab::startPersonalMeeting()
{
    m_plan->startPersonalMeeting();
}

void MeetingsTab::selectPlanRow(QListWidgetItem* current, QListWidgetItem* previous)
{
    m_plan->selectionChanged(current, previous);
}

UINT64 MeetingsTab::personalMeetingId() const
{
    return m_plan->personalMeetingId();
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
    // Never a different meeting while the personal meeting ID is not known yet.
    const qint64 number = m_plan->instantMeetingNumber(m_alwaysUsePmi);
    if (number < 0)
        return;
    if (!m_hostFlow)
        m_hostFlow = std::make_unique<HostMeeting>();
    setStartButtonsEnabled(m_hostFlow->StartMeeting(kind, UINT64(number)) != 0);
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
        m_plan->resetRows();
    } else if (status == MeetingFailed) {
        setStartButtonsEnabled(true); // no end follows a failed start
    }
    if (!reason.isEmpty())
        TipsDlg::showTip(reason);
}

void MeetingsTab::onListMeeting(int result, const std::vector<UINT64>& meetingIds)
{
    m_plan->onListMeeting(result, meetingIds);
    emit layoutRequested();
}

void MeetingsTab::onScheduleOrEditMeeting(int result, UINT64 meetingId)
{
    m_plan->onScheduleOrEditMeeting(result, meetingId);
}

void MeetingsTab::onDeleteMeeting(int result)
{
    m_plan->onDeleteMeeting(result);
}

QString MeetingsTab::listedTopic(UINT64 meetingNumber) const
{
    return m_plan->listedTopic(meetingNumber);
}

void MeetingsTab::lendScheduleTo(InviteLauncher& invites)
{
    const auto slot = [](const std::optional<schedule::ItemInfo>& item) -> std::optional<ScheduledSlot> {
        if (!item)
            return std::nullopt;
        return ScheduledSlot{time_t(item->startTime), item->durationMinutes};
    };
    invites.setScheduleLookups([this, slot](quint64 number) { return slot(m_plan->listedMeeting(number)); },
                               [this, slot] { return slot(m_plan->startedMeeting()); });
}

void MeetingsTab::releaseHostFlow()
{
    m_hostFlow.reset();
}

void MeetingsTab::releaseScheduleFlow()
{
    m_plan->setWorkflow(nullptr);
    m_scheduleFlow.reset();
}

void MeetingsTab::clearLists()
{
    stopRecordings();
    m_recordings->clear();
    m_plan->clear();
}
