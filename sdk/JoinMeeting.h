#pragma once
// One join of the main window: builds the join record and hands it to its workflow.

#include <QString>

#include "sdk/CSDKJoinMeetingForLoginUserFlow.h"

class JoinMeeting
{
public:
    JoinMeeting();
    ~JoinMeeting(); // does not leave a running meeting

    // -1 for an empty number (nothing sent); otherwise the workflow's result.
    int Join(const QString& meetingNumber,
             const QString& displayName,
             const QString& password,
             bool shareScreen,
             bool withoutLogin);

    CSDKJoinMeetingForLoginUserFlow& Workflow() { return m_workflow; }

private:
    CSDKJoinMeetingForLoginUserFlow m_workflow;
};
