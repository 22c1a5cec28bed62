#pragma once
// Messages the service would send (SMS codes, e-mail invitations) land here instead: one file
// each in DIR/outbox, written atomically, and a line on stderr, so a tester or test can read them.

#include <atomic>
#include <deque>
#include <mutex>
#include <string>

namespace vtxsvc {

class Outbox
{
public:
    // The newest messages are kept; older ones are deleted as new ones arrive.
    static constexpr size_t kMaxMessages = 1000;

    bool Open(const std::string& folder, std::string& error);
    const std::string& Folder() const { return m_folder; }
    // File name sms-<phone>-<time>-<seq>.txt; the content has a line "code: <code>".
    bool WriteSms(const std::string& phone, const std::string& code, int validMinutes);
    // File name email-<time>-<seq>-<address>.eml.
    bool WriteEmail(const std::string& address, const std::string& subject, const std::string& body);

private:
    bool WriteFile(const std::string& name, const std::string& content);
    std::string m_folder;
    std::mutex m_mutex;
    std::deque<std::string> m_names; // oldest first
    std::atomic<unsigned> m_sequence{0};
};

} // namespace vtxsvc
