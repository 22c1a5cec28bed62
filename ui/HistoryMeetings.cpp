#include "HistoryMeetings.h"

#include <QEvent>
#include <QListWidget>
#include <QPainter>
#include <QTimer>

#include "base/Localization.h"
#include "base/MeetingNumber.h"
#include "ui/Accessible.h"
#include "ui/ClickableLabel.h"
#include "ui/HistoryItem.h"
#include "ui/MainWindow.h"

namespace {
constexpr int kWidth = 320;
constexpr int kHeight = 249;
constexpr int kListHeight = 221;
constexpr int kMaxUnscrolledRows = 8;
} // namespace

HistoryMeetings::HistoryMeetings(int entries, MainWindow* mainWindow)
    : QDialog(nullptr)
    , m_mainWindow(mainWindow)
    , m_background(QStringLiteral(":/UI/res/frame.png"))
{
    setObjectName(QStringLiteral("HistoryMeetings"));
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    resize(kWidth, kHeight);

    m_listWidget = new QListWidget(this);
    m_listWidget->setObjectName(QStringLiteral("listWidget"));
    m_listWidget->setFrameShape(QFrame::NoFrame);
    m_listWidget->setGeometry(1, 1, 318, kListHeight);
    m_listWidget->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Every row has the same height, so the list need not ask each row for its size.
    m_listWidget->setUniformItemSizes(true);
    accessible::name(m_listWidget, LangText("ui.a11y.history"));
    // The rows are made inside the list and inherit its font and text colour, once for all.
    QWidget* viewport = m_listWidget->viewport();
    viewport->setFont(HistoryItem::rowFont());
    QPalette palette = viewport->palette();
    palette.setColor(QPalette::WindowText, HistoryItem::textColour());
    viewport->setPalette(palette);

    m_clearup = new ClickableLabel(this);
    m_clearup->setObjectName(QStringLiteral("clearup"));
    m_clearup->setGeometry(9, 224, 310, 21);
    m_clearup->setText(LangText("ui.clear_history"));
    QFont font = m_clearup->font();
    font.setPointSize(10);
    m_clearup->setFont(font);
    m_clearup->setStyleSheet(QStringLiteral("QLabel{color:rgb(24,144,255);} QLabel:hover{color:rgb(0,130,255);}"));

    const int rows = qMax(entries, 0);
    if (rows <= kMaxUnscrolledRows) {
        const int listHeight = rows * HistoryItem::kRowHeight;
        m_listWidget->setFixedHeight(listHeight);
        m_clearup->move(m_clearup->x(), listHeight + 2);
        setFixedHeight(m_clearup->height() + listHeight + 5);
    }

    m_closeTimer = new QTimer(this);
    m_closeTimer->setSingleShot(true);
    m_closeTimer->setInterval(kCloseDelayMs);
    connect(m_closeTimer, &QTimer::timeout, this, [this] {
        close();
        deleteLater();
    });

    QMetaObject::connectSlotsByName(this);
    connect(m_listWidget, &QListWidget::itemClicked, this, &HistoryMeetings::on_itemClicked);
    connect(m_listWidget, &QListWidget::itemActivated, this, &HistoryMeetings::on_itemClicked);
}

HistoryMeetings::~HistoryMeetings()
{
    if (m_mainWindow)
        m_mainWindow->historyPopupClosed();
}

void HistoryMeetings::fill(const settings::History& history, const QString& currentIdWithoutDashes)
{
    for (auto it = history.rbegin(); it != history.rend(); ++it) {
        if (it->second.id.empty())
            continue;
        // Made where setItemWidget() puts it: moving a row in afterwards resolves its font and
        // colours once more, for every row.
        auto* row = new HistoryItem(QString::fromStdString(it->second.id), QString::fromStdString(it->second.name),
                                    m_listWidget->viewport());
        auto* item = new QListWidgetItem(m_listWidget);
        // An item has no size hint of its own (-1 x -1), and a hint with a negative width is
        // dropped as invalid, which would leave the row at the height of one line of text. A zero
        // width lets the list stretch the row across itself.
        const QSize defaultHint = item->sizeHint();
        item->setSizeHint(QSize(qMax(defaultHint.width(), 0), row->height()));
        m_listWidget->setItemWidget(item, row);
        if (!currentIdWithoutDashes.isEmpty() && stripMeetingNumber(row->id()) == currentIdWithoutDashes)
            m_listWidget->setCurrentItem(item);
    }
    // The keyboard moves into the list at once: arrows choose, Enter picks, Escape leaves. Only the
    // matching row is made current; without one, the first arrow key starts at the top.
    activateWindow();
    m_listWidget->setFocus();
}

void HistoryMeetings::reject()
{
    // Escape must take the popup away for good, like any other way of closing it.
    closePopup();
}

void HistoryMeetings::on_clearup_clicked()
{
    m_listWidget->clear();
    if (m_mainWindow) {
        m_mainWindow->clearJoinHistory();
        m_mainWindow->setMeetingIdText(QString());
    }
    closePopup();
}

void HistoryMeetings::on_itemClicked(QListWidgetItem* item)
{
    auto* row = item ? qobject_cast<HistoryItem*>(m_listWidget->itemWidget(item)) : nullptr;
    if (!row)
        return;
    if (m_mainWindow)
        m_mainWindow->setMeetingIdText(row->id());
    closePopup();
}

bool HistoryMeetings::event(QEvent* event)
{
    if (event->type() == QEvent::WindowDeactivate)
        closePopup();
    return QDialog::event(event);
}

void HistoryMeetings::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), m_background);
    Q_UNUSED(event);
}

void HistoryMeetings::closePopup()
{
    // Hiding deactivates the window, which comes back here; the first request is the one that counts.
    if (m_closing)
        return;
    m_closing = true;
    hide();
    m_closeTimer->start();
}
