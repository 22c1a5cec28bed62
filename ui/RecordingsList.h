#pragma once

#include <QObject>
#include <QPointer>
#include <string>
#include <unordered_map>

class QListWidget;
class QListWidgetItem;
class RecordingsView;
class VideoFolder;
class VideoItem;

// Fills the recordings list from the scanner's reports: one VideoItem row per finished recording,
// rows of vanished folders taken out again, the button bar shown on the selected row only.
// The list widget and the scanner belong to the meetings tab. In a RecordingsView a row widget is
// made only while its entry is in sight; the entry itself keeps the record.
class RecordingsList : public QObject
{
    Q_OBJECT
public:
    RecordingsList(QListWidget* list, VideoFolder* scanner, QObject* parent = nullptr);
    ~RecordingsList() override;

    // Deletes every row (teardown).
    void clear();
    // The row showing this folder, or null (also while it is out of sight in a RecordingsView).
    VideoItem* rowOf(const std::string& path) const;
    // The folder an entry of the list stands for, with or without a row widget.
    static std::string pathOf(const QListWidgetItem* item);

    // Rows are built in slices of about this many milliseconds, so a folder of thousands of
    // recordings does not freeze the window.
    static constexpr int kSliceMs = 4;

public slots:
    // The scanner's notifyVideoFinished: rows for every record waiting, appended at the end.
    void onVideoFinished();
    // The scanner's notifyVideoGone: the rows of those folders go.
    void onVideoGone();
    // The list's currentItemChanged.
    void onSelectionChanged(QListWidgetItem* current, QListWidgetItem* previous);
    // Takes the row's entry out of the list; does nothing for a row that is in none.
    void removeRow(VideoItem* row);

private:
    VideoItem* rowAt(QListWidgetItem* item) const;
    void addRow(const std::string& topic, const std::string& dateTime, const std::string& path);
    void makeRow(QListWidgetItem* item);
    void removeItem(QListWidgetItem* item);
    void continueLater(void (RecordingsList::*slot)(), bool& queued);

    QListWidget* m_list;
    VideoFolder* m_scanner;
    QPointer<RecordingsView> m_view;                           // the list, when it makes rows on demand
    std::unordered_map<std::string, QListWidgetItem*> m_items; // by folder path
    bool m_finishedQueued = false;
    bool m_goneQueued = false;
};
