#pragma once

// Pieces both meeting dialogs (schedule and personal meeting ID) are built from.

#include <QString>
#include <QWidget>

class QLabel;
class QRadioButton;

namespace schedule {

// A child widget with the form's name and fixed geometry.
template <typename W> W* make(QWidget* parent, const char* name, int x, int y, int w, int h)
{
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

// The "video" rows: a caption, then the host's and the participants' on/off pair, each pair a group
// of its own. The caption starts at labelX; the host row at top, the participants' 35 pixels lower.
class VideoChoices
{
public:
    VideoChoices(QWidget* parent, int labelX, int labelWidth, int top);

    // Texts and screen-reader descriptions from the running pack.
    void applyTexts();
    void setChecked(bool hostVideo, bool participantVideo);
    bool hostVideo() const;
    bool participantVideo() const;

private:
    QLabel* m_video;
    QLabel* m_host;
    QLabel* m_attendee;
    QRadioButton* m_hostOpen;
    QRadioButton* m_hostClose;
    QRadioButton* m_attendeeOpen;
    QRadioButton* m_attendeeClose;
};

} // namespace schedule
