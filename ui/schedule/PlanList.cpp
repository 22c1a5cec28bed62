#include "ui/schedule/PlanList.h"

#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <algorithm>

#include "base/Localization.h"
#include "base/MeetingNumber.h"
#include "net/ServiceRequest.h"
#include "sdk/ScheduleItems.h"
#include "ui/TipsDlg.h"
#include "ui/schedule/EditMyPMI.h"
#include "ui/schedule/ScheduleInfoDlg.h"
#include "ui/schedule/ScheduleItem.h"
#include "ui/schedule/ScheduleMeeting.h"

namespace {

constexpr int kPreMeetingSuccess = 1;

void successTip(const QString& text)
{
    TipsDlg::showTip(text, true);
}

void failureTip(const QString& text)
{
    TipsDlg::showTip(text, false);
}

} // namespace

PlanList::PlanList(QListWidget* list, QLabel* pmiLabel, Host host, QObject* parent)
    : QObject(parent)
    , m_list(list)
    , m_pmiLabel(pmiLabel)
    , m_host(std::move(host))
{
    m_list->setItemDelegate(new MuItemDelegate(95, m_list));
}

PlanList::~PlanList() = default;

void PlanList::setWorkflow(CSDKSheduleMeetingUIWorkFlow* workflow)
{
    clear();
    m_workflow = workflow;
    refresh();
}

void PlanList::clear()
{
    clearRows();
    m_listed.clear();
    m_pmi = m_pmiUniqueId = m_pendingPmi = m_editing = m_started = 0;
    if (m_pmiLabel)
        m_pmiLabel->clear();
}

void PlanList::clearRows()
{
    // Rows go later, never inside a row's own click.
    while (m_list->count() > 0) {
        QListWidgetItem* item = m_list->item(0);
        m_list->removeItemWidget(item);
        delete m_list->takeItem(0);
    }
}

void PlanList::refresh()
{
    schedule::listMeetings(m_workflow);
}

void PlanList::onListMeeting(int result, const std::vector<quint64>& meetingIds)
{
    if (result != kPreMeetingSuccess || !m_workflow)
        return;
    clearRows();
    m_listed = meetingIds;
    m_list->setUpdatesEnabled(false);
    for (const quint64 id : meetingIds) {
        const std::optional<schedule::ItemInfo> item = schedule::itemInfo(m_workflow, id);
        if (!item)
            continue;
        if (item->personal) {
            m_pmi = item->number;
            m_pmiUniqueId = item->uniqueId;
            if (m_pmiLabel)
                m_pmiLabel->setText(formatMeetingNumber(QString::number(m_pmi)));
            continue;
        }
        auto* row = new ScheduleItem(this, m_list);
        auto* listItem = new QListWidgetItem(m_list);
        listItem->setSizeHint(QSize(listItem->sizeHint().width(), row->height()));
        m_list->setItemWidget(listItem, row);
        row->setMeeting(*item, id);
    }
    m_list->setUpdatesEnabled(true);
    emit layoutRequested();
}

void PlanList::onScheduleOrEditMeeting(int result, quint64 meetingId)
{
    const quint64 editing = m_editing;
    m_editing = 0;
    const std::optional<schedule::ItemInfo> item =
        result == kPreMeetingSuccess ? schedule::itemInfo(m_workflow, meetingId) : std::nullopt;
    if (result == kPreMeetingSuccess && item) {
        const bool personal =
            item->personal || (m_pmi && item->number == m_pmi) || (m_pendingPmi && item->number == m_pendingPmi);
        if (personal) {
            m_pendingPmi = 0;
            successTip(LangText("msg.edit_pmi_ok"));
        } else if (editing) {
            successTip(LangFormat("ui.plan.schedule_edit_success", static_cast<unsigned long long>(item->number)));
        } else {
            auto* dlg = new ScheduleInfoDlg(displayName(), 0);
            dlg->setAttribute(Qt::WA_DeleteOnClose);
            dlg->setModal(false);
            dlg->setMeetingInfo(*item, false, QString(), false);
            dlg->show();
        }
        refresh();
        return;
    }
    if (result != kPreMeetingSuccess && meetingId != 0)
        failureTip(LangText(editing ? "ui.plan.schedule_edit_failed" : "ui.plan.schedule_add_failed"));
}

void PlanList::onDeleteMeeting(int result)
{
    if (result == kPreMeetingSuccess)
        successTip(LangText("msg.delete_meeting_ok"));
    else
        failureTip(LangText("msg.delete_meeting_err"));
    // A failed delete brings its row back; a good one already took it away.
    refresh();
}

void PlanList::scheduleMeeting()
{
    if (!m_workflow)
        return;
    ScheduleMeeting dlg(m_workflow, this, false, 0, 0, nullptr, false);
    dlg.exec();
}

void PlanList::editPersonalMeeting()
{
    if (!m_workflow)
        return;
    EditMyPMI dlg(m_workflow, this);
    dlg.exec();
}

void PlanList::copyPersonalInvitation()
{
    if (!m_pmiUniqueId)
        return askForPersonalMeeting();
    showMeetingInfo(m_pmiUniqueId, false);
}

void PlanList::askForPersonalMeeting()
{
    failureTip(LangText("msg.pmi_unknown"));
    refresh();
}

int PlanList::startPersonalMeeting()
{
    if (!m_pmi) {
        askForPersonalMeeting();
        return -1;
    }
    return startMeetingByNumber(m_pmi);
}

qint64 PlanList::instantMeetingNumber(bool alwaysUsePmi)
{
    if (!alwaysUsePmi)
        return 0;
    if (!m_pmi) {
        // Starting a fresh room instead would quietly break the user's choice.
        askForPersonalMeeting();
        return -1;
    }
    return qint64(m_pmi);
}

void PlanList::openEditDialog(quint64 meetingID,
                              quint64 meetingJoinID,
                              const RecurringMeetingInfo* info,
                              bool recurring)
{
    if (!m_workflow)
        return;
    ScheduleMeeting dlg(m_workflow, this, true, meetingID, meetingJoinID, info, recurring);
    dlg.exec();
}

void PlanList::showMeetingInfo(quint64 meetingID, bool show)
{
    const std::string password = net::queryMeetingPassword(account(), meetingID).value_or(std::string());
    const std::optional<schedule::ItemInfo> item = schedule::itemInfo(m_workflow, meetingID);
    if (!item)
        return;
    auto* dlg = new ScheduleInfoDlg(displayName(), 1);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->setModal(false);
    // A dialog that copies and closes at once is never shown.
    dlg->setMeetingInfo(*item, true, QString::fromStdString(password), !show);
    if (show)
        dlg->show();
}

void PlanList::selectionChanged(QListWidgetItem* current, QListWidgetItem* previous)
{
    if (auto* row = previous ? qobject_cast<ScheduleItem*>(m_list->itemWidget(previous)) : nullptr)
        row->showButtons(false);
    if (auto* row = current ? qobject_cast<ScheduleItem*>(m_list->itemWidget(current)) : nullptr)
        row->showButtons(true);
}

void PlanList::resetRows()
{
    m_started = 0;
    for (int i = 0; i < m_list->count(); ++i)
        if (ScheduleItem* r = row(i))
            r->resetButtons();
}

QString PlanList::listedTopic(quint64 meetingNumber) const
{
    const std::optional<schedule::ItemInfo> item = listedMeeting(meetingNumber);
    return item ? item->topic : QString();
}

std::optional<schedule::ItemInfo> PlanList::listedMeeting(quint64 meetingNumber) const
{
    return schedule::itemInfoByNumber(m_workflow, m_listed, meetingNumber);
}

std::optional<schedule::ItemInfo> PlanList::startedMeeting() const
{
    if (m_started == 0 || std::find(m_listed.begin(), m_listed.end(), m_started) == m_listed.end())
        return std::nullopt;
    return schedule::itemInfo(m_workflow, m_started);
}

int PlanList::rowCount() const
{
    return m_list->count();
}

ScheduleItem* PlanList::row(int index) const
{
    QListWidgetItem* item = m_list->item(index);
    return item ? qobject_cast<ScheduleItem*>(m_list->itemWidget(item)) : nullptr;
}

QString PlanList::displayName() const
{
    return m_host.displayName ? m_host.displayName() : QString();
}

QString PlanList::account() const
{
    return m_host.account ? m_host.account() : QString();
}

QString PlanList::serviceUserId()
{
    return m_host.serviceUserId ? m_host.serviceUserId() : QString();
}

int PlanList::startMeetingByNumber(quint64 number)
{
    return m_host.startMeetingByNumber ? m_host.startMeetingByNumber(number) : -1;
}

void PlanList::removePlanRow(ScheduleItem* row)
{
    for (int i = 0; i < m_list->count(); ++i) {
        QListWidgetItem* item = m_list->item(i);
        if (m_list->itemWidget(item) == row) {
            m_list->removeItemWidget(item); // deletes the row later, after its click has returned
            delete m_list->takeItem(i);
            emit layoutRequested();
            return;
        }
    }
}

void PlanList::editMeeting(quint64 uniqueId, quint64 number)
{
    // The dialog runs its own loop; a list result arriving meanwhile rebuilds the rows, so the
    // row that asked must have left its click first.
    QTimer::singleShot(0, this, [this, uniqueId, number] { openEditDialog(uniqueId, number, nullptr, false); });
}

void PlanList::readMeetingInfo(quint64 uniqueId, bool show)
{
    showMeetingInfo(uniqueId, show);
}
