#include "service/Language.h"

#include <cstdlib>
#include <sstream>

namespace vtxsvc {

namespace {

std::string Trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The weight of one entry ("en;q=0.8" -> 0.8); 1 without a weight, 0 when it cannot be read.
double Weight(const std::string& parameters)
{
    std::istringstream in(parameters);
    std::string parameter;
    while (std::getline(in, parameter, ';')) {
        parameter = Lower(Trim(parameter));
        if (parameter.rfind("q=", 0) != 0)
            continue;
        const std::string value = parameter.substr(2);
        char* end = nullptr;
        const double q = std::strtod(value.c_str(), &end);
        if (value.empty() || *end != '\0' || q < 0 || q > 1)
            return 0;
        return q;
    }
    return 1;
}

const char* const kSuffixes[][2] = {
    // English, Chinese
    {"'s Meeting", "的会议"},
    {"'s Orvo Meeting", "的 Orvo 会议"},
    {"'s Personal Meeting Room", "的个人会议室"},
};

} // namespace

Language PreferredLanguage(const std::string& acceptLanguage)
{
    Language best = Language::English;
    double bestWeight = 0;
    std::istringstream in(acceptLanguage);
    std::string entry;
    while (std::getline(in, entry, ',')) {
        const size_t semicolon = entry.find(';');
        const std::string tag = Lower(Trim(entry.substr(0, semicolon)));
        const double weight = semicolon == std::string::npos ? 1 : Weight(entry.substr(semicolon + 1));
        Language language;
        if (tag == "zh" || tag.rfind("zh-", 0) == 0)
            language = Language::Chinese;
        else if (tag == "en" || tag.rfind("en-", 0) == 0)
            language = Language::English;
        else
            continue;
        // Among equal weights the first listed wins.
        if (weight > bestWeight) {
            best = language;
            bestWeight = weight;
        }
    }
    return best;
}

std::string DefaultTopicText(DefaultTopic kind, const std::string& hostName, Language language)
{
    return hostName + kSuffixes[static_cast<int>(kind)][language == Language::Chinese ? 1 : 0];
}

std::string ShownTopic(const std::string& stored, const std::string& hostName, Language language)
{
    for (int kind = 0; kind < 3; ++kind)
        for (const char* suffix : kSuffixes[kind])
            if (stored == hostName + suffix)
                return DefaultTopicText(static_cast<DefaultTopic>(kind), hostName, language);
    return stored;
}

std::string GuidePage(Language language)
{
    static const char* const kChinese =
        "<section lang=\"zh-CN\" id=\"zh\"><h1>VTX 用户指南</h1>\n"
        "<ol>\n"
        "<li><b>登录</b>：在首页点“登录”，输入账号和密码。第一次登录时需要用手机号验证一次。</li>\n"
        "<li><b>加入会议</b>：点“加入会议”，输入会议号（如 123-456-7890）和您的名字。浏览器里的会议链接"
        "会直接打开 VTX 并加入。</li>\n"
        "<li><b>发起会议</b>：登录后点“发起会议”立即开会；勾选“发起会议时使用个人会议号”时使用您的个人会议室。</li>\n"
        "<li><b>预约会议</b>：在“我的会议”页点“预定会议”，填写主题、时间和时长，可设置为周期会议。"
        "每个会议行可开始、编辑、删除或复制邀请。</li>\n"
        "<li><b>邀请</b>：会议中点会议窗口的“邀请”按钮，可以复制链接、显示二维码或发送邮件。</li>\n"
        "<li><b>录制</"
        "b>：本地录制在会议结束并转换完成后出现在“我的会议”页的“本地录制”列表中，可播放、打开文件夹或删除。</li>\n"
        "<li><b>账号</b>：点头像打开菜单：检查更新、修改密码、关于、语言和退出登录。</li>\n"
        "<li><b>键盘</b>：Tab 切换控件，空格或回车确认，Esc 返回上一页。</li>\n"
        "</ol></section>\n";
    static const char* const kEnglish =
        "<section lang=\"en\" id=\"en\"><h1>VTX user guide</h1>\n"
        "<ol>\n"
        "<li><b>Sign in</b>: on the home page choose Sign In and enter your account and password. The first "
        "sign-in asks once for a code sent to your phone.</li>\n"
        "<li><b>Join a meeting</b>: choose Join a Meeting, type the meeting ID (for example 123-456-7890) and your "
        "name. "
        "A meeting link in your browser opens VTX and joins directly.</li>\n"
        "<li><b>Start a meeting</b>: signed in, choose New Meeting to start at once; with \"Use my personal "
        "meeting ID for new meetings\" ticked it opens your personal meeting room.</li>\n"
        "<li><b>Schedule</b>: on the My Meetings tab choose Schedule, set topic, start and duration, or make it "
        "recurring. Each row starts, edits, removes or copies the invitation of its meeting.</li>\n"
        "<li><b>Invite</b>: in a meeting press Invite in the meeting window to copy the link, show a QR code "
        "or send e-mails.</li>\n"
        "<li><b>Recordings</b>: a local recording appears under Recordings on the My Meetings tab once the "
        "meeting has ended and it is converted; play it, open its folder or delete it there.</li>\n"
        "<li><b>Account</b>: click your picture for the menu: check for updates, change password, about, "
        "language and sign out.</li>\n"
        "<li><b>Keyboard</b>: Tab moves between controls, Space or Enter acts, Escape goes back.</li>\n"
        "</ol></section>\n";
    const bool chinese = language == Language::Chinese;
    std::string html = std::string("<!DOCTYPE html>\n<html lang=\"") + (chinese ? "zh-CN" : "en") +
                       "\"><head><meta charset=\"utf-8\"><meta name=\"viewport\" content=\"width=device-width\">"
                       "<title>" +
                       (chinese ? "VTX 用户指南" : "VTX user guide") +
                       "</title><style>body{font-family:sans-serif;max-width:42em;margin:2em auto;color:#333;"
                       "line-height:1.5}li{margin:.5em 0}nav{text-align:right}</style></head><body>\n" +
                       (chinese ? "<nav><a href=\"#en\">English</a></nav>\n" : "<nav><a href=\"#zh\">中文</a></nav>\n");
    html += chinese ? kChinese : kEnglish;
    html += "<hr>\n";
    html += chinese ? kEnglish : kChinese;
    html += "</body></html>\n";
    return html;
}

} // namespace vtxsvc
