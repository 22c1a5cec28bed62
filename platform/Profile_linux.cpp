#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "platform/Profile.h"

namespace platform {
namespace {

// Settings files are small; anything bigger is not ours and is never loaded whole into memory.
constexpr off_t kMaxProfileBytes = 64 * 1024 * 1024;

// GetPrivateProfileInt reads the value through a buffer of this many characters.
constexpr int kIntBufferChars = 30;

bool isBlank(char c)
{
    // Ctrl-Z counts as a blank, as on Windows where old editors ended files with it.
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool isAscii(std::string_view s)
{
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// A name looked for, prepared once so that comparing against file lines is cheap.
class Name
{
public:
    explicit Name(const QString& text)
        : m_text(text)
        , m_utf8(text.toUtf8())
        , m_ascii(isAscii(std::string_view(m_utf8.constData(), static_cast<size_t>(m_utf8.size()))))
    {}

    bool matches(std::string_view candidate) const
    {
        if (m_ascii && isAscii(candidate)) {
            if (candidate.size() != static_cast<size_t>(m_utf8.size()))
                return false;
            for (size_t i = 0; i < candidate.size(); ++i) {
                if (asciiLower(candidate[i]) != asciiLower(m_utf8[static_cast<int>(i)]))
                    return false;
            }
            return true;
        }
        // Rare: non-ASCII names go through Qt's case folding.
        return QString::fromUtf8(candidate.data(), static_cast<int>(candidate.size()))
                   .compare(m_text, Qt::CaseInsensitive) == 0;
    }

private:
    QString m_text;
    QByteArray m_utf8;
    bool m_ascii;
};

enum class LineKind
{
    Blank,
    Comment,
    Section,
    Key
};

struct Line
{
    size_t begin = 0; // first byte of the line
    size_t end = 0;   // end of the text, before "\n" (a '\r' before it stays inside)
    size_t next = 0;  // first byte of the following line
    LineKind kind = LineKind::Blank;
    std::string_view name;  // section or key name, trimmed
    std::string_view value; // key value, trimmed; empty for a key without '='
};

// Walks the lines of a profile file the way the Windows loader splits them.
class LineReader
{
public:
    explicit LineReader(std::string_view text)
        : m_text(text)
    {
        if (m_text.size() >= 3 && m_text.compare(0, 3, "\xEF\xBB\xBF") == 0)
            m_pos = 3;
    }

    // Splits off the next line without looking at its text.
    bool nextRaw(Line& line)
    {
        if (m_pos >= m_text.size())
            return false;
        line.begin = m_pos;
        const void* found = std::memchr(m_text.data() + m_pos, '\n', m_text.size() - m_pos);
        const size_t newline =
            found ? static_cast<size_t>(static_cast<const char*>(found) - m_text.data()) : m_text.size();
        line.end = newline;
        line.next = found ? newline + 1 : m_text.size();
        m_pos = line.next;
        return true;
    }

    bool startsWithBracket(const Line& line) const
    {
        size_t i = line.begin;
        while (i < line.end && isBlank(m_text[i]))
            ++i;
        return i < line.end && m_text[i] == '[';
    }

    void classify(Line& line) const
    {
        const std::string_view text = trimmed(m_text.substr(line.begin, line.end - line.begin));
        line.name = {};
        line.value = {};
        if (text.empty()) {
            line.kind = LineKind::Blank;
            return;
        }
        if (text.front() == ';') {
            line.kind = LineKind::Comment;
            return;
        }
        if (text.front() == '[') {
            const size_t close = text.rfind(']');
            if (close != std::string_view::npos && close > 0) {
                line.kind = LineKind::Section;
                line.name = trimmed(text.substr(1, close - 1));
                return;
            }
            // Without ']' the Windows loader reads the line as a key.
        }
        line.kind = LineKind::Key;
        const size_t equals = text.find('=');
        if (equals == std::string_view::npos) {
            line.name = text;
            return;
        }
        line.name = trimmed(text.substr(0, equals));
        line.value = trimmed(text.substr(equals + 1));
    }

private:
    std::string_view m_text;
    size_t m_pos = 0;
};

struct KeyLookup
{
    bool sectionFound = false;
    bool keyFound = false;
    Line keyLine;               // when keyFound
    size_t sectionInsertAt = 0; // after the last non-blank line of the section, when sectionFound
    bool sectionInsertNeedsNewline = false;
};

// Only the first section of a name is searched, as the Windows functions do.
KeyLookup findKey(std::string_view text, const Name& section, const Name& key)
{
    KeyLookup result;
    LineReader reader(text);
    Line line;
    bool inSection = false;
    while (reader.nextRaw(line)) {
        // Outside the wanted section only section headers matter; skip the rest unparsed.
        if (!inSection && !reader.startsWithBracket(line))
            continue;
        reader.classify(line);
        if (line.kind == LineKind::Section) {
            if (inSection)
                break;
            if (!result.sectionFound && section.matches(line.name)) {
                inSection = true;
                result.sectionFound = true;
                result.sectionInsertAt = line.next;
                result.sectionInsertNeedsNewline = line.next == line.end;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (line.kind != LineKind::Blank) {
            result.sectionInsertAt = line.next;
            result.sectionInsertNeedsNewline = line.next == line.end;
        }
        if (line.kind == LineKind::Key && key.matches(line.name)) {
            result.keyFound = true;
            result.keyLine = line;
            break;
        }
    }
    return result;
}

std::string_view unquoted(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

QString cutToBuffer(QString text, int bufferChars)
{
    if (bufferChars <= 1)
        return QString();
    if (text.size() > bufferChars - 1) {
        int keep = bufferChars - 1;
        // Never leave half of a surrogate pair behind.
        if (text.at(keep - 1).isHighSurrogate())
            --keep;
        text.truncate(keep);
    }
    return text;
}

int retryOpen(const char* path, int flags, mode_t mode = 0)
{
    int fd;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

enum class ReadResult
{
    Ok,
    Missing,
    Failed
};

// Reads the whole file; Missing when it does not exist.
// Reads the whole file; Missing when it does not exist. Given what stat() just said about the
// path, the fstat() is skipped: if the file was replaced in between, the caller's cache key is
// the older one and simply stops matching.
ReadResult readFile(const QByteArray& path, std::string& content, const struct stat* known = nullptr)
{
    content.clear();
    if (known && (!S_ISREG(known->st_mode) || known->st_size > kMaxProfileBytes))
        return ReadResult::Failed;
    // O_NONBLOCK: a FIFO planted under the name must not hang the reader.
    const int fd = retryOpen(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    struct stat st = {};
    if (known) {
        st = *known;
    } else if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxProfileBytes) {
        ::close(fd);
        return ReadResult::Failed;
    }
    content.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    for (;;) {
        if (done == content.size())
            content.resize(done + 4096); // the file may have grown since fstat
        const ssize_t n = ::read(fd, &content[done], content.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            content.clear();
            return ReadResult::Failed;
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
        if (done == static_cast<size_t>(st.st_size) && st.st_size > 0)
            break; // the whole file as fstat saw it; replaced files never grow in place
        if (done > static_cast<size_t>(kMaxProfileBytes)) {
            ::close(fd);
            content.clear();
            return ReadResult::Failed;
        }
    }
    content.resize(done);
    ::close(fd);
    return ReadResult::Ok;
}

// Recently read files, keyed by what stat() reports; this spares the open/read/close that
// dominate a read of a small file. File times are coarse (a clock tick) and inode numbers are
// reused, so a file changed within the last seconds could look unchanged; such files are not
// cached. Any later change, in place or by replacement, gets a newer ctime than the cached one.
class ReadCache
{
public:
    ReadResult read(const QByteArray& path, std::shared_ptr<const std::string>& content)
    {
        struct stat st = {};
        if (::stat(path.constData(), &st) != 0)
            return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            for (Entry& entry : m_entries) {
                if (entry.content && entry.path == path && sameFile(entry.st, st)) {
                    entry.lastUse = ++m_clock;
                    content = entry.content;
                    return ReadResult::Ok;
                }
            }
        }
        auto fresh = std::make_shared<std::string>();
        const ReadResult result = readFile(path, *fresh, &st);
        if (result != ReadResult::Ok)
            return result;
        content = fresh;
        if (fresh->size() <= kMaxCachedBytes && st.st_ctim.tv_sec + kSettleSeconds < ::time(nullptr)) {
            std::lock_guard<std::mutex> lock(m_mutex);
            Entry* slot = &m_entries[0];
            for (Entry& entry : m_entries) {
                if (entry.path == path) {
                    slot = &entry;
                    break;
                }
                if (entry.lastUse < slot->lastUse)
                    slot = &entry;
            }
            *slot = Entry{path, st, fresh, ++m_clock};
        }
        return ReadResult::Ok;
    }

private:
    static constexpr size_t kMaxCachedBytes = 256 * 1024;
    static constexpr time_t kSettleSeconds = 2;

    struct Entry
    {
        QByteArray path;
        struct stat st = {};
        std::shared_ptr<const std::string> content;
        quint64 lastUse = 0;
    };

    static bool sameFile(const struct stat& a, const struct stat& b)
    {
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
               a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
               a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
    }

    std::mutex m_mutex;
    Entry m_entries[8];
    quint64 m_clock = 0;
};

ReadCache& readCache()
{
    static ReadCache instance;
    return instance;
}

bool writeAll(int fd, const std::string& data)
{
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

mode_t processUmask()
{
    // umask() cannot be read without setting it, which would race with other threads.
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        while (!status.atEnd()) {
            const QByteArray line = status.readLine(256);
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    return static_cast<mode_t>(mask & 0777);
            }
        }
    }
    return 022;
}

QString normalisedPath(const QString& filePath)
{
    return QDir::cleanPath(QFileInfo(filePath).absoluteFilePath());
}

std::mutex g_privateMutex;

QSet<QString>& privatePaths()
{
    static QSet<QString> paths;
    return paths;
}

bool isPrivate(const QString& filePath)
{
    std::lock_guard<std::mutex> lock(g_privateMutex);
    return privatePaths().contains(normalisedPath(filePath));
}

// Holds an exclusive flock on "<file>.lock" for the duration of a read-modify-write.
class WriteLock
{
public:
    explicit WriteLock(const QByteArray& filePath)
    {
        m_fd = retryOpen((filePath + ".lock").constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd < 0)
            return;
        int rc;
        do {
            rc = ::flock(m_fd, LOCK_EX);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~WriteLock()
    {
        if (m_fd >= 0)
            ::close(m_fd); // closing drops the lock
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;
    bool locked() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

QByteArray tempPrefix(const QByteArray& path)
{
    const int slash = path.lastIndexOf('/');
    return path.left(slash + 1) + '.' + path.mid(slash + 1) + ".tmp-";
}

// Temporary files exist only while a writer holds the lock; one found under the lock was left
// by a writer that died.
void removeLeftoverTempFiles(const QByteArray& path)
{
    const QByteArray prefix = tempPrefix(path);
    const int slash = prefix.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : prefix.left(slash + 1);
    const QByteArray namePrefix = prefix.mid(slash + 1);
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (dirent* entry = ::readdir(dir)) {
        if (std::strncmp(entry->d_name, namePrefix.constData(), static_cast<size_t>(namePrefix.size())) == 0 &&
            std::strlen(entry->d_name) == static_cast<size_t>(namePrefix.size()) + 6)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

// The new file goes beside the old one and replaces it in one rename, so a crash at any point
// leaves either the old or the new content.
bool replaceFile(const QByteArray& path, const std::string& content, mode_t mode)
{
    QByteArray tmpl = tempPrefix(path) + "XXXXXX";
    const int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, content) && ::fdatasync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(tmpl.constData(), path.constData()) == 0;
    if (!ok)
        ::unlink(tmpl.constData());
    return ok;
}

// True for an empty file (a lone BOM included) and for one whose last line holds only blanks.
bool lastLineBlank(std::string_view text)
{
    if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.remove_prefix(3);
    if (text.empty())
        return true;
    if (text.back() == '\n')
        text.remove_suffix(1);
    const size_t lastBreak = text.rfind('\n');
    return trimmed(lastBreak == std::string_view::npos ? text : text.substr(lastBreak + 1)).empty();
}

bool validName(const QString& name)
{
    if (name.trimmed().isEmpty())
        return false;
    for (QChar c : name) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            return false;
    }
    return true;
}

} // namespace

QString readProfileString(
    const QString& section, const QString& key, const QString& defaultValue, int bufferChars, const QString& filePath)
{
    if (bufferChars <= 0)
        return QString();
    std::shared_ptr<const std::string> content;
    if (!section.isEmpty() && !key.isEmpty() &&
        readCache().read(QFile::encodeName(filePath), content) == ReadResult::Ok) {
        // The names asked for are trimmed like the names in the file.
        const KeyLookup found = findKey(*content, Name(section.trimmed()), Name(key.trimmed()));
        if (found.keyFound) {
            const std::string_view value = unquoted(found.keyLine.value);
            return cutToBuffer(QString::fromUtf8(value.data(), static_cast<int>(value.size())), bufferChars);
        }
    }
    // Windows strips trailing blanks from the default, not the leading ones.
    QString fallback = defaultValue;
    int end = fallback.size();
    while (end > 0 && fallback.at(end - 1).unicode() < 0x80 &&
           isBlank(static_cast<char>(fallback.at(end - 1).unicode())))
        --end;
    fallback.truncate(end);
    return cutToBuffer(fallback, bufferChars);
}

int readProfileInt(const QString& section, const QString& key, int defaultValue, const QString& filePath)
{
    const QString text = readProfileString(section, key, QString(), kIntBufferChars, filePath);
    if (text.isEmpty())
        return defaultValue;
    int pos = 0;
    while (pos < text.size() && text.at(pos).unicode() <= ' ')
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text.at(pos) == QLatin1Char('-') || text.at(pos) == QLatin1Char('+'))) {
        negative = text.at(pos) == QLatin1Char('-');
        ++pos;
    }
    unsigned base = 10;
    if (pos + 1 < text.size() && text.at(pos) == QLatin1Char('0') &&
        (text.at(pos + 1) == QLatin1Char('x') || text.at(pos + 1) == QLatin1Char('X'))) {
        base = 16;
        pos += 2;
    }
    // Unsigned arithmetic wraps on overflow, as the Windows conversion does.
    quint32 result = 0;
    for (; pos < text.size(); ++pos) {
        const ushort c = text.at(pos).unicode();
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        result = result * base + digit;
    }
    if (negative)
        result = 0u - result;
    return static_cast<int>(result);
}

bool writeProfileString(const QString& section, const QString& key, const QString& value, const QString& filePath)
{
    // A line break inside a name or value would smuggle extra lines into the file.
    if (!validName(section) || !validName(key) || section.contains(QLatin1Char(']')) ||
        key.contains(QLatin1Char('=')) || value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        return false;
    QByteArray path = QFile::encodeName(filePath);
    if (path.isEmpty())
        return false;
    // Writing through a link keeps the link and updates the file it points to.
    struct stat lst = {};
    if (::lstat(path.constData(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        char* real = ::realpath(path.constData(), nullptr);
        if (!real)
            return false;
        path = QByteArray(real);
        std::free(real);
    }

    WriteLock lock(path);
    if (!lock.locked())
        return false;
    removeLeftoverTempFiles(path);
    std::string content;
    const ReadResult read = readFile(path, content);
    if (read == ReadResult::Failed)
        return false; // never replace a file we could not read

    const QByteArray keyUtf8 = key.trimmed().toUtf8();
    const QByteArray valueUtf8 = value.toUtf8();
    const KeyLookup found = findKey(content, Name(section.trimmed()), Name(key.trimmed()));
    const size_t firstNewline = content.find('\n');
    const std::string eol =
        (firstNewline != std::string::npos && firstNewline > 0 && content[firstNewline - 1] == '\r') ? "\r\n" : "\n";
    std::string updated;
    if (found.keyFound) {
        const Line& line = found.keyLine;
        const bool crlf = line.end > line.begin && content[line.end - 1] == '\r';
        const std::string_view original(found.keyLine.name);
        updated.reserve(content.size() + static_cast<size_t>(valueUtf8.size()));
        updated.append(content, 0, line.begin);
        updated.append(original.data(), original.size());
        updated.push_back('=');
        updated.append(valueUtf8.constData(), static_cast<size_t>(valueUtf8.size()));
        updated.append(content, crlf ? line.end - 1 : line.end, std::string::npos);
    } else if (found.sectionFound) {
        updated.append(content, 0, found.sectionInsertAt);
        if (found.sectionInsertNeedsNewline)
            updated += eol;
        updated.append(keyUtf8.constData(), static_cast<size_t>(keyUtf8.size()));
        updated.push_back('=');
        updated.append(valueUtf8.constData(), static_cast<size_t>(valueUtf8.size()));
        updated += eol;
        updated.append(content, found.sectionInsertAt, std::string::npos);
    } else {
        updated = content;
        if (!updated.empty() && updated.back() != '\n')
            updated += eol;
        // A blank line between sections, unless the file is empty or already ends with one.
        if (!lastLineBlank(updated))
            updated += eol;
        const QByteArray sectionUtf8 = section.trimmed().toUtf8();
        updated.push_back('[');
        updated.append(sectionUtf8.constData(), static_cast<size_t>(sectionUtf8.size()));
        updated.push_back(']');
        updated += eol;
        updated.append(keyUtf8.constData(), static_cast<size_t>(keyUtf8.size()));
        updated.push_back('=');
        updated.append(valueUtf8.constData(), static_cast<size_t>(valueUtf8.size()));
        updated += eol;
    }

    const bool makePrivate = isPrivate(filePath) || isPrivate(QFile::decodeName(path));
    struct stat st = {};
    const bool exists = read == ReadResult::Ok && ::stat(path.constData(), &st) == 0;
    const mode_t mode = makePrivate ? 0600 : exists ? (st.st_mode & 07777) : (0666 & ~processUmask());
    if (exists && updated == content && (st.st_mode & 07777) == mode)
        return true;
    return replaceFile(path, updated, mode);
}

void markProfilePrivate(const QString& filePath)
{
    {
        std::lock_guard<std::mutex> lock(g_privateMutex);
        privatePaths().insert(normalisedPath(filePath));
    }
    // A file that already holds a password must not stay readable by others until the next write.
    const QByteArray path = QFile::encodeName(filePath);
    struct stat st = {};
    if (::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0077) != 0)
        ::chmod(path.constData(), st.st_mode & 0700);
}

} // namespace platform
