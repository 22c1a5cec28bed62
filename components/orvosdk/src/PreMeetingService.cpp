// Scheduled meetings: items kept in the meeting cloud, cached here for the application to read.
#include <QJsonArray>
#include <algorithm>

#include "Services.h"

using namespace ORVOSDK;

namespace orvo {

namespace {

bool ValidPassword(const std::wstring& password)
{
    if (password.size() > 10)
        return false;
    return std::all_of(password.begin(), password.end(), [](wchar_t c) {
        return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
    });
}

UINT64 ToU64(const QJsonValue& v)
{
    return UINT64(v.toVariant().toULongLong());
}

} // namespace

ItemData ItemData::FromJson(const QJsonObject& item)
{
    ItemData d;
    d.meetingId = ToU64(item.value("meeting_id"));
    d.number = ToU64(item.value("meeting_number"));
    d.topic = item.value("topic").toString().toStdWString();
    d.startTime = time_t(item.value("start_time").toVariant().toLongLong());
    d.duration = unsigned(std::max(0, item.value("duration").toInt()));
    d.timeZone = item.value("timezone").toString().toStdWString();
    d.personal = item.value("is_pmi").toBool();
    d.periodic = item.value("recurring").toBool();
    d.password = item.value("password").toString().toStdWString();
    d.passwordEnabled = item.value("password_enabled").toBool();
    d.hostVideo = item.value("host_video").toBool(true);
    d.participantVideo = item.value("participant_video").toBool(true);
    d.joinBeforeHost = item.value("join_before_host").toBool();
    d.muteUponEntry = item.value("mute_upon_entry").toBool();
    d.usePmi = item.value("use_pmi").toBool();
    d.autoRecording = item.value("auto_recording").toBool();
    d.joinUrl = item.value("join_url").toString().toStdWString();
    const QJsonObject mod = item.value("modifiable").toObject();
    d.modPassword = mod.value("password").toBool(true);
    d.modJoinBeforeHost = mod.value("join_before_host").toBool(true);
    d.modMute = mod.value("mute_upon_entry").toBool(true);
    d.modUsePmi = mod.value("use_pmi").toBool(true);
    d.modAutoRecording = mod.value("auto_recording").toBool(true);
    return d;
}

// --- ScheduleItem ---

void ScheduleItem::Mark(const char* field)
{
    if (std::find(changed.begin(), changed.end(), field) == changed.end())
        changed.emplace_back(field);
}

SDKError ScheduleItem::SetMeetingTopic(const wchar_t* topic)
{
    const std::wstring text = topic ? topic : L"";
    if (text.size() > 200)
        return SDKERR_INVALID_PARAMETER;
    d.topic = text;
    Mark("topic");
    return SDKERR_SUCCESS;
}

SDKError ScheduleItem::SetStartTime(time_t startTime)
{
    if (startTime < 0)
        return SDKERR_INVALID_PARAMETER;
    d.startTime = startTime;
    Mark("start_time");
    return SDKERR_SUCCESS;
}

SDKError ScheduleItem::SetDurationInMinutes(unsigned int duration)
{
    if (duration > 1440)
        return SDKERR_INVALID_PARAMETER;
    d.duration = duration;
    Mark("duration");
    return SDKERR_SUCCESS;
}

SDKError ScheduleItem::SetAsPeriodicMeeting(bool b)
{
    d.periodic = b;
    Mark("periodic");
    return SDKERR_SUCCESS;
}

SDKError ScheduleItem::SetTimeZone(const wchar_t* tz)
{
    if (!tz || !*tz)
        return SDKERR_INVALID_PARAMETER;
    d.timeZone = tz;
    Mark("timezone");
    return SDKERR_SUCCESS;
}

SDKError ScheduleItem::TurnHostVideoOn(bool b)
{
    d.hostVideo = b;
    Mark("host_video");
    return SDKERR_SUCCESS;
}

SDKError ScheduleItem::TurnParticipantVideoOn(bool b)
{
    d.participantVideo = b;
    Mark("participant_video");
    return SDKERR_SUCCESS;
}

SDKError ScheduleItem::SetAudioOption(int option)
{
    if (option < 0 || option > 15)
        return SDKERR_INVALID_PARAMETER;
    d.audioOption = option;
    return SDKERR_SUCCESS;
}

SDKError ScheduleItem::EnablePassword(bool b)
{
    if (!d.modPassword)
        return SDKERR_NO_PERMISSION;
    d.passwordEnabled = b;
    Mark("password_enabled");
    return SDKERR_SUCCESS;
}

SDKError ScheduleItem::SetMeetingPassword(const wchar_t* password)
{
    if (!d.modPassword)
        return SDKERR_NO_PERMISSION;
    const std::wstring text = password ? password : L"";
    if (!ValidPassword(text))
        return SDKERR_INVALID_PARAMETER;
    d.password = text;
    Mark("password");
    return SDKERR_SUCCESS;
}

SDKError ScheduleItem::EnableJoinBeforeHost(bool b)
{
    if (!d.modJoinBeforeHost)
        return SDKERR_NO_PERMISSION;
    d.joinBeforeHost = b;
    Mark("join_before_host");
    return SDKERR_SUCCESS;
}

SDKError ScheduleItem::EnableMuteUponEntry(bool b)
{
    if (!d.modMute)
        return SDKERR_NO_PERMISSION;
    d.muteUponEntry = b;
    Mark("mute_upon_entry");
    return SDKERR_SUCCESS;
}

SDKError ScheduleItem::EnableUsePMI(bool b)
{
    if (!d.modUsePmi)
        return SDKERR_NO_PERMISSION;
    d.usePmi = b;
    Mark("use_pmi");
    return SDKERR_SUCCESS;
}

SDKError ScheduleItem::EnableAutoRecording(bool b)
{
    if (!d.modAutoRecording)
        return SDKERR_NO_PERMISSION;
    d.autoRecording = b;
    Mark("auto_recording");
    return SDKERR_SUCCESS;
}

QJsonObject ScheduleItem::ToJson() const
{
    QJsonObject all;
    if (!d.topic.empty())
        all["topic"] = QString::fromStdWString(d.topic);
    if (d.startTime > 0)
        all["start_time"] = double(d.startTime);
    all["duration"] = int(d.duration);
    all["timezone"] = QString::fromStdWString(d.timeZone);
    all["periodic"] = d.periodic;
    all["host_video"] = d.hostVideo;
    all["participant_video"] = d.participantVideo;
    // A password only counts while it is switched on.
    all["password_enabled"] = d.passwordEnabled && !d.password.empty();
    all["password"] = d.passwordEnabled ? QString::fromStdWString(d.password) : QString();
    all["join_before_host"] = d.joinBeforeHost;
    all["mute_upon_entry"] = d.muteUponEntry;
    all["use_pmi"] = d.usePmi;
    all["auto_recording"] = d.autoRecording;
    if (d.meetingId == 0)
        return all;
    QJsonObject edit;
    for (const std::string& field : changed) {
        const QString key = QString::fromStdString(field);
        if (all.contains(key))
            edit[key] = all.value(key);
        if (field == "password" || field == "password_enabled") {
            edit["password"] = all.value("password");
            edit["password_enabled"] = all.value("password_enabled");
        }
    }
    return edit;
}

// --- PreMeetingService ---

PreMeetingService::~PreMeetingService()
{
    m_event = nullptr;
}

SDKError PreMeetingService::CheckReady() const
{
    if (SdkCore::Get().appToken.empty())
        return SDKERR_UNAUTHENTICATION;
    if (SdkCore::Get().sessionToken.empty())
        return SDKERR_UNAUTHENTICATION;
    return SDKERR_SUCCESS;
}

IScheduleMeetingItem* PreMeetingService::CreateScheduleMeetingItem()
{
    m_drafts.push_back(std::make_unique<ScheduleItem>());
    return m_drafts.back().get();
}

bool PreMeetingService::Owns(IScheduleMeetingItem* item) const
{
    return std::any_of(m_drafts.begin(), m_drafts.end(), [item](const auto& d) { return d.get() == item; });
}

void PreMeetingService::DestroyScheduleMeetingItem(IScheduleMeetingItem* pItem)
{
    m_drafts.erase(
        std::remove_if(m_drafts.begin(), m_drafts.end(), [pItem](const auto& d) { return d.get() == pItem; }),
        m_drafts.end());
}

IScheduleMeetingItem* PreMeetingService::CreateEditMeetingItem(UINT64 meetingUniqueID)
{
    auto it = m_items.find(meetingUniqueID);
    if (meetingUniqueID == 0 || it == m_items.end())
        return nullptr;
    auto draft = std::make_unique<ScheduleItem>();
    draft->d = it->second->d;
    m_drafts.push_back(std::move(draft));
    return m_drafts.back().get();
}

void PreMeetingService::DestroyEditMeetingItem(IScheduleMeetingItem* pItem)
{
    DestroyScheduleMeetingItem(pItem);
}

SDKError PreMeetingService::SetEvent(IPreMeetingServiceEvent* pEvent)
{
    m_event = pEvent;
    return SDKERR_SUCCESS;
}

MeetingItemInfo* PreMeetingService::Remember(const ItemData& data)
{
    // Pointers handed out stay valid: a known item is updated in place.
    std::unique_ptr<MeetingItemInfo>& slot = m_items[data.meetingId];
    if (!slot)
        slot = std::make_unique<MeetingItemInfo>();
    slot->d = data;
    return slot.get();
}

SDKError PreMeetingService::Submit(ScheduleItem* item, bool edit)
{
    if (!item || !Owns(item))
        return SDKERR_INVALID_PARAMETER;
    if (edit != (item->d.meetingId != 0))
        return SDKERR_INVALID_PARAMETER;
    if (const SDKError err = CheckReady())
        return err;
    CloudRequest request;
    request.method = edit ? "PUT" : "POST";
    request.path = edit ? QStringLiteral("/sdk/items/%1").arg(item->d.meetingId) : QStringLiteral("/sdk/items");
    request.body = item->ToJson();
    const UINT64 editedId = item->d.meetingId;
    ++m_pending;
    SdkCore::Get().Send(request, m_life, [this, editedId](const CloudReply& reply) {
        --m_pending;
        UINT64 id = editedId;
        PreMeetingAPIResult result = PREMETAPIRET_UNKNOW;
        if (reply.ok()) {
            const ItemData data = ItemData::FromJson(reply.data);
            if (data.meetingId != 0) {
                Remember(data);
                id = data.meetingId;
                result = PREMETAPIRET_SUCCESS;
            }
        }
        if (m_event)
            m_event->onScheduleOrEditMeeting(result, id);
    });
    return SDKERR_SUCCESS;
}

SDKError PreMeetingService::ScheduleMeeting(IScheduleMeetingItem* pItem)
{
    return Submit(static_cast<ScheduleItem*>(Owns(pItem) ? pItem : nullptr), false);
}

SDKError PreMeetingService::EditMeeting(IScheduleMeetingItem* pItem)
{
    return Submit(static_cast<ScheduleItem*>(Owns(pItem) ? pItem : nullptr), true);
}

SDKError PreMeetingService::DeleteMeeting(UINT64 meetingUniqueID)
{
    if (meetingUniqueID == 0)
        return SDKERR_INVALID_PARAMETER;
    if (const SDKError err = CheckReady())
        return err;
    CloudRequest request;
    request.method = "DELETE";
    request.path = QStringLiteral("/sdk/items/%1").arg(meetingUniqueID);
    ++m_pending;
    SdkCore::Get().Send(request, m_life, [this](const CloudReply& reply) {
        --m_pending;
        if (m_event)
            m_event->onDeleteMeeting(reply.ok() ? PREMETAPIRET_SUCCESS : PREMETAPIRET_UNKNOW);
    });
    return SDKERR_SUCCESS;
}

SDKError PreMeetingService::ListMeeting()
{
    if (const SDKError err = CheckReady())
        return err;
    CloudRequest request;
    request.path = QStringLiteral("/sdk/items");
    ++m_pending;
    SdkCore::Get().Send(request, m_life, [this](const CloudReply& reply) {
        --m_pending;
        VectorList<UINT64> ids;
        const QJsonValue items = reply.data.value("items");
        if (!reply.ok() || !items.isArray()) {
            if (m_event)
                m_event->onListMeeting(PREMETAPIRET_UNKNOW, &ids);
            return;
        }
        for (const QJsonValue& v : items.toArray()) {
            const ItemData data = ItemData::FromJson(v.toObject());
            if (data.meetingId == 0)
                continue;
            Remember(data);
            ids.Items().push_back(data.meetingId);
        }
        m_listedCount = ids.GetCount();
        if (m_event)
            m_event->onListMeeting(PREMETAPIRET_SUCCESS, &ids);
    });
    return SDKERR_SUCCESS;
}

IMeetingItemInfo* PreMeetingService::GetMeetingItem(UINT64 meetingUniqueID)
{
    auto it = m_items.find(meetingUniqueID);
    return it == m_items.end() ? nullptr : it->second.get();
}

} // namespace orvo
