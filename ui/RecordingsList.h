#pragma once

#include <QObject>
#include <string>

class QListWidget;
class QListWidgetItem;
class VideoFolder;
class VideoItem;

// Fills the recordings list from the scanner's reports: one VideoItem row per finished recording,
// rows of vanished folders taken out again, the button bar shown on the selected row only.
// The list widget and the scanner belong to the meetings tab.
class RecordingsList : public QObject
{
    Q_OBJECT
public:
    RecordingsList(QListWidget* list, VideoFolder* scanner, QObject* parent = nullptr);
    ~RecordingsList() override;

    // Deletes every row (teardown).
    void clear();
    // The row showing this folder, or null.
    VideoItem* rowOf(const std::string& path) const;

public slots:
    // The scanner's notifyVideoFinished: one more row at the end.
    void onVideoFinished();
    // The scanner's notifyVideoGone: the row of that folder goes.
    void onVideoGone();
    // The list's currentItemChanged.
    void onSelectionChanged(QListWidgetItem* current, QListWidgetItem* previous);
    // Takes the row's entry out of the list; does nothing for a row that is in none.
    void removeRow(VideoItem* row);

private:
    VideoItem* rowAt(QListWidgetItem* item) const;
    void detach(QListWidgetItem* item);

    QListWidget* m_list;
    VideoFolder* m_scanner;
};
