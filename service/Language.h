#pragma once
// The language a request asks for, and the texts the service makes up itself in that language.

#include <string>

namespace vtxsvc {

enum class Language
{
    English,
    Chinese
};

// From an Accept-Language value ("zh-CN,zh;q=0.9,en;q=0.8"): the most wanted of the two languages
// the service speaks; English when neither is listed.
Language PreferredLanguage(const std::string& acceptLanguage);

enum class DefaultTopic
{
    Scheduled,
    Instant,
    PersonalRoom
};

// The topic of a meeting its host did not name.
std::string DefaultTopicText(DefaultTopic kind, const std::string& hostName, Language language);
// A stored default topic, in whatever language it was stored, in the language asked for now;
// any other topic unchanged.
std::string ShownTopic(const std::string& stored, const std::string& hostName, Language language);

// The short user guide the client's home page links to, with the asked-for language first.
std::string GuidePage(Language language);

} // namespace vtxsvc
