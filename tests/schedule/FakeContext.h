#pragma once
// A meetings page stand-in that records what the dialogs and rows ask of it.

#include <QString>
#include <vector>

#include "ui/schedule/MeetingsContext.h"

struct FakeContext : MeetingsContext
{
    quint64 pmi = 0;
    quint64 pmiUniqueId = 0;
    QString name = QStringLiteral("Alice");
    QString accountName = QStringLiteral("demo@vtx.local");
    QString userId;
    int userIdRequests = 0;
    quint64 editing = 0;
    quint64 pendingPmi = 0;
    int startResult = 0;
    std::vector<quint64> started;
    quint64 startedId = 0;
    std::vector<ScheduleItem*> removed;
    std::vector<std::pair<quint64, quint64>> edits;
    std::vector<std::pair<quint64, bool>> reads;

    quint64 personalMeetingId() const override { return pmi; }
    quint64 personalMeetingUniqueId() const override { return pmiUniqueId; }
    QString displayName() const override { return name; }
    QString account() const override { return accountName; }
    QString serviceUserId() override
    {
        ++userIdRequests;
        return userId;
    }
    void setEditingMeeting(quint64 id) override { editing = id; }
    void setPendingPersonalMeetingId(quint64 id) override { pendingPmi = id; }
    int startMeetingByNumber(quint64 number) override
    {
        started.push_back(number);
        return startResult;
    }
    quint64 startedMeetingId() const override { return startedId; }
    void setStartedMeetingId(quint64 id) override { startedId = id; }
    void removePlanRow(ScheduleItem* row) override { removed.push_back(row); }
    void editMeeting(quint64 id, quint64 number) override { edits.emplace_back(id, number); }
    void readMeetingInfo(quint64 id, bool show) override { reads.emplace_back(id, show); }
};
