#pragma once
// The invitation of a scheduled meeting, shown after scheduling or copied straight to the clipboard.

#include <QDialog>

#include "sdk/ScheduleItems.h"

class QLabel;
class QPushButton;
class QTextEdit;

class ScheduleInfoDlg : public QDialog
{
    Q_OBJECT
public:
    // mode 0: scheduled; 1: copying an invitation; other: the personal meeting was edited.
    ScheduleInfoDlg(const QString& displayName, int mode);
    ~ScheduleInfoDlg() override;

    void
    setMeetingInfo(const schedule::ItemInfo& item, bool useGivenPassword, const QString& password, bool copyAndClose);
    QString text() const;
    bool saveCalendar(const QString& path) const;

private slots:
    void on_pushButton_copy_clicked();
    void on_pushButton_calendar_clicked();

private:
    QString m_displayName;
    schedule::ItemInfo m_item;
    QString m_password;
    QString m_invitation;
    QLabel* m_title = nullptr;
    QTextEdit* m_text = nullptr;
    QPushButton* m_calendar = nullptr;
};
