// The dialogs and rows with the SDK stand-in, signed in as the demo account, and a vtx-service of
// the test behind both the SDK and the web requests.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QThread>
#include <gtest/gtest.h>

#include "../sdk/CloudTestSupport.h"
#include "FakeContext.h"
#include "base/Localization.h"
#include "base/MeetingNumber.h"
#include "net/ServiceRequest.h"
#include "platform/Paths.h"
#include "sdk/CSDKSheduleMeetingUIEvent.h"
#include "sdk/CSDKSheduleMeetingUIWorkFlow.h"
#include "sdk/OrvoAuth.h"
#include "support/VtxService.h"
#include "ui/MessageBox.h"
#include "ui/TipsDlg.h"
#include "ui/schedule/EditMyPMI.h"
#include "ui/schedule/PlanList.h"
#include "ui/schedule/ScheduleInfoDlg.h"
#include "ui/schedule/ScheduleItem.h"
#include "ui/schedule/ScheduleMeeting.h"

using sdktest::WaitFor;

namespace {

// Records the workflow's results and hands them on to the meetings list, as the main window does.
struct Results : CSDKSheduleMeetingUIEvent
{
    std::vector<std::vector<UINT64>> lists;
    std::vector<std::pair<int, UINT64>> schedules;
    std::vector<int> deletes;
    PlanList* plan = nullptr;
    void OnListMeeting(int r, const std::vector<UINT64>& ids) override
    {
        std::vector<UINT64> v = r == 1 ? ids : std::vector<UINT64>();
        lists.push_back(v);
        if (plan)
            plan->onListMeeting(r, std::vector<quint64>(v.begin(), v.end()));
    }
    void OnScheduleOrEditMeeting(int r, UINT64 id) override
    {
        schedules.emplace_back(r, id);
        if (plan)
            plan->onScheduleOrEditMeeting(r, id);
    }
    void OnDeleteMeeting(int r) override
    {
        deletes.push_back(r);
        if (plan)
            plan->onDeleteMeeting(r);
    }
};

QStringList visibleTips()
{
    QStringList texts;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* tip = qobject_cast<TipsDlg*>(w); tip && tip->isVisible())
            texts << tip->text();
    return texts;
}

ScheduleInfoDlg* visibleResultDialog()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dlg = qobject_cast<ScheduleInfoDlg*>(w); dlg && dlg->isVisible())
            return dlg;
    return nullptr;
}

template <typename T> T* child(QWidget* parent, const char* name)
{
    T* w = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

class ScheduleEndToEnd : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_service = new vtxtest::VtxService;
        ASSERT_TRUE(s_service->Ok()) << s_service->Error();
        qputenv("VTX_SERVICE_HOST", QByteArray::fromStdString(s_service->HostPort()));
        qputenv("VTX_SDK_DOMAIN", QByteArray::fromStdString(s_service->BaseUrl()));
        qputenv("VTX_SDK_POLL_MS", "100");
        qputenv("VTX_SDK_TIMEOUT_MS", "30000"); // sanitizer builds beside other tests are slow
        Localization::Instance()->resetForTest();
        ASSERT_EQ(Localization::Instance()->Load(1, platform::programFolder() + "en_US.ini"), 0);
        s_auth = new sdktest::UiRecorder;
        OrvoAuth::Instance()->SetUIEvent(s_auth);
        ASSERT_EQ(OrvoAuth::Instance()->Start(), 0);
        ASSERT_TRUE(WaitFor([] { return !s_auth->auth.empty(); }, 60000));
        ASSERT_EQ(OrvoAuth::Instance()->Login(vtxtest::VtxService::DemoAccount(), vtxtest::VtxService::DemoPassword()),
                  0);
        ASSERT_TRUE(WaitFor([] { return !s_auth->login.empty(); }, 60000));
        ASSERT_EQ(s_auth->login.front().first, 2);
    }
    static void TearDownTestSuite()
    {
        OrvoAuth::Instance()->Shutdown();
        OrvoAuth::Instance()->SetUIEvent(nullptr);
        delete s_auth;
        delete s_service;
    }
    void SetUp() override
    {
        ASSERT_NE(s_auth, nullptr);
        m_flow = std::make_unique<CSDKSheduleMeetingUIWorkFlow>();
        m_flow->SetUIEvent(&m_results);
        ScheduleMeeting::setClockForTest(nullptr);
    }
    void TearDown() override
    {
        MessageBox::clearAutoAnswer();
        m_flow.reset();
    }

    // The personal meeting, read from a fresh list.
    schedule::ItemInfo listPersonalMeeting()
    {
        const size_t before = m_results.lists.size();
        EXPECT_EQ(schedule::listMeetings(m_flow.get()), 0);
        EXPECT_TRUE(WaitFor([&] { return m_results.lists.size() > before; }));
        for (UINT64 id : m_results.lists.back())
            if (auto info = schedule::itemInfo(m_flow.get(), id); info && info->personal)
                return *info;
        return schedule::ItemInfo();
    }
    std::optional<schedule::ItemInfo> listedByNumber(quint64 number)
    {
        const std::vector<quint64> ids(m_results.lists.back().begin(), m_results.lists.back().end());
        return schedule::itemInfoByNumber(m_flow.get(), ids, number);
    }
    UINT64 waitForSchedule(size_t count)
    {
        EXPECT_TRUE(WaitFor([&] { return m_results.schedules.size() >= count; }));
        if (m_results.schedules.size() < count)
            return 0;
        EXPECT_EQ(m_results.schedules[count - 1].first, 1);
        return m_results.schedules[count - 1].second;
    }
    // A meeting tomorrow at 10:00, scheduled through the dialog.
    UINT64 scheduleThroughDialog(const QString& topic, const QString& password)
    {
        ScheduleMeeting dlg(m_flow.get(), &m_context, false, 0, 0, nullptr, false);
        child<QLineEdit>(&dlg, "lineEdit_topic")->setText(topic);
        child<QDateTimeEdit>(&dlg, "dateTimeEdit_date")->setDate(QDate::currentDate().addDays(1));
        child<QDateTimeEdit>(&dlg, "dateTimeEdit_time")->setTime(QTime(10, 0));
        child<QComboBox>(&dlg, "comboBox_min")->setCurrentIndex(2);
        if (!password.isEmpty()) {
            child<QCheckBox>(&dlg, "checkBox_set_pwd")->click();
            child<QLineEdit>(&dlg, "lineEdit_password")->setText(password);
        }
        child<QPushButton>(&dlg, "pushButton_ok")->click();
        EXPECT_EQ(dlg.result(), QDialog::Accepted) << child<QLabel>(&dlg, "label_errInfo")->text().toStdString();
        return waitForSchedule(m_results.schedules.size() + 1);
    }

    static vtxtest::VtxService* s_service;
    static sdktest::UiRecorder* s_auth;
    std::unique_ptr<CSDKSheduleMeetingUIWorkFlow> m_flow;
    Results m_results;
    FakeContext m_context;
};

vtxtest::VtxService* ScheduleEndToEnd::s_service = nullptr;
sdktest::UiRecorder* ScheduleEndToEnd::s_auth = nullptr;

} // namespace

TEST_F(ScheduleEndToEnd, OneOffMeetingReachesTheSdkAsTyped)
{
    const QString topic = QStringLiteral("He said \"hi\" \\ 周会, 100%");
    const UINT64 id = scheduleThroughDialog(topic, QStringLiteral("abc123"));
    ASSERT_NE(id, 0u);
    const std::optional<schedule::ItemInfo> info = schedule::itemInfo(m_flow.get(), id);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->topic, topic);
    EXPECT_EQ(info->startTime,
              QDateTime(QDate::currentDate().addDays(1), QTime(10, 0), Qt::LocalTime).toSecsSinceEpoch());
    EXPECT_EQ(info->durationMinutes, 90);
    EXPECT_TRUE(info->password.on);
    EXPECT_EQ(info->passwordText, "abc123");
    EXPECT_EQ(net::queryMeetingPassword(m_context.account(), id).value_or("<none>"), "abc123");

    ScheduleItem row(&m_context, nullptr);
    row.setMeeting(*info, id);
    EXPECT_EQ(child<QLabel>(&row, "label_Time")->text().left(5), "10:00");
}

TEST_F(ScheduleEndToEnd, EditShowsTheMeetingAndSavesChanges)
{
    const UINT64 id = scheduleThroughDialog(QStringLiteral("Before"), QStringLiteral("pw1"));
    ASSERT_NE(id, 0u);
    const std::optional<schedule::ItemInfo> before = schedule::itemInfo(m_flow.get(), id);
    ASSERT_TRUE(before);
    {
        ScheduleMeeting dlg(m_flow.get(), &m_context, true, id, before->number, nullptr, false);
        EXPECT_EQ(child<QLineEdit>(&dlg, "lineEdit_topic")->text(), "Before");
        EXPECT_EQ(child<QComboBox>(&dlg, "comboBox_hr")->currentText(), "1");
        EXPECT_EQ(child<QComboBox>(&dlg, "comboBox_min")->currentText(), "30");
        EXPECT_TRUE(child<QCheckBox>(&dlg, "checkBox_set_pwd")->isChecked());
        EXPECT_EQ(child<QLineEdit>(&dlg, "lineEdit_password")->text(), "pw1");
        child<QLineEdit>(&dlg, "lineEdit_topic")->setText(QStringLiteral("After"));
        child<QComboBox>(&dlg, "comboBox_hr")->setCurrentIndex(0);
        child<QComboBox>(&dlg, "comboBox_min")->setCurrentIndex(0);
        child<QCheckBox>(&dlg, "checkBox_set_pwd")->click(); // off
        child<QPushButton>(&dlg, "pushButton_ok")->click();
        EXPECT_EQ(dlg.result(), QDialog::Accepted) << child<QLabel>(&dlg, "label_errInfo")->text().toStdString();
    }
    EXPECT_EQ(m_context.editing, id);
    EXPECT_EQ(waitForSchedule(2), id);
    const std::optional<schedule::ItemInfo> after = schedule::itemInfo(m_flow.get(), id);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->topic, "After");
    EXPECT_EQ(after->durationMinutes, 0); // a duration of 0 is taken as it is
    EXPECT_EQ(net::queryMeetingPassword(m_context.account(), id).value_or("<none>"), "");

    // The service's empty password now wins over anything the SDK item holds.
    ScheduleMeeting again(m_flow.get(), &m_context, true, id, after->number, nullptr, false);
    EXPECT_FALSE(child<QCheckBox>(&again, "checkBox_set_pwd")->isChecked());
    EXPECT_FALSE(child<QWidget>(&again, "horizontalWidget_pwd")->isVisibleTo(&again));
}

TEST_F(ScheduleEndToEnd, RecurringMeetingGoesToTheServiceWithItsRule)
{
    const net::Reply profile =
        net::postFields("/api/qzMeetings/user/get_user_qz", {{"email", vtxtest::VtxService::DemoAccount()}});
    m_context.userId = QString::fromStdString(profile.dataString("id").value_or(""));
    ASSERT_FALSE(m_context.userId.isEmpty());

    ScheduleMeeting dlg(m_flow.get(), &m_context, false, 0, 0, nullptr, false);
    child<QCheckBox>(&dlg, "checkBox_cycle")->click();
    child<QPushButton>(&dlg, "btn_tuesday")->click();
    child<QPushButton>(&dlg, "btn_thursday")->click();
    child<QComboBox>(&dlg, "comboBox_slot")->setCurrentIndex(1);
    child<QDateTimeEdit>(&dlg, "dateTimeEdit_date_end")->setDate(QDate::currentDate().addDays(60));
    ASSERT_GT(dlg.meetingCount(), 0);

    // The service's own refusal is shown as it is.
    auto* topic = child<QLineEdit>(&dlg, "lineEdit_topic");
    topic->setText(QString(2000, QLatin1Char('t')));
    child<QPushButton>(&dlg, "pushButton_ok")->click();
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(child<QLabel>(&dlg, "label_errInfo")->text().contains(QStringLiteral("topic")))
        << child<QLabel>(&dlg, "label_errInfo")->text().toStdString();

    topic->setText(QStringLiteral("Fortnightly \"sync\""));
    const size_t lists = m_results.lists.size();
    child<QPushButton>(&dlg, "pushButton_ok")->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted) << child<QLabel>(&dlg, "label_errInfo")->text().toStdString();
    EXPECT_TRUE(visibleTips().contains(LangText("ui.plan.recurring_success")));
    // The list is asked again so the page shows the new series.
    EXPECT_TRUE(WaitFor([&] { return m_results.lists.size() > lists; }));
}

TEST_F(ScheduleEndToEnd, RemovingARowDeletesTheMeetingAfterTheQuestion)
{
    const UINT64 id = scheduleThroughDialog(QStringLiteral("To be removed"), QString());
    ASSERT_NE(id, 0u);
    const std::optional<schedule::ItemInfo> info = schedule::itemInfo(m_flow.get(), id);
    ASSERT_TRUE(info);
    ScheduleItem row(&m_context, nullptr);
    row.setMeeting(*info, id);
    row.showButtons(true);

    MessageBox::setAutoAnswer(MessageBox::SecondButton);
    child<QPushButton>(&row, "remove")->click();
    EXPECT_TRUE(m_context.removed.empty());
    listPersonalMeeting(); // a delete sent before it would have been answered first
    EXPECT_TRUE(m_results.deletes.empty());
    EXPECT_TRUE(listedByNumber(info->number));

    MessageBox::setAutoAnswer(MessageBox::FirstButton);
    child<QPushButton>(&row, "remove")->click();
    EXPECT_EQ(m_context.removed, std::vector<ScheduleItem*>{&row});
    ASSERT_TRUE(WaitFor([&] { return !m_results.deletes.empty(); }));
    EXPECT_EQ(m_results.deletes.front(), 1);
    listPersonalMeeting();
    EXPECT_FALSE(listedByNumber(info->number));
}

TEST_F(ScheduleEndToEnd, PersonalMeetingIdChangesAtTheServiceThenTheSdk)
{
    const std::optional<schedule::ItemInfo> personal = listPersonalMeeting();
    const quint64 pmi = personal->number;
    ASSERT_NE(pmi, 0u);
    m_context.pmi = pmi;
    m_context.pmiUniqueId = personal->uniqueId;
    EXPECT_EQ(listedByNumber(pmi)->uniqueId, personal->uniqueId);

    // A new meeting starts from the personal meeting's settings, found by its number.
    {
        ScheduleMeeting dlg(m_flow.get(), &m_context, false, 0, 0, nullptr, false);
        EXPECT_EQ(child<QAbstractButton>(&dlg, "checkBox_preJoin")->isChecked(), personal->joinBeforeHost.on);
        EXPECT_EQ(child<QAbstractButton>(&dlg, "host_open")->isChecked(), personal->hostVideo);
        EXPECT_TRUE(child<QCheckBox>(&dlg, "checkBox_usePMI")->text().contains(QString::number(pmi)));
    }

    const quint64 newPmi = 2000000000ull + quint64(QDateTime::currentMSecsSinceEpoch() % 999999999);
    EditMyPMI dlg(m_flow.get(), &m_context);
    child<QLineEdit>(&dlg, "myPMI")->setText(QString::number(newPmi));
    child<QCheckBox>(&dlg, "checkBox_muteJoin")->setChecked(!personal->muteUponEntry.on);
    child<QPushButton>(&dlg, "pushButton_ok")->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted) << child<QLabel>(&dlg, "label_errInfo")->text().toStdString();
    EXPECT_EQ(m_context.pendingPmi, newPmi);
    const UINT64 id = waitForSchedule(1);
    ASSERT_NE(id, 0u);
    const schedule::ItemInfo updated = listPersonalMeeting();
    EXPECT_EQ(updated.number, newPmi);
    EXPECT_EQ(updated.muteUponEntry.on, !personal->muteUponEntry.on);
}

TEST_F(ScheduleEndToEnd, MeetingsListFollowsEveryResult)
{
    QListWidget list;
    QLabel pmiLabel;
    std::vector<quint64> started;
    PlanList plan(&list, &pmiLabel,
                  {[] { return QStringLiteral("Alice"); },
                   [] { return QString::fromLatin1(vtxtest::VtxService::DemoAccount()); }, [] { return QString(); },
                   [&started](quint64 number) {
                       started.push_back(number);
                       return 0;
                   }});
    m_results.plan = &plan;

    // Signing in asks for the list at once: the personal meeting fills its panel, nothing else is listed.
    plan.setWorkflow(m_flow.get());
    ASSERT_TRUE(WaitFor([&] { return !m_results.lists.empty(); }));
    ASSERT_NE(plan.personalMeetingId(), 0u);
    EXPECT_EQ(pmiLabel.text(), formatMeetingNumber(QString::number(plan.personalMeetingId())));
    EXPECT_EQ(plan.rowCount(), 0);

    // A new meeting: the result dialog with its invitation, then the list again with the new row.
    size_t lists = m_results.lists.size();
    {
        ScheduleMeeting dlg(m_flow.get(), &plan, false, 0, 0, nullptr, false);
        child<QLineEdit>(&dlg, "lineEdit_topic")->setText(QStringLiteral("Planning"));
        child<QDateTimeEdit>(&dlg, "dateTimeEdit_date")->setDate(QDate::currentDate().addDays(2));
        child<QPushButton>(&dlg, "pushButton_ok")->click();
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
    }
    ASSERT_TRUE(WaitFor([&] { return m_results.lists.size() > lists; }));
    ScheduleInfoDlg* result = visibleResultDialog();
    ASSERT_NE(result, nullptr);
    EXPECT_TRUE(result->text().contains(QStringLiteral("Planning")));
    result->close();
    ASSERT_EQ(plan.rowCount(), 1);
    ScheduleItem* row = plan.row(0);
    EXPECT_TRUE(child<QLabel>(row, "label_Topic")->text().endsWith(QStringLiteral("Planning")));
    // The join history names a meeting by the number people type.
    EXPECT_EQ(plan.listedTopic(row->meetingJoinID()), "Planning");
    const unsigned long long number = row->meetingJoinID();

    // Selecting shows only the current row's buttons.
    list.setCurrentRow(0);
    plan.selectionChanged(list.item(0), nullptr);
    EXPECT_TRUE(child<QWidget>(row, "ctrlWidget")->isVisibleTo(row));

    // A failed list leaves the rows; an edit ends in a tip naming the meeting.
    plan.onListMeeting(0, {});
    EXPECT_EQ(plan.rowCount(), 1);
    lists = m_results.lists.size();
    {
        ScheduleMeeting dlg(m_flow.get(), &plan, true, row->meetingID(), row->meetingJoinID(), nullptr, false);
        child<QLineEdit>(&dlg, "lineEdit_topic")->setText(QStringLiteral("Planning v2"));
        child<QPushButton>(&dlg, "pushButton_ok")->click();
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
    }
    ASSERT_TRUE(WaitFor([&] { return m_results.lists.size() > lists; }));
    EXPECT_TRUE(visibleTips().contains(LangFormat("ui.plan.schedule_edit_success", number)));
    ASSERT_EQ(plan.rowCount(), 1);

    // Removing the row takes it out at once; the SDK's answer is a tip and a fresh list.
    MessageBox::setAutoAnswer(MessageBox::FirstButton);
    plan.selectionChanged(list.item(0), nullptr);
    child<QPushButton>(plan.row(0), "remove")->click();
    EXPECT_EQ(plan.rowCount(), 0);
    ASSERT_TRUE(WaitFor([&] { return !m_results.deletes.empty(); }));
    EXPECT_TRUE(visibleTips().contains(LangText("msg.delete_meeting_ok")));

    // The cloud refuses to delete the personal meeting: a failure tip, then the list again.
    lists = m_results.lists.size();
    ASSERT_EQ(schedule::deleteMeeting(plan.personalMeetingUniqueId()), 0);
    ASSERT_TRUE(WaitFor([&] { return m_results.deletes.size() == 2; }));
    EXPECT_TRUE(visibleTips().contains(LangText("msg.delete_meeting_err")));
    EXPECT_TRUE(WaitFor([&] { return m_results.lists.size() > lists; }));

    // The personal room starts by its number.
    EXPECT_EQ(plan.startPersonalMeeting(), 0);
    EXPECT_EQ(started, std::vector<quint64>{plan.personalMeetingId()});
    EXPECT_EQ(plan.instantMeetingNumber(true), qint64(plan.personalMeetingId()));
    m_results.plan = nullptr;
}
