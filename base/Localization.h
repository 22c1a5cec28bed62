#pragma once
// The language pack: every user-visible text is looked up here by a dotted key.

#include <QString>
#include <map>
#include <string>

class Localization
{
public:
    static Localization* Instance();

    // 0 on success, -1 when the file does not exist. Sets the language ID first. A format text whose
    // printf conversions differ from what its caller passes is replaced by the other language's
    // text (the pack next to this one), or by the key when that one does not fit either.
    int Load(int languageId, const QString& packPath);
    // The UTF-8 text of the key; an empty string (never null) for an unknown key. The pointer stays
    // valid until the pack is unloaded, which only tests do.
    const char* Lookup(const char* key) const;

    int languageId() const { return m_languageId; }
    bool relaunchedForSignIn() const { return m_relaunchedForSignIn; }
    void setRelaunchedForSignIn(bool on) { m_relaunchedForSignIn = on; }

    // Tests only: forget the loaded pack.
    void resetForTest();

private:
    Localization() = default;

    int m_languageId = 0;
    std::map<QString, std::string> m_texts;
    bool m_relaunchedForSignIn = false;
};

// The text of a key as a QString.
QString LangText(const char* key);
// The text of a format key with printf-style arguments filled in. Only keys listed in Localization.cpp
// with the kinds of argument their callers pass are formatted; any other text comes back unformatted.
QString LangFormat(const char* key, ...);
