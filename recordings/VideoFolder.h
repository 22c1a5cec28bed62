#pragma once
// Watches the SDK's recordings folder for the signed-in user: claims new recording folders,
// recognises finished ones and queues one VideoRecord per finished recording. The periodic work
// runs on a worker thread of its own; everything it reports reaches the GUI thread as a queued
// signal of this object, and nothing is delivered once stop() has returned.
//
// Folder names are UTF-8 bytes, as Linux file names are; every narrow string here is UTF-8.

#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// One finished local recording; all three texts UTF-8.
struct VideoRecord
{
    std::string topic;
    std::string dateTime; // "2020-01-31 14:30:00"
    std::string path;     // root + "/" + folder name
};

// The record a recording folder's name stands for: date, time with dots, topic (may hold blanks),
// meeting number. Nothing for names of fewer than four blank-separated parts.
std::optional<VideoRecord> recordFromFolderName(const std::string& root, const std::string& name);

// Whether a directory entry may be treated as a recording: valid UTF-8, no control characters,
// not "." or "..". Other names are never claimed, listed or handed to a delete.
bool isAcceptableFolderName(const std::string& name);

// Deletes a recording folder that the scanner reported. Refuses relative paths and paths with an
// empty, "." or ".." part, so a bad path can never reach above the recordings root; symbolic
// links are removed, never followed. False when refused.
bool removeRecordingFolder(const std::string& path);

class VideoFolder : public QObject
{
    Q_OBJECT
public:
    struct Clocks
    {
        int rescanMs = 15000;     // a pass over the root
        int windowCheckMs = 1000; // a look for the SDK's conversion window
        int sleepMs = 50;         // the worker's nap between looks at the clocks
    };

    explicit VideoFolder(QObject* parent = nullptr);
    explicit VideoFolder(const Clocks& clocks, QObject* parent = nullptr);
    ~VideoFolder() override;

    // Stores owner and root; starts the worker unless it runs already (then only both change).
    void start(const std::string& owner, const std::string& root);
    // The owner alone, for passes driven by hand.
    void setOwner(const std::string& owner);
    // Follows a changed recording path; the next pass starts afresh when it differs.
    void setRootFolder(const std::string& root);
    // Ends the worker (waits for it; at most the folder being looked at finishes), drops
    // everything queued and makes sure no signal of the ended run reaches a receiver.
    void stop();
    bool isRunning() const { return m_running.load(); }

    // The oldest finished recording not yet taken.
    std::optional<VideoRecord> takeNextRecord();
    // The path of a listed recording whose folder went away or can no longer be read.
    std::optional<std::string> takeGonePath();

    // One pass over the root; the worker calls it, tests and benchmarks may too.
    void rescan();
    // The title the conversion window is given.
    QString conversionTitle() const { return m_conversionTitle; }
    // Names the scanner remembers; for tests of the map's bounds.
    std::size_t knownFolderCount() const;

signals:
    // Sent when the first record of a batch is queued: take records until none is left.
    void notifyVideoFinished();
    // Likewise for takeGonePath().
    void notifyVideoGone();
    void notifyUpdateVideoPath(); // after each periodic pass: time to set the SDK's current path

private:
    enum class State
    {
        Unreported, // claimed, not (yet) finished or not ours
        Listed,     // reported as a record
        Unlisted    // finished, but its name does not make a record
    };
    struct Known
    {
        State state = State::Unreported;
        std::uint64_t seenInPass = 0;
    };

    void workerLoop(std::uint64_t generation);
    void post(void (VideoFolder::*signal)(), std::uint64_t generation);
    void checkFolder(int rootFd, const std::string& root, const std::string& name, Known& known);
    void dropListed(const std::string& root, const std::string& name, Known& known);

    const Clocks m_clocks;
    const QString m_conversionTitle;
    std::thread m_worker;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_abort{false};           // ends a pass early
    std::atomic<std::uint64_t> m_generation{0}; // signals of an older generation are dropped
    std::mutex m_wakeLock;
    std::condition_variable m_wake;

    mutable std::mutex m_lock; // pending queues, owner, root
    std::deque<VideoRecord> m_pending;
    std::deque<std::string> m_gone;
    std::string m_owner;
    std::string m_root;

    mutable std::mutex m_passLock; // one pass at a time; guards the members below
    std::map<std::string, Known> m_known;
    std::uint64_t m_pass = 0;
    std::string m_passRoot;
    std::string m_passOwner;
};
