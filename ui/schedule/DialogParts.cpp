#include "ui/schedule/DialogParts.h"

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>

#include "base/Localization.h"

namespace schedule {

VideoChoices::VideoChoices(QWidget* parent, int labelX, int labelWidth, int top)
{
    m_video = make<QLabel>(parent, "label_video", labelX, top, labelWidth, 25);
    m_host = make<QLabel>(parent, "label_host", 150, top, 104, 25);
    m_hostOpen = make<QRadioButton>(parent, "host_open", 256, top, 90, 25);
    m_hostClose = make<QRadioButton>(parent, "host_close", 356, top, 90, 25);
    m_attendee = make<QLabel>(parent, "label_attendee", 150, top + 35, 104, 25);
    m_attendeeOpen = make<QRadioButton>(parent, "attendee_open", 256, top + 35, 90, 25);
    m_attendeeClose = make<QRadioButton>(parent, "attendee_close", 356, top + 35, 90, 25);
    auto* hostGroup = new QButtonGroup(parent);
    hostGroup->addButton(m_hostOpen);
    hostGroup->addButton(m_hostClose);
    auto* attendeeGroup = new QButtonGroup(parent);
    attendeeGroup->addButton(m_attendeeOpen);
    attendeeGroup->addButton(m_attendeeClose);
    setChecked(true, true);
}

void VideoChoices::applyTexts()
{
    m_video->setText(LangText("ui.plan.label_video"));
    m_host->setText(LangText("ui.plan.label_host"));
    m_attendee->setText(LangText("ui.plan.label_attendee"));
    m_hostOpen->setText(LangText("ui.plan.host_open"));
    m_hostClose->setText(LangText("ui.plan.host_close"));
    m_attendeeOpen->setText(LangText("ui.plan.attendee_open"));
    m_attendeeClose->setText(LangText("ui.plan.attendee_close"));
    // "On" and "Off" alone tell a listener nothing: the row's label is their description.
    for (QRadioButton* b : {m_hostOpen, m_hostClose})
        b->setAccessibleDescription(LangText("ui.plan.label_host"));
    for (QRadioButton* b : {m_attendeeOpen, m_attendeeClose})
        b->setAccessibleDescription(LangText("ui.plan.label_attendee"));
}

void VideoChoices::setChecked(bool hostVideo, bool participantVideo)
{
    (hostVideo ? m_hostOpen : m_hostClose)->setChecked(true);
    (participantVideo ? m_attendeeOpen : m_attendeeClose)->setChecked(true);
}

bool VideoChoices::hostVideo() const
{
    return m_hostOpen->isChecked();
}

bool VideoChoices::participantVideo() const
{
    return m_attendeeOpen->isChecked();
}

} // namespace schedule
