#pragma once

#include <QString>
#include <QWidget>
#include <string>

class QLabel;
class QPushButton;

// One finished local recording in the recordings list: topic, date-time and folder, with play,
// play-audio, open-folder and delete buttons shown while the row is the selected one.
class VideoItem : public QWidget
{
    Q_OBJECT
public:
    explicit VideoItem(QWidget* parent = nullptr);
    ~VideoItem() override;

    // UTF-8 texts of a VideoRecord.
    void setData(const std::string& topic, const std::string& dateTime, const std::string& path);
    void showControls(bool show);
    const std::string& path() const { return m_path; }

    static constexpr int kRowHeight = 95;
    static constexpr int kPathWidth = 340; // the path label's text is cut to this many pixels

signals:
    // The recording was deleted; the list takes the row out (after this row's click has returned).
    void removeRequested(VideoItem* item);

private slots:
    void on_video_clicked();
    void on_audio_clicked();
    void on_open_clicked();
    void on_remove_clicked();

private:
    QString folder() const;

    QLabel* m_labelTopic = nullptr;
    QLabel* m_labelDatetime = nullptr;
    QLabel* m_labelFilepath = nullptr;
    QWidget* m_ctrlWidget = nullptr;
    std::string m_path; // UTF-8 bytes as the folder is named on disk
};
