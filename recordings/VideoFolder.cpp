#include "VideoFolder.h"

#include <QMetaObject>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Tick.h"
#include "recordings/ConversionWindow.h"
#include "recordings/FolderTree.h"

namespace {

const char kOwnerFile[] = "account.ini";
const char kPlaylist[] = "playback.m3u";

// Closes a descriptor when it goes out of scope.
struct Fd
{
    int fd = -1;
    explicit Fd(int f)
        : fd(f)
    {}
    ~Fd()
    {
        if (fd >= 0)
            close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
};

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

bool isDirectoryEntry(int rootFd, const dirent* entry)
{
    if (entry->d_type == DT_DIR)
        return true;
    if (entry->d_type != DT_UNKNOWN)
        return false;
    struct stat st;
    return fstatat(rootFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
}

// Writes the owner file unless one is there. Never follows a link planted under that name.
void claim(int rootFd, const std::string& name, const std::string& owner)
{
    Fd dir(openat(rootFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (dir.fd < 0)
        return;
    Fd file(openat(dir.fd, kOwnerFile, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (file.fd < 0)
        return;
    const char* data = owner.data();
    std::size_t left = owner.size();
    while (left > 0) {
        const ssize_t n = write(file.fd, data, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        data += n;
        left -= std::size_t(n);
    }
}

// Whether the owner file's first line is the owner, byte for byte. Reads no more than it must,
// so a huge or binary file costs nothing; a pipe or device under that name is not opened for long.
bool ownedBy(int rootFd, const std::string& ownerFile, const std::string& owner)
{
    Fd file(openat(rootFd, ownerFile.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (file.fd < 0)
        return false;
    struct stat st;
    if (fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    std::string head(owner.size() + 1, '\0');
    std::size_t got = 0;
    while (got < head.size()) {
        const ssize_t n = read(file.fd, &head[got], head.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += std::size_t(n);
    }
    head.resize(got);
    const std::size_t lineEnd = head.find('\n');
    if (lineEnd != std::string::npos)
        head.resize(lineEnd);
    return head == owner;
}

bool hasPlaylist(int dirFd, const char* relative)
{
    struct stat st;
    return fstatat(dirFd, relative, &st, AT_SYMLINK_NOFOLLOW) == 0;
}

} // namespace

bool isAcceptableFolderName(const std::string& name)
{
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        return false;
    const QString text = QString::fromUtf8(name.data(), int(name.size()));
    if (text.toUtf8() != QByteArray::fromStdString(name))
        return false; // not UTF-8: it could neither be shown nor addressed again as typed
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

std::optional<VideoRecord> recordFromFolderName(const std::string& root, const std::string& name)
{
    std::vector<std::string> tokens;
    std::size_t pos = 0;
    while (pos < name.size()) {
        const std::size_t start = name.find_first_not_of(' ', pos);
        if (start == std::string::npos)
            break;
        const std::size_t end = name.find(' ', start);
        tokens.push_back(name.substr(start, end == std::string::npos ? std::string::npos : end - start));
        pos = end == std::string::npos ? name.size() : end;
    }
    if (tokens.size() < 4)
        return std::nullopt;
    VideoRecord record;
    std::string time = tokens[1];
    for (char& c : time) {
        if (c == '.')
            c = ':';
    }
    record.dateTime = tokens[0] + ' ' + time;
    // The last part is the meeting number, even when the topic itself ends in digits.
    for (std::size_t i = 2; i + 1 < tokens.size(); ++i) {
        if (i > 2)
            record.topic += ' ';
        record.topic += tokens[i];
    }
    record.path = withoutTrailingSlashes(root) + '/' + name;
    return record;
}

bool removeRecordingFolder(const std::string& path)
{
    if (path.empty() || path.front() != '/')
        return false;
    const std::string trimmed = withoutTrailingSlashes(path);
    if (trimmed == "/")
        return false;
    std::size_t pos = 1;
    while (pos <= trimmed.size()) {
        std::size_t end = trimmed.find('/', pos);
        if (end == std::string::npos)
            end = trimmed.size();
        const std::string part = trimmed.substr(pos, end - pos);
        if (part.empty() || part == "." || part == "..")
            return false;
        pos = end + 1;
    }
    removeFolderTree(trimmed);
    return true;
}

VideoFolder::VideoFolder(QObject* parent)
    : VideoFolder(Clocks(), parent)
{}

VideoFolder::VideoFolder(const Clocks& clocks, QObject* parent)
    : QObject(parent)
    , m_clocks(clocks)
    , m_conversionTitle(conversionWindowTitle())
{}

VideoFolder::~VideoFolder()
{
    stop();
}

void VideoFolder::start(const std::string& owner, const std::string& root)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_owner = owner;
        m_root = root;
    }
    if (m_worker.joinable())
        return;
    m_abort = false;
    m_running = true;
    m_worker = std::thread([this, generation = m_generation.load()] { workerLoop(generation); });
}

void VideoFolder::setOwner(const std::string& owner)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_owner = owner;
}

void VideoFolder::setRootFolder(const std::string& root)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_root = root;
}

void VideoFolder::stop()
{
    if (m_worker.joinable()) {
        {
            std::lock_guard<std::mutex> lock(m_wakeLock);
            m_abort = true;
            m_running = false;
        }
        m_wake.notify_all();
        m_worker.join();
    }
    // Deliveries already queued carry the old generation and are dropped on arrival.
    ++m_generation;
    std::lock_guard<std::mutex> lock(m_lock);
    m_pending.clear();
    m_gone.clear();
}

std::optional<VideoRecord> VideoFolder::takeNextRecord()
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_pending.empty())
        return std::nullopt;
    VideoRecord record = std::move(m_pending.front());
    m_pending.pop_front();
    return record;
}

std::optional<std::string> VideoFolder::takeGonePath()
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_gone.empty())
        return std::nullopt;
    std::string path = std::move(m_gone.front());
    m_gone.pop_front();
    return path;
}

std::size_t VideoFolder::knownFolderCount() const
{
    std::lock_guard<std::mutex> lock(m_passLock);
    return m_known.size();
}

void VideoFolder::post(void (VideoFolder::*signal)(), std::uint64_t generation)
{
    // Checked on the receiving side, where stop() runs: a delivery that was queued before stop()
    // returned finds a newer generation and emits nothing.
    QMetaObject::invokeMethod(
        this,
        [this, signal, generation] {
            if (m_generation.load() == generation)
                emit(this->*signal)();
        },
        Qt::QueuedConnection);
}

void VideoFolder::dropListed(const std::string& root, const std::string& name, Known& known)
{
    if (known.state != State::Listed)
        return;
    known.state = State::Unreported;
    bool first = false;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        first = m_gone.empty();
        m_gone.push_back(withoutTrailingSlashes(root) + '/' + name);
    }
    if (first)
        post(&VideoFolder::notifyVideoGone, m_generation.load());
}

void VideoFolder::checkFolder(int rootFd, const std::string& root, const std::string& name, Known& known)
{
    if (known.state == State::Unlisted)
        return;
    if (known.state == State::Listed) {
        // Deleted in the file manager, made unreadable or unmounted: off the list.
        if (!hasPlaylist(rootFd, (name + '/' + kPlaylist).c_str()))
            dropListed(root, name, known);
        return;
    }
    // Relative to the root: the entry was a real folder when it was claimed and is again in this
    // listing (checked by the caller), and neither file is followed if it is a link.
    if (!hasPlaylist(rootFd, (name + '/' + kPlaylist).c_str()) ||
        !ownedBy(rootFd, name + '/' + kOwnerFile, m_passOwner) || m_abort)
        return;
    std::optional<VideoRecord> record = recordFromFolderName(root, name);
    if (!record) {
        known.state = State::Unlisted;
        return;
    }
    known.state = State::Listed;
    bool first = false;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        first = m_pending.empty();
        m_pending.push_back(std::move(*record));
    }
    // One signal per batch: a pass over thousands of recordings must not flood the GUI thread
    // with events. The receiver takes records until none is left.
    if (first)
        post(&VideoFolder::notifyVideoFinished, m_generation.load());
}

void VideoFolder::rescan()
{
    std::string root;
    std::string owner;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        root = m_root;
        owner = m_owner;
    }
    std::lock_guard<std::mutex> pass(m_passLock);
    // Another folder or another user: what was listed belongs to the old one.
    if (root != m_passRoot || owner != m_passOwner) {
        for (auto& entry : m_known)
            dropListed(m_passRoot, entry.first, entry.second);
        m_known.clear();
        m_passRoot = root;
        m_passOwner = owner;
    }
    if (root.empty() || owner.empty())
        return;
    ++m_pass;

    DIR* dir = opendir(root.c_str());
    if (!dir) {
        // Gone, a file, a link loop or unreadable: nothing listed from it stays on the list.
        for (auto it = m_known.begin(); it != m_known.end(); it = m_known.erase(it))
            dropListed(root, it->first, it->second);
        return;
    }
    const int rootFd = dirfd(dir);
    bool complete = true;
    while (dirent* entry = readdir(dir)) {
        if (m_abort) {
            complete = false;
            break;
        }
        const std::string name = entry->d_name;
        auto it = m_known.find(name);
        if (it == m_known.end()) {
            if (!isAcceptableFolderName(name) || !isDirectoryEntry(rootFd, entry))
                continue;
            // Claimed now, reported from the next pass on.
            claim(rootFd, name, owner);
            m_known[name].seenInPass = m_pass;
            continue;
        }
        it->second.seenInPass = m_pass;
        // Swapped for a link or a file since it was claimed: no longer a recording of this root.
        if (entry->d_type != DT_DIR && !isDirectoryEntry(rootFd, entry)) {
            dropListed(root, name, it->second);
            m_known.erase(it);
            continue;
        }
        checkFolder(rootFd, root, name, it->second);
    }
    closedir(dir);
    if (!complete)
        return;
    // Forget folders that are gone, so hours of short recordings do not pile up here.
    for (auto it = m_known.begin(); it != m_known.end();) {
        if (it->second.seenInPass == m_pass) {
            ++it;
            continue;
        }
        dropListed(root, it->first, it->second);
        it = m_known.erase(it);
    }
}

void VideoFolder::workerLoop(std::uint64_t generation)
{
    std::uint32_t lastWindowCheck = platform::tickCount();
    std::uint32_t lastRescan = 0;
    bool rescanned = false;
    while (m_running) {
        if (!rescanned || std::uint32_t(platform::tickCount() - lastRescan) > std::uint32_t(m_clocks.rescanMs)) {
            rescan();
            rescanned = true;
            lastRescan = platform::tickCount();
            if (m_running)
                post(&VideoFolder::notifyUpdateVideoPath, generation);
        }
        const std::uint32_t now = platform::tickCount();
        if (std::uint32_t(now - lastWindowCheck) > std::uint32_t(m_clocks.windowCheckMs) && m_running) {
            retitleConversionWindow(m_conversionTitle, m_running);
            lastWindowCheck = now;
        }
        std::unique_lock<std::mutex> lock(m_wakeLock);
        m_wake.wait_for(lock, std::chrono::milliseconds(m_clocks.sleepMs), [this] { return !m_running.load(); });
    }
}
