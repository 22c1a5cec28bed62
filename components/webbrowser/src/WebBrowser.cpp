#include "webbrowser/WebBrowser.h"

#include <QPointer>
#include <QWidget>
#include <cstring>
#include <set>

#include "TagEditor.h"
#include "platform/WindowMessage.h"

#define WEBBROWSER_EXPORT __attribute__((visibility("default")))

namespace {

struct Browser
{
    // The editor dies with its parent window; the handle then only answers "nothing".
    QPointer<TagEditor> editor;
};

// Handles are the addresses of open browsers; anything else is ignored. GUI thread only.
std::set<Browser*>& openBrowsers()
{
    static std::set<Browser*> browsers;
    return browsers;
}

TagEditor* editorOf(WKE_Browser handle)
{
    auto* browser = static_cast<Browser*>(handle);
    return openBrowsers().count(browser) ? browser->editor.data() : nullptr;
}

} // namespace

extern "C" {

WEBBROWSER_EXPORT WKE_Browser WKE_OpenWebBrowser(const char* /*pageUrl*/,
                                                 long long parentWindow,
                                                 long long* browserWindow)
{
    if (browserWindow)
        *browserWindow = 0;
    auto* parent = qobject_cast<QWidget*>(platform::localReceiver(parentWindow));
    if (!parent)
        return nullptr;
    auto* browser = new Browser;
    browser->editor = new TagEditor(parent, parentWindow);
    browser->editor->hide();
    openBrowsers().insert(browser);
    if (browserWindow)
        *browserWindow = platform::registerWindow(browser->editor);
    return browser;
}

WEBBROWSER_EXPORT void WKE_CloseWebBrowser(WKE_Browser handle)
{
    auto* browser = static_cast<Browser*>(handle);
    if (!openBrowsers().erase(browser))
        return;
    delete browser->editor.data();
    delete browser;
}

WEBBROWSER_EXPORT std::size_t WKE_GetAddressee(WKE_Browser handle, char* buffer, std::size_t size)
{
    TagEditor* editor = editorOf(handle);
    const QByteArray list = editor ? editor->addresses().join(QLatin1Char(',')).toUtf8() : QByteArray();
    const auto length = static_cast<std::size_t>(list.size());
    if (buffer && size > 0) {
        if (length < size)
            std::memcpy(buffer, list.constData(), length + 1);
        else
            buffer[0] = '\0';
    }
    return length;
}

WEBBROWSER_EXPORT void WKE_Reset(WKE_Browser handle)
{
    if (TagEditor* editor = editorOf(handle))
        editor->clear();
}

WEBBROWSER_EXPORT bool WKE_CheckAddressee(WKE_Browser /*browser*/, const char* address)
{
    return address && TagEditor::isEmailAddress(QByteArray(address));
}

} // extern "C"
