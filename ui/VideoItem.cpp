#include "VideoItem.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "base/Localization.h"
#include "platform/Shell.h"
#include "recordings/VideoFolder.h"
#include "ui/MessageBox.h"

namespace {

// One sheet for the row rather than one per widget: a sheet is parsed per widget that holds one,
// and a folder of many recordings builds many rows.
const char kRowStyle[] =
    "QPushButton#video, QPushButton#audio {color: rgb(0, 0, 0);border: none;border-radius: 0px;padding: 4px;"
    "padding-left: 1px;padding-right: 1px;font-size:13px;background-image: url(:/UI/res/item_lbtn_normal.png);}"
    "QPushButton#video:hover, QPushButton#audio:hover {background-image: url(:/UI/res/item_lbtn_hover.png);}"
    "QPushButton#video:pressed, QPushButton#audio:pressed {background-image: url(:/UI/res/item_lbtn_down.png);}"
    "QPushButton#open, QPushButton#remove {color: rgb(0, 0, 0);border: none;border-radius: 0px;padding: 4px;"
    "padding-left: 5px;padding-right: 5px;font-size:13px;background-image: url(:/UI/res/item_btn_normal.png);}"
    "QPushButton#open:hover, QPushButton#remove:hover {background-image: url(:/UI/res/item_btn_hover.png);}"
    "QPushButton#open:pressed, QPushButton#remove:pressed {background-image: url(:/UI/res/item_btn_down.png);}"
    "QPushButton#open:disabled, QPushButton#remove:disabled {background-image: "
    "url(:/UI/res/item_btn_disabled.png);}"
    "QLabel#label_Datetime, QLabel#label_Filepath {color:rgb(127, 127, 127)}";

QLabel* makeLabel(QWidget* parent, const char* name, const QRect& geometry, int pointSize)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    QFont font = parent->font();
    font.setPointSize(pointSize);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Topics come from meeting hosts and folder names: shown as typed, never as markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* key, int maxWidth)
{
    auto* button = new QPushButton(LangText(key), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setMaximumSize(maxWidth, 24);
    button->setCursor(Qt::PointingHandCursor);
    parent->layout()->addWidget(button);
    return button;
}

} // namespace

VideoItem::VideoItem(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("VideoItem"));
    resize(360, kRowHeight);
    setFont(QFont(LangText("ui.font")));
    setStyleSheet(QString::fromLatin1(kRowStyle));

    m_labelTopic = makeLabel(this, "label_Topic", QRect(10, 6, 341, 24), 10);
    m_labelDatetime = makeLabel(this, "label_Datetime", QRect(10, 30, 341, 21), 8);
    m_labelFilepath = makeLabel(this, "label_Filepath", QRect(10, 50, 341, 21), 8);

    m_ctrlWidget = new QWidget(this);
    m_ctrlWidget->setObjectName(QStringLiteral("ctrlWidget"));
    m_ctrlWidget->setGeometry(8, 70, 291, 24);
    auto* layout = new QHBoxLayout(m_ctrlWidget);
    layout->setObjectName(QStringLiteral("horizontalLayout"));
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    makeButton(m_ctrlWidget, "video", "ui.video.video", 80);
    makeButton(m_ctrlWidget, "audio", "ui.video.audio", 80);
    makeButton(m_ctrlWidget, "open", "ui.video.open", 60);
    makeButton(m_ctrlWidget, "remove", "ui.video.remove", 60);
    m_ctrlWidget->hide();

    QMetaObject::connectSlotsByName(this);
}

VideoItem::~VideoItem() = default;

void VideoItem::setData(const std::string& topic, const std::string& dateTime, const std::string& path)
{
    m_path = path;
    m_labelTopic->setText(LangText("ui.video.label_Topic") + QString::fromStdString(topic));
    m_labelDatetime->setText(LangText("ui.video.label_Datetime") + QString::fromStdString(dateTime));
    QFont measure(LangText("ui.font"));
    measure.setPointSize(8);
    const QString full = LangText("ui.video.label_Filepath") + folder();
    const QString shown = QFontMetrics(measure).elidedText(full, Qt::ElideRight, kPathWidth);
    m_labelFilepath->setText(shown);
    m_labelFilepath->setToolTip(shown == full ? QString() : folder());
}

void VideoItem::showControls(bool show)
{
    m_ctrlWidget->setVisible(show);
}

QString VideoItem::folder() const
{
    return QString::fromStdString(m_path);
}

void VideoItem::on_video_clicked()
{
    // The desktop's player for playlists plays the recording.
    platform::shellOpen(folder() + QStringLiteral("/playback.m3u"));
}

void VideoItem::on_audio_clicked()
{
    platform::shellOpen(folder() + QStringLiteral("/audio_only.m4a"));
}

void VideoItem::on_open_clicked()
{
    platform::shellOpen(folder());
}

void VideoItem::on_remove_clicked()
{
    if (m_path.empty())
        return;
    const int answer =
        MessageBox::show(this, MessageBox::Question, LangText("ui.window"), LangText("msg.remove_video_request"),
                         LangText("box.ok"), LangText("box.cancel"));
    if (answer != MessageBox::FirstButton)
        return;
    // Whatever is left of a folder that could not be deleted completely, the row goes.
    removeRecordingFolder(m_path);
    emit removeRequested(this);
}
