#include "sdk/ScheduleItems.h"

#include <string>

#include "sdk/CSDKSheduleMeetingUIWorkFlow.h"
#include "sdk/SDKInterfaceWrap.h"

using namespace ORVOSDK;

namespace schedule {
namespace {

QString text(const wchar_t* value)
{
    return value ? QString::fromWCharArray(value) : QString();
}

template <typename Item> Option option(Item* item, bool (Item::*read)(bool&))
{
    Option o;
    o.on = (item->*read)(o.modifiable);
    return o;
}

template <typename Item> void readOptions(Item* item, ItemInfo& info)
{
    info.topic = text(item->GetMeetingTopic());
    info.startTime = qint64(item->GetStartTime());
    info.durationMinutes = int(item->GetDurationInMinutes());
    info.periodic = item->IsPeriodicMeeting();
    info.hostVideo = item->IsHostVideoOn();
    info.participantVideo = item->IsParticipantVideoOn();
    info.password = option(item, &Item::IsPasswordEnabled);
    info.passwordText = text(item->GetMeetingPassword());
    info.joinBeforeHost = option(item, &Item::IsJoinBeforeHostEnabled);
    info.muteUponEntry = option(item, &Item::IsMuteUponEntryEnabled);
    info.usePmi = option(item, &Item::IsUsePMIEnabled);
    info.autoRecording = option(item, &Item::IsAutoRecordingEnabled);
}

ItemInfo fromInfo(IMeetingItemInfo* item)
{
    ItemInfo info;
    readOptions(item, info);
    info.uniqueId = item->GetMeetingUniqueID();
    info.number = item->GetMeetingNumber();
    info.personal = item->IsPersonalMeeting();
    info.joinUrl = text(item->GetJoinMeetingUrl());
    return info;
}

// Writes a switch only when it changes and the account may change it.
void writeOption(IScheduleMeetingItem* item,
                 bool (IScheduleMeetingItem::*read)(bool&),
                 SDKError (IScheduleMeetingItem::*write)(bool),
                 bool wanted,
                 bool always = false)
{
    bool modifiable = false;
    const bool current = (item->*read)(modifiable);
    if (modifiable && (always || current != wanted))
        (item->*write)(wanted);
}

} // namespace

std::optional<ItemInfo> itemInfo(CSDKSheduleMeetingUIWorkFlow* flow, quint64 uniqueId)
{
    IMeetingItemInfo* item = flow ? flow->MeetingItem(uniqueId) : nullptr;
    if (!item)
        return std::nullopt;
    return fromInfo(item);
}

std::optional<ItemInfo>
itemInfoByNumber(CSDKSheduleMeetingUIWorkFlow* flow, const std::vector<quint64>& listedIds, quint64 number)
{
    if (!flow || number == 0)
        return std::nullopt;
    for (quint64 id : listedIds) {
        IMeetingItemInfo* item = flow->MeetingItem(id);
        if (item && item->GetMeetingNumber() == number)
            return fromInfo(item);
    }
    return std::nullopt;
}

bool newScheduleItem(CSDKSheduleMeetingUIWorkFlow* flow)
{
    return flow && flow->NewScheduleItem();
}

std::optional<ItemInfo> newEditItem(CSDKSheduleMeetingUIWorkFlow* flow, quint64 uniqueId)
{
    IScheduleMeetingItem* item = flow ? flow->NewEditItem(uniqueId) : nullptr;
    if (!item)
        return std::nullopt;
    ItemInfo info;
    readOptions(item, info);
    info.uniqueId = uniqueId;
    return info;
}

bool fillItem(CSDKSheduleMeetingUIWorkFlow* flow, ItemKind kind, const ItemWrite& values)
{
    IScheduleMeetingItem* item = !flow ? nullptr : kind == ItemKind::Schedule ? flow->ScheduleItem() : flow->EditItem();
    if (!item)
        return false;
    if (values.writeSchedule) {
        item->SetMeetingTopic(values.topic.toStdWString().c_str());
        item->SetStartTime(time_t(values.startTime));
        item->SetDurationInMinutes(unsigned(qMax(0, values.durationMinutes)));
    }
    item->SetAsPeriodicMeeting(values.periodic);
    item->TurnHostVideoOn(values.hostVideo);
    item->TurnParticipantVideoOn(values.participantVideo);
    if (values.newMeeting)
        item->SetAudioOption(SCHEDULE_AUDIO_BOTH);

    bool passwordModifiable = false;
    const bool passwordEnabled = item->IsPasswordEnabled(passwordModifiable);
    if (passwordModifiable) {
        if (values.passwordOn && !values.password.isEmpty()) {
            // A changed password is written too, not only a first one.
            if (!passwordEnabled)
                item->EnablePassword(true);
            item->SetMeetingPassword(values.password.toStdWString().c_str());
        } else if (!values.newMeeting && passwordEnabled) {
            item->SetMeetingPassword(L"");
            item->EnablePassword(false);
        }
    }
    writeOption(item, &IScheduleMeetingItem::IsJoinBeforeHostEnabled, &IScheduleMeetingItem::EnableJoinBeforeHost,
                values.joinBeforeHost);
    writeOption(item, &IScheduleMeetingItem::IsMuteUponEntryEnabled, &IScheduleMeetingItem::EnableMuteUponEntry,
                values.muteUponEntry);
    writeOption(item, &IScheduleMeetingItem::IsUsePMIEnabled, &IScheduleMeetingItem::EnableUsePMI, values.usePmi,
                values.alwaysWriteUsePmi);
    writeOption(item, &IScheduleMeetingItem::IsAutoRecordingEnabled, &IScheduleMeetingItem::EnableAutoRecording,
                values.autoRecording);
    return true;
}

int submitSchedule(CSDKSheduleMeetingUIWorkFlow* flow)
{
    return flow ? flow->ScheduleMeeting() : int(SDKERR_UNINITIALIZE);
}

int submitEdit(CSDKSheduleMeetingUIWorkFlow* flow)
{
    return flow ? flow->EditMeeting() : int(SDKERR_UNINITIALIZE);
}

int listMeetings(CSDKSheduleMeetingUIWorkFlow* flow)
{
    return flow ? flow->ListMeetings() : int(SDKERR_UNINITIALIZE);
}

int deleteMeeting(quint64 uniqueId)
{
    IPreMeetingService* service = SDKInterfaceWrap::Instance().PreMeetingService();
    return service ? int(service->DeleteMeeting(uniqueId)) : int(SDKERR_UNINITIALIZE);
}

} // namespace schedule
