#pragma once

#include <QDialog>
#include <QPixmap>
#include <QPointer>

#include "base/Settings.h"

class ClickableLabel;
class MainWindow;
class QListWidget;
class QListWidgetItem;
class QTimer;

// The join-history popup under the meeting-ID field. Made for one use: it hides when closed and
// deletes itself shortly after, telling the main window on the way out.
class HistoryMeetings : public QDialog
{
    Q_OBJECT
public:
    // entries: the number of rows to be filled; it decides the popup's height.
    HistoryMeetings(int entries, MainWindow* mainWindow);
    ~HistoryMeetings() override;

    // Rows newest first; the row of the meeting number already typed becomes the current one.
    void fill(const settings::History& history, const QString& currentIdWithoutDashes);

    static constexpr int kCloseDelayMs = 100;

public slots:
    void reject() override;

private slots:
    void on_clearup_clicked();
    void on_itemClicked(QListWidgetItem* item);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void closePopup();

    QPointer<MainWindow> m_mainWindow;
    QListWidget* m_listWidget = nullptr;
    ClickableLabel* m_clearup = nullptr;
    QTimer* m_closeTimer = nullptr;
    QPixmap m_background;
    bool m_closing = false;
};
