// The maker's web service: the /api endpoints VTX calls, and the pages and pictures they link to.

#include <cstdio>

#include "service/Language.h"
#include "service/Png.h"
#include "service/Service.h"
#include "service/Util.h"

namespace vtxsvc {
namespace {

constexpr int kCodeValidMinutes = 10;
constexpr int kCodeMaxAttempts = 5;
// Six digits take 10^6 guesses; 20 wrong codes a day per phone, whatever new codes it asks for,
// keep that out of reach. Asking for codes is limited too: each one is a message sent.
constexpr size_t kCodesPerPhonePerHour = 10;
constexpr size_t kCodesPerPeerPerHour = 30;
constexpr size_t kWrongCodesPerPhonePerDay = 20;
constexpr size_t kMaxTopicBytes = 1000;
constexpr size_t kMaxAddresses = 50;
const char* const kGuestDomain = "guest.vtx.local";

bool ParseDateTime(
    const std::string& text, const char* format, size_t length, int& y, int& mo, int& d, int& h, int& mi, int& s)
{
    if (text.size() != length)
        return false;
    char tail = 0;
    if (std::sscanf(text.c_str(), format, &y, &mo, &d, &h, &mi, &s, &tail) != 6)
        return false;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1970 || y > 9999 || mo < 1 || mo > 12 || h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59)
        return false;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    const int maxDay = days[mo - 1] + (mo == 2 && leap ? 1 : 0);
    return d >= 1 && d <= maxDay;
}

cJSON* ProfileJson(const Account& a, const std::string& baseUrl)
{
    cJSON* data = cJSON_CreateObject();
    cJSON_AddStringToObject(data, "id", std::to_string(a.id).c_str());
    cJSON_AddStringToObject(data, "email", a.email.c_str());
    cJSON_AddStringToObject(data, "first_name", a.firstName.c_str());
    cJSON_AddStringToObject(data, "last_name", a.lastName.c_str());
    cJSON_AddStringToObject(data, "display_name", a.displayName.c_str());
    cJSON_AddStringToObject(data, "avatar_path", (baseUrl + "/avatar/" + std::to_string(a.id) + ".png").c_str());
    cJSON_AddStringToObject(data, "pmi", std::to_string(a.pmi).c_str());
    return data;
}

std::string OneLine(const std::string& text)
{
    std::string out;
    for (char c : text)
        out.push_back((c == '\r' || c == '\n') ? ' ' : c);
    return out;
}

std::string GroupedNumber(int64_t number)
{
    const std::string digits = std::to_string(number);
    std::string out;
    const size_t second = digits.size() <= 10 ? 6 : 7;
    for (size_t i = 0; i < digits.size(); ++i) {
        if ((i == 3 || i == second) && i < digits.size())
            out.push_back('-');
        out.push_back(digits[i]);
    }
    return out;
}

std::string JoinPage(int64_t number, const std::string& topic)
{
    const std::string grouped = GroupedNumber(number);
    const std::string link = "vtxlaunch://roomID:" + std::to_string(number);
    std::string html = "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
                       "<meta name=\"viewport\" content=\"width=device-width\">"
                       "<title>VTX " +
                       grouped +
                       "</title><style>"
                       "body{font-family:sans-serif;text-align:center;margin-top:4em;color:#333}"
                       "a.button{display:inline-block;padding:.8em 2em;background:#1890ff;color:#fff;"
                       "border-radius:4px;text-decoration:none;font-size:1.2em}</style></head><body>\n";
    if (!topic.empty())
        html += "<h2 id=\"topic\">" + HtmlEscape(topic) + "</h2>\n";
    html += "<p>会议号 Meeting ID: <b id=\"number\">" + grouped + "</b></p>\n";
    html += "<p><a class=\"button\" id=\"open\" href=\"" + link + "\">打开 VTX 加入会议 / Open in VTX</a></p>\n";
    html += "</body></html>\n";
    return html;
}

void NotFoundPage(httplib::Response& res, const std::string& what)
{
    res.status = 404;
    res.set_content("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>VTX</title></head><body><p>" +
                        HtmlEscape(what) + "</p></body></html>\n",
                    "text/html; charset=utf-8");
}

// A meeting number exists when an item has it or a meeting with it runs right now.
bool MeetingExists(ServiceContext& ctx, int64_t number, std::string* topic)
{
    if (auto item = ctx.store.ItemByNumber(number)) {
        if (topic)
            *topic = item->topic;
        return true;
    }
    return ctx.meetings.IsRunning(number);
}

bool ParseNumberParam(const std::string& text, int64_t& number)
{
    uint64_t value = 0;
    if (!ParseUInt64(text, value) || value == 0 || value > (UINT64_C(1) << 53))
        return false;
    number = static_cast<int64_t>(value);
    return true;
}

} // namespace

void RegisterWebApi(httplib::Server& server, ServiceContext& ctx)
{
    Post(server, "/api/orvo/user/GetVerificationCode.do", [&ctx](const httplib::Request& req, httplib::Response& res) {
        std::string error;
        JsonPtr root = ParseObject(req.body, error);
        if (!root)
            return Reply(res, "400", error);
        FieldReader f(root.get());
        std::string phone;
        if (!f.String("phoneNumber", phone))
            return Reply(res, "400", f.Error());
        if (!IsValidPhone(phone))
            return Reply(res, "400", "the phone number must have 11 digits and start with 1");
        if (ctx.codeRequestsPerPeer.Count(req.remote_addr) >= kCodesPerPeerPerHour ||
            !ctx.codeRequestsPerPhone.Take(phone, kCodesPerPhonePerHour))
            return Reply(res, "429", "too many verification codes were requested; try again in an hour");
        ctx.codeRequestsPerPeer.Record(req.remote_addr);
        const std::string code = RandomDigits(6);
        if (!ctx.store.StoreCode(phone, code, NowSeconds() + kCodeValidMinutes * 60) ||
            !ctx.outbox.WriteSms(phone, code, kCodeValidMinutes))
            return Reply(res, "500", "the verification code could not be sent");
        ReplyOk(res);
    });

    Post(server, "/api/orvo/user/Validation.do", [&ctx](const httplib::Request& req, httplib::Response& res) {
        std::string error;
        JsonPtr root = ParseObject(req.body, error);
        if (!root)
            return Reply(res, "400", error);
        FieldReader f(root.get());
        std::string phone, code, email;
        f.String("phoneNumber", phone);
        f.String("verification_code", code);
        const bool withAccount = f.String("email", email, false);
        if (!f.Ok())
            return Reply(res, "400", f.Error());
        if (!IsValidPhone(phone))
            return Reply(res, "400", "the phone number must have 11 digits and start with 1");
        if (code.empty())
            return Reply(res, "400", "the verification code is empty");
        std::optional<Account> account;
        if (withAccount) {
            // Checked before the code, so a typo in the account does not burn the code.
            account = ctx.store.AccountByEmail(email);
            if (!account)
                return Reply(res, "404", "unknown account " + email);
        }
        if (ctx.wrongCodesPerPhone.Count(phone) >= kWrongCodesPerPhonePerDay)
            return Reply(res, "429", "too many wrong verification codes for this phone number; try again tomorrow");
        switch (ctx.store.CheckCode(phone, code, kCodeMaxAttempts)) {
        case CodeCheck::Ok:
            break;
        case CodeCheck::Error:
            return Reply(res, "500", "the verification code could not be checked");
        case CodeCheck::Wrong:
            ctx.wrongCodesPerPhone.Record(phone);
            return Reply(res, "401", "the verification code is wrong");
        case CodeCheck::Expired:
            return Reply(res, "401", "the verification code has expired, ask for a new one");
        case CodeCheck::Missing:
            return Reply(res, "401", "no verification code was sent to this phone number");
        }
        cJSON* data = cJSON_CreateObject();
        if (withAccount) {
            if (!ctx.store.BindPhone(account->id, phone)) {
                cJSON_Delete(data);
                return Reply(res, "500", "the phone number could not be saved");
            }
            cJSON_AddStringToObject(data, "account_name", account->email.c_str());
            cJSON_AddStringToObject(data, "phone", phone.c_str());
        } else {
            auto guest = ctx.store.TemporaryAccountForPhone(phone, kGuestDomain);
            if (!guest) {
                cJSON_Delete(data);
                return Reply(res, "500", "the temporary account could not be created");
            }
            cJSON_AddStringToObject(data, "account_name", guest->email.c_str());
            cJSON_AddStringToObject(data, "password", guest->tempPassword.c_str());
        }
        ReplyOk(res, data);
    });

    Post(server, "/api/qzMeetings/user/get_user_qz", [&ctx](const httplib::Request& req, httplib::Response& res) {
        std::string email;
        if (!FormField(req, "email", email) || email.empty())
            return Reply(res, "400", "missing field \"email\"");
        auto account = ctx.store.AccountByEmail(email);
        if (!account)
            return Reply(res, "404", "unknown account " + email);
        ReplyOk(res, ProfileJson(*account, BaseUrl(req, ctx)));
    });

    Get(server, "/api/orvo/user/QueryListMetting", [&ctx](const httplib::Request& req, httplib::Response& res) {
        std::string hostId, idText;
        if (!QueryValue(req, "host_id", hostId) || !QueryValue(req, "id", idText))
            return Reply(res, "400", "host_id and id are required");
        int64_t id = 0;
        if (!ParseNumberParam(idText, id))
            return Reply(res, "400", "id must be a meeting ID or meeting number");
        const std::optional<Item> found = ctx.store.HostItemByIdOrNumber(hostId, id);
        if (!found)
            return Reply(res, "404", "the host has no such meeting");
        JsonPtr root = MakeEnvelope("200", "ok", ItemJson(*found, BaseUrl(req, ctx), hostId));
        cJSON_AddStringToObject(root.get(), "password", found->passwordEnabled ? found->password.c_str() : "");
        ReplyJson(res, root.get());
    });

    Get(server, "/api/orvo/user/UpdatePMI.do", [&ctx](const httplib::Request& req, httplib::Response& res) {
        std::string hostId, text;
        if (!QueryValue(req, "host_id", hostId) || !QueryValue(req, "pmi", text))
            return Reply(res, "400", "host_id and pmi are required");
        int64_t pmi = 0;
        if ((text.size() != 10 && text.size() != 11) || text[0] == '0' || !ParseNumberParam(text, pmi))
            return Reply(res, "400", "a personal meeting ID has 10 or 11 digits and does not start with 0");
        auto host = ctx.store.AccountByEmail(hostId);
        if (!host)
            return Reply(res, "404", "unknown host");
        const int rc = ctx.store.ChangePmi(host->id, pmi, [&ctx](int64_t n) { return ctx.meetings.IsRunning(n); });
        if (rc == 409)
            return Reply(res, "409", "this meeting ID is already in use");
        if (rc != 0)
            return Reply(res, "500", "the personal meeting ID could not be changed");
        cJSON* data = cJSON_CreateObject();
        cJSON_AddStringToObject(data, "pmi", text.c_str());
        ReplyOk(res, data);
    });

    Post(server, "/api/qzMeetings/meetings/meetings_arrange.do",
         [&ctx](const httplib::Request& req, httplib::Response& res) {
             std::string error;
             JsonPtr root = ParseObject(req.body, error);
             if (!root)
                 return Reply(res, "400", error);
             FieldReader f(root.get());
             std::string userId, topic, type, startTime, duration, timezone, password;
             f.String("user_id", userId);
             f.String("topic", topic);
             f.String("type", type);
             f.String("start_time", startTime);
             f.String("duration", duration);
             f.String("timezone", timezone);
             f.String("password", password);
             const cJSON* recurrence = f.Object("recurrence");
             const cJSON* settings = f.Object("settings");
             if (!f.Ok())
                 return Reply(res, "400", f.Error());

             FieldReader r(recurrence);
             std::string rType, rInterval, weeklyDays, monthlyDay, endDate;
             r.String("type", rType);
             r.String("repeat_interval", rInterval);
             r.String("end_date_time", endDate);
             if (rType == "2")
                 r.String("weekly_days", weeklyDays);
             if (rType == "3")
                 r.String("monthly_day", monthlyDay);
             FieldReader s(settings);
             bool hostVideo = true, participantVideo = true, joinBeforeHost = false, mute = false, usePmi = false;
             std::string recording;
             s.BoolText("host_video", hostVideo);
             s.BoolText("participant_video", participantVideo);
             s.BoolText("join_before_host", joinBeforeHost);
             s.BoolText("mute_upon_entry", mute);
             s.BoolText("use_pmi", usePmi);
             s.String("auto_recording", recording);
             if (!r.Ok())
                 return Reply(res, "400", "recurrence: " + r.Error());
             if (!s.Ok())
                 return Reply(res, "400", "settings: " + s.Error());

             uint64_t uid = 0;
             if (!ParseUInt64(userId, uid))
                 return Reply(res, "400", "user_id must be a user ID");
             auto host = ctx.store.AccountById(static_cast<int64_t>(uid));
             if (!host)
                 return Reply(res, "404", "unknown user " + userId);
             if (topic.empty() || topic.size() > kMaxTopicBytes)
                 return Reply(res, "400", "the topic must not be empty or longer than 1000 bytes");
             int y, mo, d, h, mi, sec;
             if (!ParseDateTime(startTime, "%4d-%2d-%2d %2d:%2d:%2d%c", 19, y, mo, d, h, mi, sec))
                 return Reply(res, "400", "start_time must be YYYY-MM-DD HH:MM:SS");
             const int startDay = y * 10000 + mo * 100 + d;
             uint64_t minutes = 0;
             if (!ParseUInt64(duration, minutes) || minutes > 1440)
                 return Reply(res, "400", "duration must be 0 to 1440 minutes");
             if (password.size() > 10 || !IsAlnum(password))
                 return Reply(res, "400", "the password has at most 10 letters and digits");
             if (recording != "local" && recording != "none" && recording != "cloud")
                 return Reply(res, "400", "auto_recording must be local, none or cloud");

             uint64_t interval = 0;
             const uint64_t maxInterval = rType == "1" ? 15 : rType == "2" ? 12 : rType == "3" ? 3 : 0;
             if (maxInterval == 0)
                 return Reply(res, "400", "recurrence type must be 1 (daily), 2 (weekly) or 3 (monthly)");
             if (!ParseUInt64(rInterval, interval) || interval < 1 || interval > maxInterval)
                 return Reply(res, "400", "repeat_interval must be 1 to " + std::to_string(maxInterval));
             if (!ParseDateTime(endDate, "%4d-%2d-%2dT%2d:%2d:%2dZ%c", 20, y, mo, d, h, mi, sec))
                 return Reply(res, "400", "end_date_time must be YYYY-MM-DDTHH:MM:SSZ");
             if (y * 10000 + mo * 100 + d < startDay)
                 return Reply(res, "400", "the end date lies before the start");
             int64_t dayOfMonth = 0;
             if (rType == "2") {
                 // "2,4,6": days 1 (Sunday) to 7, ascending, each once.
                 int last = 0;
                 size_t pos = 0;
                 bool ok = !weeklyDays.empty();
                 while (ok && pos <= weeklyDays.size()) {
                     const size_t comma = weeklyDays.find(',', pos);
                     const std::string part =
                         weeklyDays.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
                     ok = part.size() == 1 && part[0] >= '1' && part[0] <= '7' && part[0] - '0' > last;
                     if (ok)
                         last = part[0] - '0';
                     if (comma == std::string::npos)
                         break;
                     pos = comma + 1;
                 }
                 if (!ok)
                     return Reply(res, "400", "weekly_days must list days 1 to 7 in ascending order, e.g. 2,4");
             }
             if (rType == "3") {
                 uint64_t day = 0;
                 if (!ParseUInt64(monthlyDay, day) || day < 1 || day > 31)
                     return Reply(res, "400", "monthly_day must be 1 to 31");
                 dayOfMonth = static_cast<int64_t>(day);
             }

             Item item;
             item.hostId = host->id;
             item.topic = topic;
             item.duration = static_cast<int64_t>(minutes);
             item.timezone = timezone;
             item.recurring = true;
             item.password = password;
             item.passwordEnabled = !password.empty();
             item.hostVideo = hostVideo;
             item.participantVideo = participantVideo;
             item.joinBeforeHost = joinBeforeHost;
             item.muteUponEntry = mute;
             item.usePmi = usePmi;
             item.autoRecording = recording != "none";
             JsonPtr rec(cJSON_CreateObject());
             cJSON_AddItemToObject(rec.get(), "type", NumberItem(rType[0] - '0'));
             cJSON_AddItemToObject(rec.get(), "repeat_interval", NumberItem(static_cast<int64_t>(interval)));
             cJSON_AddStringToObject(rec.get(), "weekly_days", weeklyDays.c_str());
             cJSON_AddItemToObject(rec.get(), "monthly_day", NumberItem(dayOfMonth));
             cJSON_AddStringToObject(rec.get(), "end_date_time", endDate.c_str());
             cJSON_AddStringToObject(rec.get(), "first_start", startTime.c_str());
             item.recurrence = Print(rec.get());
             item.number =
                 usePmi ? host->pmi : ctx.store.NewNumber(11, [&ctx](int64_t n) { return ctx.meetings.IsRunning(n); });
             if (item.number == 0 || !ctx.store.InsertItem(item))
                 return Reply(res, "500", "the meeting could not be saved");
             cJSON* data = cJSON_CreateObject();
             cJSON_AddStringToObject(data, "meeting_id", std::to_string(item.id).c_str());
             cJSON_AddStringToObject(data, "meeting_number", std::to_string(item.number).c_str());
             ReplyOk(res, data);
         });

    Post(server, "/api/qzMeetings/meetings/get_meetings_short_links",
         [&ctx](const httplib::Request& req, httplib::Response& res) {
             std::string text;
             if (!FormField(req, "meetings_id", text))
                 return Reply(res, "400", "missing field \"meetings_id\"");
             int64_t number = 0;
             if (!ParseNumberParam(text, number))
                 return Reply(res, "400", "meetings_id must be a meeting number");
             if (!MeetingExists(ctx, number, nullptr))
                 return Reply(res, "404", "no meeting has this number");
             const std::string code = ctx.store.ShortLinkFor(number);
             if (code.empty())
                 return Reply(res, "500", "the short link could not be made");
             Reply(res, "200", "ok", cJSON_CreateString((BaseUrl(req, ctx) + "/s/" + code).c_str()));
         });

    Post(server, "/api/qzMeetings/meetings/send_email", [&ctx](const httplib::Request& req, httplib::Response& res) {
        std::vector<std::string> addresses;
        std::string list;
        QueryValue(req, "email", list);
        size_t pos = 0;
        while (pos <= list.size()) {
            size_t end = list.find_first_of(";,", pos);
            if (end == std::string::npos)
                end = list.size();
            std::string address = list.substr(pos, end - pos);
            while (!address.empty() && address.front() == ' ')
                address.erase(address.begin());
            while (!address.empty() && address.back() == ' ')
                address.pop_back();
            if (!address.empty())
                addresses.push_back(address);
            pos = end + 1;
        }
        if (addresses.empty())
            return Reply(res, "400", "no e-mail address given");
        if (addresses.size() > kMaxAddresses)
            return Reply(res, "400", "at most 50 addresses per invitation");
        for (const auto& a : addresses)
            if (!IsValidEmail(a))
                return Reply(res, "400", "invalid e-mail address: " + a);
        std::string error;
        JsonPtr root = ParseObject(req.body, error);
        if (!root)
            return Reply(res, "400", error);
        FieldReader f(root.get());
        std::string topic, start, duration, number, password;
        f.String("topic", topic);
        f.String("start_time", start);
        f.String("duration", duration);
        f.String("meetings_id", number);
        f.String("mettings_password", password);
        if (!f.Ok())
            return Reply(res, "400", f.Error());
        int64_t meetingNumber = 0;
        if (!ParseNumberParam(number, meetingNumber))
            return Reply(res, "400", "meetings_id must be a meeting number");
        const std::string link = BaseUrl(req, ctx) + "/j/" + number;
        const std::string subject = "Meeting invitation: " + OneLine(topic);
        std::string body = "You are invited to a VTX meeting.\n\nTopic: " + topic + "\nTime: " + start +
                           "\nDuration: " + duration + "\nMeeting ID: " + GroupedNumber(meetingNumber) + "\n";
        if (!password.empty())
            body += "Password: " + password + "\n";
        body += "Join: " + link + "\n";
        int sent = 0;
        for (const auto& a : addresses)
            if (ctx.outbox.WriteEmail(a, subject, body))
                ++sent;
        if (sent != static_cast<int>(addresses.size()))
            return Reply(res, "500", "some invitations could not be sent");
        cJSON* data = cJSON_CreateObject();
        cJSON_AddItemToObject(data, "sent", NumberItem(sent));
        ReplyOk(res, data);
    });

    Post(server, "/api/qzMeetings/user/set_user.do", [&ctx](const httplib::Request& req, httplib::Response& res) {
        std::string userId, password, oldPassword;
        if (!FormField(req, "user_id", userId) || !FormField(req, "password", password) ||
            !FormField(req, "passwordOld", oldPassword))
            return Reply(res, "400", "user_id, password and passwordOld are required");
        uint64_t uid = 0;
        if (!ParseUInt64(userId, uid))
            return Reply(res, "400", "user_id must be a user ID");
        auto account = ctx.store.AccountById(static_cast<int64_t>(uid));
        if (!account)
            return Reply(res, "404", "unknown user " + userId);
        if (password.size() < 6 || password.size() > 64)
            return Reply(res, "400", "the new password must have 6 to 64 characters");
        if (!ctx.store.CheckPassword(account->id, oldPassword))
            return Reply(res, "403", "the current password is wrong");
        if (!ctx.store.SetPassword(account->id, password))
            return Reply(res, "500", "the password could not be changed");
        ReplyOk(res);
    });

    Post(server, "/api/upgrade/newVersion.do", [&ctx](const httplib::Request& req, httplib::Response& res) {
        std::string error;
        JsonPtr root = ParseObject(req.body, error);
        if (!root)
            return Reply(res, "400", error);
        FieldReader f(root.get());
        std::string pv, appId, version;
        f.String("pv", pv);
        f.String("app_id", appId);
        f.String("version", version);
        if (!f.Ok())
            return Reply(res, "400", f.Error());
        cJSON* data = cJSON_CreateObject();
        {
            std::lock_guard<std::mutex> lock(ctx.versionMutex);
            cJSON_AddStringToObject(data, "app_version_new", ctx.version.appVersionNew.c_str());
            cJSON_AddStringToObject(data, "force_update", ctx.version.forceUpdate.c_str());
            cJSON_AddStringToObject(data, "url", ctx.version.url.c_str());
            cJSON_AddStringToObject(data, "tips", ctx.version.tips.c_str());
        }
        ReplyOk(res, data);
    });

    Get(server, "/guide/PC/pcguide.html", [&ctx](const httplib::Request& req, httplib::Response& res) {
        if (!ctx.guideUrl.empty())
            return res.set_redirect(ctx.guideUrl);
        // The client names its language; a browser opening the page by itself has its own header.
        std::string lang;
        if (!QueryValue(req, "lang", lang))
            lang = req.get_header_value("Accept-Language");
        res.set_content(GuidePage(PreferredLanguage(lang)), "text/html; charset=utf-8");
    });

    Get(server, R"(/s/([0-9a-zA-Z]{1,32}))", [&ctx](const httplib::Request& req, httplib::Response& res) {
        auto number = ctx.store.ShortLinkTarget(req.matches[1]);
        if (!number)
            return NotFoundPage(res, "This meeting link does not exist.");
        std::string topic;
        MeetingExists(ctx, *number, &topic);
        res.set_content(JoinPage(*number, topic), "text/html; charset=utf-8");
    });

    Get(server, R"(/j/(\d{1,16}))", [&ctx](const httplib::Request& req, httplib::Response& res) {
        int64_t number = 0;
        std::string topic;
        if (!ParseNumberParam(req.matches[1], number) || !MeetingExists(ctx, number, &topic))
            return NotFoundPage(res, "This meeting does not exist.");
        res.set_content(JoinPage(number, topic), "text/html; charset=utf-8");
    });

    Get(server, R"(/avatar/(\d{1,12})\.png)", [&ctx](const httplib::Request& req, httplib::Response& res) {
        uint64_t id = 0;
        if (!ParseUInt64(req.matches[1], id) || !ctx.store.AccountById(static_cast<int64_t>(id))) {
            Reply(res, "404", "no such avatar");
            res.status = 404;
            return;
        }
        res.set_content(MakeAvatarPng(id), "image/png");
    });
}

} // namespace vtxsvc
