#pragma once
// The pre-meeting items as plain values, so windows read and fill scheduled meetings without
// seeing the SDK's interfaces.

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

class CSDKSheduleMeetingUIWorkFlow;

namespace schedule {

// A meeting option as the SDK reports it: its value and whether the account may change it.
struct Option
{
    bool on = false;
    bool modifiable = true;
};

// A meeting the SDK has listed or scheduled.
struct ItemInfo
{
    quint64 uniqueId = 0;
    quint64 number = 0;
    QString topic;
    qint64 startTime = 0; // seconds since 1970 UTC; 0 or less: no fixed time
    int durationMinutes = 0;
    bool periodic = false;
    bool personal = false;
    bool hostVideo = true;
    bool participantVideo = true;
    Option password;
    QString passwordText;
    Option joinBeforeHost;
    Option muteUponEntry;
    Option usePmi;
    Option autoRecording;
    QString joinUrl;
};

// What a dialog writes into a schedule or edit item.
struct ItemWrite
{
    bool writeSchedule = true; // topic, start and duration (the personal meeting keeps its own)
    QString topic;
    qint64 startTime = 0;
    int durationMinutes = 60;
    bool periodic = false;
    bool hostVideo = true;
    bool participantVideo = true;
    bool newMeeting = true; // new meetings get the audio setting; edits may remove a password
    bool passwordOn = false;
    QString password;
    bool joinBeforeHost = false;
    bool muteUponEntry = false;
    bool usePmi = false;
    bool alwaysWriteUsePmi = false; // the personal meeting's settings are marked as such every time
    bool autoRecording = false;
};

enum class ItemKind
{
    Schedule,
    Edit
};

// A listed meeting by its unique ID; nullopt without a workflow, a service or such a meeting.
std::optional<ItemInfo> itemInfo(CSDKSheduleMeetingUIWorkFlow* flow, quint64 uniqueId);
// A meeting of a list result by the number participants type; the SDK looks meetings up by
// unique ID only.
std::optional<ItemInfo>
itemInfoByNumber(CSDKSheduleMeetingUIWorkFlow* flow, const std::vector<quint64>& listedIds, quint64 number);

// Replaces the workflow's schedule item; false when there is none.
bool newScheduleItem(CSDKSheduleMeetingUIWorkFlow* flow);
// Replaces the workflow's edit item and returns its current values; nullopt when there is none.
std::optional<ItemInfo> newEditItem(CSDKSheduleMeetingUIWorkFlow* flow, quint64 uniqueId);
// Writes values into the item; false only when the item does not exist. Options the account may
// not change and options already at the wanted value are left alone.
bool fillItem(CSDKSheduleMeetingUIWorkFlow* flow, ItemKind kind, const ItemWrite& values);

// The workflow's submits and list request: 0 when the SDK took them, 7 without a workflow or service.
int submitSchedule(CSDKSheduleMeetingUIWorkFlow* flow);
int submitEdit(CSDKSheduleMeetingUIWorkFlow* flow);
int listMeetings(CSDKSheduleMeetingUIWorkFlow* flow);

// Asks the SDK to delete a meeting; 0 when the request was accepted, 7 without a service.
int deleteMeeting(quint64 uniqueId);

} // namespace schedule
