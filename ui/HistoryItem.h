#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

class QLabel;

// One row of the join-history popup: the meeting number in groups and the meeting's name.
class HistoryItem : public QWidget
{
    Q_OBJECT
public:
    // id: the meeting number as stored (dashes, if any, are ignored for display).
    HistoryItem(const QString& id, const QString& name, QWidget* parent = nullptr);
    ~HistoryItem() override;

    QString id() const { return m_id; }
    QString name() const { return m_name; }

    // Font and text colour of both labels.
    static QFont rowFont();
    static QColor textColour();

    static constexpr int kRowHeight = 27;
    static constexpr int kTopicWidth = 180; // the name is cut to this many pixels

private:
    QLabel* m_labelMeetingId = nullptr;
    QLabel* m_labelTopic = nullptr;
    QString m_id;
    QString m_name;
};
