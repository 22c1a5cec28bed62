#include "platform/TopLevelWindows.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <map>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace platform {
namespace {

// What a worker may learn about a window without touching the widget.
struct WindowInfo
{
    QString title;
};

// Written only on the GUI thread, read from any thread.
struct WindowTable
{
    std::mutex mutex;
    std::map<TopLevelId, WindowInfo> windows; // ordered by id, i.e. by first appearance
};

WindowTable& table()
{
    static WindowTable instance;
    return instance;
}

bool isTrackable(const QWidget* widget)
{
    if (!widget->isWindow())
        return false;
    const Qt::WindowType type = widget->windowType();
    return type != Qt::Desktop && type != Qt::ToolTip && type != Qt::Popup;
}

// Lives in the GUI thread as a child of the application; keeps the table current.
class WindowTracker : public QObject
{
public:
    explicit WindowTracker(QObject* parent)
        : QObject(parent)
    {
        s_instance = this;
    }
    ~WindowTracker() override
    {
        s_instance = nullptr;
        std::lock_guard<std::mutex> lock(table().mutex);
        table().windows.clear();
    }

    static WindowTracker* instance() { return s_instance; }

    void trackExisting()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->testAttribute(Qt::WA_WState_Created) || widget->isVisible())
                update(widget);
        }
    }

    QWidget* widgetOf(TopLevelId id) const
    {
        const auto it = m_widgets.find(id);
        return it == m_widgets.end() ? nullptr : it->second.data();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::WindowTitleChange:
        case QEvent::ParentChange:
            if (watched->isWidgetType())
                update(static_cast<QWidget*>(watched));
            break;
        default:
            break;
        }
        return false;
    }

private:
    void update(QWidget* widget)
    {
        const auto known = m_ids.find(widget);
        if (!isTrackable(widget)) {
            if (known != m_ids.end())
                forget(widget, known->second);
            return;
        }
        TopLevelId id;
        if (known != m_ids.end()) {
            id = known->second;
        } else {
            id = ++m_nextId;
            m_ids[widget] = id;
            m_widgets[id] = widget;
            connect(widget, &QObject::destroyed, this, [this, widget, id] { forget(widget, id); });
        }
        std::lock_guard<std::mutex> lock(table().mutex);
        table().windows[id].title = widget->windowTitle();
    }

    void forget(QObject* widget, TopLevelId id)
    {
        m_ids.erase(widget);
        m_widgets.erase(id);
        std::lock_guard<std::mutex> lock(table().mutex);
        table().windows.erase(id);
    }

    static inline WindowTracker* s_instance = nullptr;
    std::unordered_map<const QObject*, TopLevelId> m_ids;
    std::unordered_map<TopLevelId, QPointer<QWidget>> m_widgets;
    TopLevelId m_nextId = 0;
};

bool onGuiThread()
{
    return qApp && QThread::currentThread() == qApp->thread();
}

void installTracker()
{
    if (WindowTracker::instance())
        return;
    auto* tracker = new WindowTracker(qApp);
    qApp->installEventFilter(tracker);
    tracker->trackExisting();
}

// From the GUI thread the tracker is installed at once; from a worker the installation is
// queued, and the windows appear in the table once the GUI thread has run it.
void ensureTracking()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    if (onGuiThread()) {
        installTracker();
        return;
    }
    static std::once_flag queued;
    std::call_once(queued, [] {
        QMetaObject::invokeMethod(
            qApp, [] { installTracker(); }, Qt::QueuedConnection);
    });
}

} // namespace

void trackTopLevelWindows()
{
    ensureTracking();
}

void enumTopLevelWindows(const std::function<bool(TopLevelId)>& visit)
{
    ensureTracking();
    std::vector<TopLevelId> ids;
    {
        std::lock_guard<std::mutex> lock(table().mutex);
        ids.reserve(table().windows.size());
        for (const auto& entry : table().windows)
            ids.push_back(entry.first);
    }
    // The callback runs without the lock, so it may read or set titles itself.
    for (TopLevelId id : ids) {
        if (!visit(id))
            break;
    }
}

QString topLevelWindowTitle(TopLevelId id, int maxChars)
{
    if (maxChars <= 0)
        return QString();
    std::lock_guard<std::mutex> lock(table().mutex);
    const auto it = table().windows.find(id);
    if (it == table().windows.end())
        return QString();
    return it->second.title.left(maxChars);
}

bool setTopLevelWindowTitle(TopLevelId id, const QString& title)
{
    {
        std::lock_guard<std::mutex> lock(table().mutex);
        if (table().windows.count(id) == 0)
            return false;
    }
    if (onGuiThread()) {
        WindowTracker* tracker = WindowTracker::instance();
        QWidget* widget = tracker ? tracker->widgetOf(id) : nullptr;
        if (!widget)
            return false;
        widget->setWindowTitle(title);
        return true;
    }
    // Never wait for the GUI thread: it may itself be waiting for this worker.
    return QMetaObject::invokeMethod(
        qApp,
        [id, title] {
            if (WindowTracker* tracker = WindowTracker::instance()) {
                if (QWidget* widget = tracker->widgetOf(id))
                    widget->setWindowTitle(title);
            }
        },
        Qt::QueuedConnection);
}

} // namespace platform
