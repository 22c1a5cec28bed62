#include "HistoryItem.h"

#include <QFontMetrics>
#include <QLabel>

#include "app/Localization.h"
#include "ui/MeetingNumber.h"

HistoryItem::HistoryItem(const QString& id, const QString& name, QWidget* parent)
    : QWidget(parent)
    , m_id(id)
    , m_name(name)
{
    resize(318, kRowHeight);
    const QString family = LangText("ui.font");

    // Both labels take the row's font and colour by inheritance; a style sheet per row would make
    // a long history slow to open.
    QFont font(family);
    font.setPointSize(10);
    setFont(font);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, QColor(10, 10, 10));
    setPalette(palette);

    m_labelMeetingId = new QLabel(this);
    m_labelMeetingId->setObjectName(QStringLiteral("label_meetingid"));
    m_labelMeetingId->setGeometry(12, 0, 110, kRowHeight);
    m_labelMeetingId->setTextFormat(Qt::PlainText);
    m_labelMeetingId->setText(formatMeetingNumber(stripMeetingNumber(id)));

    // Measured one point smaller than it is drawn, which leaves room for the ellipsis.
    QFont measureFont(family);
    measureFont.setPointSize(9);
    const QString shown = QFontMetrics(measureFont).elidedText(name, Qt::ElideRight, kTopicWidth);
    m_labelTopic = new QLabel(this);
    m_labelTopic->setObjectName(QStringLiteral("label_topic"));
    m_labelTopic->setGeometry(122, 0, 194, kRowHeight);
    // Names come from meeting hosts: markup in them is shown, never interpreted.
    m_labelTopic->setTextFormat(Qt::PlainText);
    m_labelTopic->setText(shown);
    if (shown != name)
        m_labelTopic->setToolTip(name);
}

HistoryItem::~HistoryItem() = default;
