#include "service/Outbox.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "service/Util.h"

namespace vtxsvc {

bool Outbox::Open(const std::string& folder, std::string& error)
{
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot create " + folder + ": " + std::strerror(errno);
        return false;
    }
    m_folder = folder;
    return true;
}

bool Outbox::WriteFile(const std::string& name, const std::string& content)
{
    // Written under a hidden name and renamed, so a reader never sees half a message.
    const std::string finalPath = m_folder + "/" + name;
    const std::string tempPath = m_folder + "/." + name + ".tmp";
    const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            close(fd);
            unlink(tempPath.c_str());
            return false;
        }
        done += static_cast<size_t>(n);
    }
    if (close(fd) != 0 || rename(tempPath.c_str(), finalPath.c_str()) != 0) {
        unlink(tempPath.c_str());
        return false;
    }
    return true;
}

bool Outbox::WriteSms(const std::string& phone, const std::string& code, int validMinutes)
{
    char seq[16];
    std::snprintf(seq, sizeof seq, "%06u", ++m_sequence);
    const std::string name = "sms-" + SafeFileNamePart(phone) + "-" + TimestampForFileName() + "-" + seq + ".txt";
    const std::string text = "kind: sms\nto: " + phone + "\ncode: " + code + "\ntext: VTX verification code " + code +
                             ", valid for " + std::to_string(validMinutes) + " minutes.\n";
    std::fprintf(stderr, "vtx-service: SMS to %s: code %s\n", phone.c_str(), code.c_str());
    return WriteFile(name, text);
}

bool Outbox::WriteEmail(const std::string& address, const std::string& subject, const std::string& body)
{
    char seq[16];
    std::snprintf(seq, sizeof seq, "%06u", ++m_sequence);
    const std::string name = "email-" + TimestampForFileName() + "-" + seq + "-" + SafeFileNamePart(address) + ".eml";
    const std::string text =
        "To: " + address + "\nSubject: " + subject + "\nContent-Type: text/plain; charset=utf-8\n\n" + body;
    std::fprintf(stderr, "vtx-service: e-mail to %s: %s\n", address.c_str(), subject.c_str());
    return WriteFile(name, text);
}

} // namespace vtxsvc
