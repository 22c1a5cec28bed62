#include "net/MeetingApi.h"

#include "base/MeetingNumber.h"
#include "base/Text.h"
#include "net/ServiceRequest.h"

namespace net {
namespace {

constexpr const char* kArrangePath = "/api/qzMeetings/meetings/meetings_arrange.do";
constexpr const char* kUpdatePmiPath = "/api/orvo/user/UpdatePMI.do";

const char* boolText(bool on)
{
    return on ? "true" : "false";
}

ServiceResult resultOf(const Reply& reply)
{
    ServiceResult result;
    result.ok = reply.ok();
    if (!result.ok)
        result.msg = reply.msg();
    return result;
}

} // namespace

std::string arrangeMeetingBody(const ArrangeRequest& request)
{
    const ArrangeRecurrence& r = request.recurrence;
    JsonBody recurrence;
    recurrence.add("type", std::to_string(int(r.type)));
    recurrence.add("repeat_interval", std::to_string(r.interval));
    if (r.type == ArrangeRecurrence::Weekly)
        recurrence.add("weekly_days", r.weeklyDays);
    if (r.type == ArrangeRecurrence::Monthly)
        recurrence.add("monthly_day", std::to_string(r.monthlyDay));
    recurrence.add("end_date_time", r.endDateTime);

    JsonBody settings;
    settings.add("host_video", boolText(request.hostVideo));
    settings.add("participant_video", boolText(request.participantVideo));
    settings.add("join_before_host", boolText(request.joinBeforeHost));
    settings.add("mute_upon_entry", boolText(request.muteUponEntry));
    settings.add("use_pmi", boolText(request.usePmi));
    settings.add("auto_recording", request.autoRecording ? "local" : "none");

    JsonBody body;
    body.add("user_id", request.userId);
    body.add("topic", request.topic);
    body.add("type", "8");
    body.add("start_time", request.startTime);
    body.add("duration", std::to_string(request.durationMinutes));
    body.add("timezone", "Asia/Shanghai");
    body.add("password", request.password);
    body.addObject("recurrence", std::move(recurrence));
    body.addObject("settings", std::move(settings));
    return body.text();
}

ServiceResult arrangeMeeting(const ArrangeRequest& request)
{
    const std::string body = arrangeMeetingBody(request);
    if (body.empty())
        return ServiceResult();
    return resultOf(postJson(kArrangePath, body));
}

ServiceResult updatePersonalMeetingId(const QString& account, quint64 pmi)
{
    return resultOf(getJson(kUpdatePmiPath, {{"host_id", WideToUtf8(account)}, {"pmi", meetingNumberText(pmi)}}));
}

} // namespace net
