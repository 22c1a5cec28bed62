#pragma once
// What the scheduling dialogs and list rows need from the window that owns the meetings page.
// The main window implements it; tests give a small fake.

#include <QString>
#include <QtGlobal>

class ScheduleItem;

class MeetingsContext
{
public:
    // 0 until the meeting list has named the personal meeting.
    virtual quint64 personalMeetingId() const = 0;
    // The SDK's unique ID of the personal meeting, which the SDK looks it up by.
    virtual quint64 personalMeetingUniqueId() const = 0;
    virtual QString displayName() const = 0;
    // The signed-in account, the service's host_id.
    virtual QString account() const = 0;
    // The service's user ID; fetched (blocking) when not known yet, empty when that fails.
    virtual QString serviceUserId() = 0;
    // The unique ID of the meeting whose edit was submitted, so its result can be worded.
    virtual void setEditingMeeting(quint64 uniqueId) = 0;
    // A personal meeting ID the service has just accepted.
    virtual void setPendingPersonalMeetingId(quint64 pmi) = 0;

    // List rows. 0 when the meeting was started.
    virtual int startMeetingByNumber(quint64 number) = 0;
    virtual quint64 startedMeetingId() const = 0;
    virtual void setStartedMeetingId(quint64 uniqueId) = 0;
    // Takes the row out of the list; the row is deleted later, never inside its own click.
    virtual void removePlanRow(ScheduleItem* row) = 0;
    virtual void editMeeting(quint64 uniqueId, quint64 number) = 0;
    // The invitation of a meeting to the clipboard, or shown when show is set.
    virtual void readMeetingInfo(quint64 uniqueId, bool show) = 0;

protected:
    ~MeetingsContext() = default;
};
