// The meeting cloud that libsdk.so talks to: application and account tokens, schedule items,
// and running meetings that clients poll. The contract is written down in README.md.

#include <ctime>

#include "common/AppCredentials.h"
#include "service/Language.h"
#include "service/Service.h"
#include "service/Util.h"

namespace vtxsvc {
namespace {

constexpr size_t kMaxTopicBytes = 1000;
constexpr size_t kMaxNameBytes = 200;
constexpr int64_t kMaxNumber = 99999999999;
constexpr int64_t kMaxTime = INT64_C(1) << 40;
constexpr uint64_t kMaxItemsPage = 500;

bool RequireApp(const httplib::Request& req, httplib::Response& res, ServiceContext& ctx)
{
    if (ctx.tokens.IsAppToken(req.get_header_value("X-App-Token")))
        return true;
    Reply(res, "401", "the application is not authenticated (X-App-Token)");
    return false;
}

// The signed-in account, or nullopt after answering 401.
std::optional<Account> RequireSession(const httplib::Request& req, httplib::Response& res, ServiceContext& ctx)
{
    if (!RequireApp(req, res, ctx))
        return std::nullopt;
    const int64_t id = ctx.tokens.SessionAccount(req.get_header_value("X-Session-Token"));
    auto account = id ? ctx.store.AccountById(id) : std::nullopt;
    if (!account)
        Reply(res, "401", "not signed in (X-Session-Token)");
    return account;
}

JsonPtr RequireBody(const httplib::Request& req, httplib::Response& res)
{
    std::string error;
    JsonPtr root = ParseObject(req.body, error);
    if (!root)
        Reply(res, "400", error);
    return root;
}

cJSON* AccountJson(const Account& a, const std::string& session)
{
    cJSON* data = cJSON_CreateObject();
    if (!session.empty())
        cJSON_AddStringToObject(data, "session_token", session.c_str());
    cJSON_AddItemToObject(data, "user_id", NumberItem(a.id));
    cJSON_AddStringToObject(data, "account", a.email.c_str());
    cJSON_AddStringToObject(data, "display_name", a.displayName.c_str());
    cJSON_AddItemToObject(data, "pmi", NumberItem(a.pmi));
    return data;
}

// Reads the item fields present in |body| into |item|. Options the item marks as not modifiable
// keep their stored value: the SDK sends whole items, and only the changeable parts may move.
bool ApplyItemFields(const cJSON* body, Item& item, std::string& error)
{
    FieldReader f(body);
    Item wanted = item;
    std::string topic, password, timezone;
    if (f.String("topic", topic, false)) {
        if (topic.empty() || topic.size() > kMaxTopicBytes)
            f.Fail("the topic must not be empty or longer than 1000 bytes");
        else
            wanted.topic = topic;
    }
    if (f.String("timezone", timezone, false)) {
        if (timezone.empty() || timezone.size() > 64)
            f.Fail("the timezone must have 1 to 64 characters");
        else
            wanted.timezone = timezone;
    }
    f.Int("start_time", wanted.startTime, 0, kMaxTime);
    f.Int("duration", wanted.duration, 0, 1440);
    const bool hasPassword = f.String("password", password, false);
    if (hasPassword && (password.size() > 10 || !IsAlnum(password)))
        f.Fail("the password has at most 10 letters and digits");
    if (hasPassword)
        wanted.password = password;
    if (!f.Bool("password_enabled", wanted.passwordEnabled) && hasPassword)
        wanted.passwordEnabled = !password.empty();
    f.Bool("host_video", wanted.hostVideo);
    f.Bool("participant_video", wanted.participantVideo);
    f.Bool("join_before_host", wanted.joinBeforeHost);
    f.Bool("mute_upon_entry", wanted.muteUponEntry);
    f.Bool("use_pmi", wanted.usePmi);
    f.Bool("auto_recording", wanted.autoRecording);
    if (!f.Ok()) {
        error = f.Error();
        return false;
    }
    if (!(item.modifiable & kModPassword)) {
        wanted.password = item.password;
        wanted.passwordEnabled = item.passwordEnabled;
    }
    const struct
    {
        bool Item::*field;
        int bit;
    } options[] = {
        {&Item::hostVideo, kModHostVideo},
        {&Item::participantVideo, kModParticipantVideo},
        {&Item::joinBeforeHost, kModJoinBeforeHost},
        {&Item::muteUponEntry, kModMuteUponEntry},
        {&Item::usePmi, kModUsePmi},
        {&Item::autoRecording, kModAutoRecording},
    };
    for (const auto& o : options)
        if (!(item.modifiable & o.bit))
            wanted.*o.field = item.*o.field;
    item = wanted;
    return true;
}

const char* FailureText(int reason)
{
    switch (reason) {
    case kFailUnknownNumber:
        return "the meeting number does not exist";
    case kFailNotStarted:
        return "the meeting has not started";
    case kFailWrongPassword:
        return "the meeting password is wrong";
    case kFailLocked:
        return "the meeting is locked";
    case kFailFull:
        return "the meeting is full";
    default:
        return "the meeting cannot be joined";
    }
}

void ReplyEntry(httplib::Response& res, const Entry& e, int64_t itemId, const std::string& baseUrl)
{
    cJSON* data = cJSON_CreateObject();
    cJSON_AddItemToObject(data, "number", NumberItem(e.number));
    cJSON_AddStringToObject(data, "topic", e.topic.c_str());
    cJSON_AddStringToObject(data, "password", e.password.c_str());
    cJSON_AddStringToObject(data, "join_url", (baseUrl + "/j/" + std::to_string(e.number)).c_str());
    cJSON_AddItemToObject(data, "meeting_id", NumberItem(itemId));
    cJSON_AddStringToObject(data, "participant_id", e.token.c_str());
    cJSON_AddItemToObject(data, "participant", NumberItem(e.id));
    cJSON_AddBoolToObject(data, "is_host", e.isHost);
    ReplyOk(res, data);
}

Language RequestLanguage(const httplib::Request& req)
{
    return PreferredLanguage(req.get_header_value("Accept-Language"));
}

// An item as its host sees it: a default topic in the language of the request.
Item Shown(Item item, const std::string& hostName, Language language)
{
    item.topic = ShownTopic(item.topic, hostName, language);
    return item;
}

MeetingDescription Describe(ServiceContext& ctx, const Item& item, Language language)
{
    MeetingDescription d;
    d.number = item.number;
    d.itemId = item.id;
    d.ownerId = item.hostId;
    const auto host = ctx.store.AccountById(item.hostId);
    d.topic = host ? ShownTopic(item.topic, host->displayName, language) : item.topic;
    d.password = item.passwordEnabled ? item.password : std::string();
    return d;
}

void ReplyMeetingCode(httplib::Response& res, int rc)
{
    if (rc == 404)
        return Reply(res, "404", "unknown participant or meeting");
    if (rc == 403)
        return Reply(res, "403", "only the host may do this, and only while in the meeting");
    ReplyOk(res);
}

int64_t NumberFromPath(const httplib::Request& req)
{
    uint64_t n = 0;
    return ParseUInt64(req.matches[1], n) && n <= static_cast<uint64_t>(kMaxNumber) ? static_cast<int64_t>(n) : 0;
}

// Participant token and, for calls that carry one, a body.
bool ParticipantCall(const httplib::Request& req,
                     httplib::Response& res,
                     ServiceContext& ctx,
                     JsonPtr& body,
                     std::string& token,
                     int64_t& number)
{
    if (!RequireApp(req, res, ctx))
        return false;
    number = NumberFromPath(req);
    body = RequireBody(req, res);
    if (!body)
        return false;
    FieldReader f(body.get());
    if (!f.String("participant", token)) {
        Reply(res, "400", f.Error());
        return false;
    }
    return true;
}

} // namespace

void RegisterSdkApi(httplib::Server& server, ServiceContext& ctx)
{
    Post(server, "/sdk/auth", [&ctx](const httplib::Request& req, httplib::Response& res) {
        JsonPtr body = RequireBody(req, res);
        if (!body)
            return;
        FieldReader f(body.get());
        std::string key, secret;
        f.String("app_key", key);
        f.String("app_secret", secret);
        if (!f.Ok())
            return Reply(res, "400", f.Error());
        if (key != vtx::kAppKey || secret != vtx::kAppSecret)
            return Reply(res, "401", "unknown application key or secret");
        cJSON* data = cJSON_CreateObject();
        cJSON_AddStringToObject(data, "app_token", ctx.tokens.NewAppToken().c_str());
        ReplyOk(res, data);
    });

    Post(server, "/sdk/login", [&ctx](const httplib::Request& req, httplib::Response& res) {
        if (!RequireApp(req, res, ctx))
            return;
        JsonPtr body = RequireBody(req, res);
        if (!body)
            return;
        FieldReader f(body.get());
        std::string user, password;
        f.String("user", user);
        f.String("password", password);
        if (!f.Ok())
            return Reply(res, "400", f.Error());
        auto account = ctx.store.AccountByEmail(user);
        if (!account || !ctx.store.CheckPassword(account->id, password))
            return Reply(res, "401", "wrong account or password");
        ReplyOk(res, AccountJson(*account, ctx.tokens.NewSession(account->id)));
    });

    Post(server, "/sdk/logout", [&ctx](const httplib::Request& req, httplib::Response& res) {
        if (!RequireSession(req, res, ctx))
            return;
        ctx.tokens.DropSession(req.get_header_value("X-Session-Token"));
        ReplyOk(res);
    });

    Get(server, "/sdk/me", [&ctx](const httplib::Request& req, httplib::Response& res) {
        if (auto account = RequireSession(req, res, ctx))
            ReplyOk(res, AccountJson(*account, req.get_header_value("X-Session-Token")));
    });

    Get(server, "/sdk/items", [&ctx](const httplib::Request& req, httplib::Response& res) {
        auto account = RequireSession(req, res, ctx);
        if (!account)
            return;
        // Paged with ?offset=&limit=; a caller that does not page gets the first kMaxItemsPage.
        uint64_t offset = 0, limit = kMaxItemsPage;
        std::string text;
        if (QueryValue(req, "offset", text) && (!ParseUInt64(text, offset) || offset > (UINT64_C(1) << 40)))
            return Reply(res, "400", "offset must be a whole number");
        if (QueryValue(req, "limit", text) && (!ParseUInt64(text, limit) || limit < 1 || limit > kMaxItemsPage))
            return Reply(res, "400", "limit must be 1 to " + std::to_string(kMaxItemsPage));
        const int64_t total = ctx.store.ItemCount(account->id);
        const auto page =
            ctx.store.ItemsOfHostPage(account->id, static_cast<int64_t>(offset), static_cast<int64_t>(limit));
        cJSON* data = cJSON_CreateObject();
        cJSON* items = cJSON_AddArrayToObject(data, "items");
        const std::string base = BaseUrl(req, ctx);
        const Language language = RequestLanguage(req);
        for (const Item& item : page)
            cJSON_AddItemToArray(items, ItemJson(Shown(item, account->displayName, language), base, account->email));
        cJSON_AddItemToObject(data, "total", NumberItem(total));
        const int64_t next = static_cast<int64_t>(offset) + static_cast<int64_t>(page.size());
        if (!page.empty() && next < total)
            cJSON_AddItemToObject(data, "next_offset", NumberItem(next));
        ReplyOk(res, data);
    });

    Get(server, R"(/sdk/items/(\d{1,15}))", [&ctx](const httplib::Request& req, httplib::Response& res) {
        auto account = RequireSession(req, res, ctx);
        if (!account)
            return;
        uint64_t id = 0;
        ParseUInt64(req.matches[1], id);
        auto item = ctx.store.ItemById(static_cast<int64_t>(id));
        if (!item || item->hostId != account->id)
            return Reply(res, "404", "no such meeting item");
        ReplyOk(res,
                ItemJson(Shown(*item, account->displayName, RequestLanguage(req)), BaseUrl(req, ctx), account->email));
    });

    Post(server, "/sdk/items", [&ctx](const httplib::Request& req, httplib::Response& res) {
        auto account = RequireSession(req, res, ctx);
        if (!account)
            return;
        JsonPtr body = RequireBody(req, res);
        if (!body)
            return;
        FieldReader f(body.get());
        bool periodic = false, usePmi = false;
        f.Bool("periodic", periodic);
        f.Bool("use_pmi", usePmi);
        if (!f.Ok())
            return Reply(res, "400", f.Error());
        std::string error;
        if (periodic && usePmi) {
            // The personal room's settings: applied to the personal item, nothing new is created.
            auto pmi = ctx.store.PmiItem(account->id);
            if (!pmi)
                return Reply(res, "500", "the personal meeting is missing");
            Item changed = *pmi;
            if (!ApplyItemFields(body.get(), changed, error))
                return Reply(res, "400", error);
            changed.topic = pmi->topic;
            changed.startTime = 0;
            changed.duration = 0;
            changed.usePmi = true;
            if (!ctx.store.UpdateItem(changed))
                return Reply(res, "500", "the personal meeting could not be saved");
            return ReplyOk(res, ItemJson(Shown(changed, account->displayName, RequestLanguage(req)), BaseUrl(req, ctx),
                                         account->email));
        }
        Item item;
        item.hostId = account->id;
        item.topic = DefaultTopicText(DefaultTopic::Scheduled, account->displayName, RequestLanguage(req));
        item.startTime = (NowSeconds() / 3600 + 1) * 3600;
        item.duration = 60;
        if (!ApplyItemFields(body.get(), item, error))
            return Reply(res, "400", error);
        item.number = item.usePmi ? account->pmi
                                  : ctx.store.NewNumber(11, [&ctx](int64_t n) { return ctx.meetings.IsRunning(n); });
        if (item.number == 0 || !ctx.store.InsertItem(item))
            return Reply(res, "500", "the meeting could not be saved");
        ReplyOk(res, ItemJson(item, BaseUrl(req, ctx), account->email));
    });

    Put(server, R"(/sdk/items/(\d{1,15}))", [&ctx](const httplib::Request& req, httplib::Response& res) {
        auto account = RequireSession(req, res, ctx);
        if (!account)
            return;
        JsonPtr body = RequireBody(req, res);
        if (!body)
            return;
        uint64_t id = 0;
        ParseUInt64(req.matches[1], id);
        auto item = ctx.store.ItemById(static_cast<int64_t>(id));
        if (!item || item->hostId != account->id)
            return Reply(res, "404", "no such meeting item");
        Item changed = *item;
        std::string error;
        if (!ApplyItemFields(body.get(), changed, error))
            return Reply(res, "400", error);
        if (!changed.isPmi && changed.usePmi != item->usePmi) {
            changed.number = changed.usePmi
                                 ? account->pmi
                                 : ctx.store.NewNumber(11, [&ctx](int64_t n) { return ctx.meetings.IsRunning(n); });
            if (changed.number == 0)
                return Reply(res, "500", "no meeting number is free");
        }
        if (!ctx.store.UpdateItem(changed))
            return Reply(res, "500", "the meeting could not be saved");
        ReplyOk(res, ItemJson(Shown(changed, account->displayName, RequestLanguage(req)), BaseUrl(req, ctx),
                              account->email));
    });

    Delete(server, R"(/sdk/items/(\d{1,15}))", [&ctx](const httplib::Request& req, httplib::Response& res) {
        auto account = RequireSession(req, res, ctx);
        if (!account)
            return;
        uint64_t id = 0;
        ParseUInt64(req.matches[1], id);
        auto item = ctx.store.ItemById(static_cast<int64_t>(id));
        if (!item || item->hostId != account->id)
            return Reply(res, "404", "no such meeting item");
        if (item->isPmi)
            return Reply(res, "403", "the personal meeting cannot be deleted");
        if (!ctx.store.DeleteItem(item->id))
            return Reply(res, "500", "the meeting could not be deleted");
        ReplyOk(res);
    });

    Post(server, "/sdk/meetings/start", [&ctx](const httplib::Request& req, httplib::Response& res) {
        auto account = RequireSession(req, res, ctx);
        if (!account)
            return;
        JsonPtr body = RequireBody(req, res);
        if (!body)
            return;
        FieldReader f(body.get());
        int64_t number = 0, kind = 1;
        std::string topic;
        f.Int("number", number, 0, kMaxNumber, true);
        f.Int("kind", kind, 1, 2);
        const bool hasTopic = f.String("topic", topic, false);
        if (hasTopic && (topic.empty() || topic.size() > kMaxTopicBytes))
            f.Fail("the topic must not be empty or longer than 1000 bytes");
        if (!f.Ok())
            return Reply(res, "400", f.Error());
        MeetingDescription d;
        if (number == 0) {
            d.number = ctx.store.NewNumber(11, [&ctx](int64_t n) { return ctx.meetings.IsRunning(n); });
            if (d.number == 0)
                return Reply(res, "500", "no meeting number is free");
            d.ownerId = account->id;
            d.topic =
                hasTopic ? topic : DefaultTopicText(DefaultTopic::Instant, account->displayName, RequestLanguage(req));
        } else {
            auto item = ctx.store.ItemByNumber(number);
            if (!item) {
                cJSON* data = cJSON_CreateObject();
                cJSON_AddItemToObject(data, "reason", NumberItem(kFailUnknownNumber));
                return Reply(res, "404", FailureText(kFailUnknownNumber), data);
            }
            if (item->hostId != account->id)
                return Reply(res, "403", "only the owner can start this meeting");
            d = Describe(ctx, *item, RequestLanguage(req));
            if (hasTopic)
                d.topic = topic;
        }
        const Entry e = ctx.meetings.Start(d, account->displayName, account->id);
        ReplyEntry(res, e, d.itemId, BaseUrl(req, ctx));
    });

    Post(server, "/sdk/meetings/join", [&ctx](const httplib::Request& req, httplib::Response& res) {
        if (!RequireApp(req, res, ctx))
            return;
        JsonPtr body = RequireBody(req, res);
        if (!body)
            return;
        FieldReader f(body.get());
        int64_t number = 0, userType = 101;
        std::string password, name;
        f.Int("number", number, 1, kMaxNumber, true);
        f.String("password", password, false);
        f.String("display_name", name);
        f.Int("user_type", userType, 100, 101);
        if (f.Ok() && (name.empty() || name.size() > kMaxNameBytes))
            f.Fail("display_name must not be empty or longer than 200 bytes");
        if (!f.Ok())
            return Reply(res, "400", f.Error());
        int64_t accountId = 0;
        if (userType == 100) {
            auto account = RequireSession(req, res, ctx);
            if (!account)
                return;
            accountId = account->id;
        }
        auto item = ctx.store.ItemByNumber(number);
        MeetingDescription d;
        if (item)
            d = Describe(ctx, *item, RequestLanguage(req));
        Entry e;
        const int rc =
            ctx.meetings.Join(number, item ? &d : nullptr, item && item->joinBeforeHost, password, name, accountId, e);
        if (rc != 0) {
            cJSON* data = cJSON_CreateObject();
            cJSON_AddItemToObject(data, "reason", NumberItem(rc));
            return Reply(res, "403", FailureText(rc), data);
        }
        ReplyEntry(res, e, item ? item->id : 0, BaseUrl(req, ctx));
    });

    Get(server, R"(/sdk/meetings/(\d{1,11})/state)", [&ctx](const httplib::Request& req, httplib::Response& res) {
        if (!RequireApp(req, res, ctx))
            return;
        MeetingState s;
        std::string token;
        QueryValue(req, "participant", token);
        const int rc = ctx.meetings.State(NumberFromPath(req), token, s);
        if (rc != 0)
            return ReplyMeetingCode(res, rc);
        cJSON* data = cJSON_CreateObject();
        cJSON_AddStringToObject(data, "state", s.state.c_str());
        cJSON_AddItemToObject(data, "end_reason", NumberItem(s.endReason));
        cJSON_AddItemToObject(data, "number", NumberItem(s.number));
        cJSON_AddStringToObject(data, "topic", s.topic.c_str());
        cJSON_AddBoolToObject(data, "locked", s.locked);
        cJSON_AddBoolToObject(data, "share_locked", s.shareLocked);
        cJSON_AddItemToObject(data, "sharing", NumberItem(s.sharing));
        cJSON_AddItemToObject(data, "host", NumberItem(s.host));
        cJSON_AddItemToObject(data, "me", NumberItem(s.me));
        cJSON* list = cJSON_AddArrayToObject(data, "participants");
        for (const auto& p : s.participants) {
            cJSON* o = cJSON_CreateObject();
            cJSON_AddItemToObject(o, "id", NumberItem(p.id));
            cJSON_AddStringToObject(o, "display_name", p.displayName.c_str());
            cJSON_AddBoolToObject(o, "is_host", p.isHost);
            cJSON_AddItemToArray(list, o);
        }
        ReplyOk(res, data);
    });

    Post(server, R"(/sdk/meetings/(\d{1,11})/(leave|end))",
         [&ctx](const httplib::Request& req, httplib::Response& res) {
             JsonPtr body;
             std::string token;
             int64_t number = 0;
             if (!ParticipantCall(req, res, ctx, body, token, number))
                 return;
             const bool end = req.matches[2] == "end";
             ReplyMeetingCode(res, end ? ctx.meetings.End(number, token) : ctx.meetings.Leave(number, token));
         });

    Post(server, R"(/sdk/meetings/(\d{1,11})/(lock|share_lock))",
         [&ctx](const httplib::Request& req, httplib::Response& res) {
             JsonPtr body;
             std::string token;
             int64_t number = 0;
             if (!ParticipantCall(req, res, ctx, body, token, number))
                 return;
             FieldReader f(body.get());
             bool locked = false;
             if (!f.Bool("locked", locked, true))
                 return Reply(res, "400", f.Error());
             const bool share = req.matches[2] == "share_lock";
             const int rc =
                 share ? ctx.meetings.ShareLock(number, token, locked) : ctx.meetings.Lock(number, token, locked);
             if (rc != 0)
                 return ReplyMeetingCode(res, rc);
             cJSON* data = cJSON_CreateObject();
             cJSON_AddBoolToObject(data, share ? "share_locked" : "locked", locked);
             ReplyOk(res, data);
         });

    Post(server, R"(/sdk/meetings/(\d{1,11})/share)", [&ctx](const httplib::Request& req, httplib::Response& res) {
        JsonPtr body;
        std::string token;
        int64_t number = 0;
        if (!ParticipantCall(req, res, ctx, body, token, number))
            return;
        FieldReader f(body.get());
        bool sharing = false;
        if (!f.Bool("sharing", sharing, true))
            return Reply(res, "400", f.Error());
        int sharer = 0;
        const int rc = ctx.meetings.Share(number, token, sharing, sharer);
        if (rc == 403)
            return Reply(res, "403", "the host has locked screen sharing");
        if (rc != 0)
            return ReplyMeetingCode(res, rc);
        cJSON* data = cJSON_CreateObject();
        cJSON_AddItemToObject(data, "sharing", NumberItem(sharer));
        ReplyOk(res, data);
    });

    Post(server, R"(/sdk/meetings/(\d{1,11})/remove)", [&ctx](const httplib::Request& req, httplib::Response& res) {
        JsonPtr body;
        std::string token;
        int64_t number = 0;
        if (!ParticipantCall(req, res, ctx, body, token, number))
            return;
        FieldReader f(body.get());
        int64_t target = 0;
        if (!f.Int("target", target, 1, 1 << 30, true))
            return Reply(res, "400", f.Error());
        ReplyMeetingCode(res, ctx.meetings.Remove(number, token, static_cast<int>(target)));
    });
}

} // namespace vtxsvc
