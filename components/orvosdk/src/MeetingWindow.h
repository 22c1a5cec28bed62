#pragma once
// The SDK's in-meeting window: topic, number, participants, elapsed time and the meeting buttons.

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

namespace orvo {

class MeetingService;

class MeetingWindow : public QWidget
{
public:
    explicit MeetingWindow(MeetingService* service);

    // Fills every field from the service again.
    void Refresh();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void UpdateElapsed();

    MeetingService* m_service;
    QLabel* m_app = nullptr;
    QLabel* m_topic = nullptr;
    QLabel* m_number = nullptr;
    QLabel* m_elapsed = nullptr;
    QLabel* m_status = nullptr;
    QListWidget* m_people = nullptr;
    QPushButton* m_invite = nullptr;
    QPushButton* m_share = nullptr;
    QPushButton* m_record = nullptr;
    QPushButton* m_leave = nullptr;
    QPushButton* m_end = nullptr;
    QTimer* m_clock = nullptr;
};

// Meeting numbers as people read them: 3-3-4 up to ten digits, 3-4-4 beyond.
QString GroupedNumber(unsigned long long number);

} // namespace orvo
