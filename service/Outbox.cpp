#include "service/Outbox.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "service/Util.h"

namespace vtxsvc {

bool Outbox::Open(const std::string& folder, std::string& error)
{
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot create " + folder + ": " + std::strerror(errno);
        return false;
    }
    m_folder = folder;
    // Messages of earlier runs count towards the limit, oldest first.
    std::vector<std::pair<struct timespec, std::string>> found;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* e = readdir(dir)) {
            struct stat st;
            if (e->d_name[0] != '.' && stat((folder + "/" + e->d_name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
                found.emplace_back(st.st_mtim, e->d_name);
        }
        closedir(dir);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        if (a.first.tv_sec != b.first.tv_sec)
            return a.first.tv_sec < b.first.tv_sec;
        if (a.first.tv_nsec != b.first.tv_nsec)
            return a.first.tv_nsec < b.first.tv_nsec;
        return a.second < b.second;
    });
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& f : found)
        m_names.push_back(std::move(f.second));
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
    std::lock_guard<std::mutex> lock(m_mutex);
    m_names.push_back(name);
    while (m_names.size() > kMaxMessages) {
        unlink((m_folder + "/" + m_names.front()).c_str());
        m_names.pop_front();
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
