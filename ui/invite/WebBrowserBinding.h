#pragma once

#include <QString>
#include <string>

#include "components/webbrowser/include/webbrowser/WebBrowser.h"
#include "platform/WindowMessage.h"

class QWidget;

// libWebBrowser.so as the e-mail page uses it, loaded by name from a folder. A missing library or
// entry point leaves the matching operation inert; nothing is reported.
class WebBrowserBinding
{
public:
    // folder with a trailing '/'.
    explicit WebBrowserBinding(const QString& folder);
    ~WebBrowserBinding();
    WebBrowserBinding(const WebBrowserBinding&) = delete;
    WebBrowserBinding& operator=(const WebBrowserBinding&) = delete;

    // Opens the address field inside page (registered as a window on the way); false without one.
    bool open(QWidget* page, const QString& pageUrl);
    bool isOpen() const { return m_browser != nullptr; }
    // The field's own window, null when there is none or it is gone.
    QWidget* window() const;

    // The addresses can be read (library, entry point and browser present).
    bool canReadAddresses() const { return m_getAddressee && m_browser; }
    // The entered addresses joined by ','; no length limit.
    std::string addresses() const;
    // Without the check entry point every address passes here.
    bool checkAddress(const std::string& address) const;
    void reset();
    // Closes the browser and unloads the library; safe to call again.
    void release();

private:
    void* m_module = nullptr;
    WKE_OpenWebBrowserFn m_open = nullptr;
    WKE_CloseWebBrowserFn m_close = nullptr;
    WKE_GetAddresseeFn m_getAddressee = nullptr;
    WKE_ResetFn m_reset = nullptr;
    WKE_CheckAddresseeFn m_check = nullptr;
    WKE_Browser m_browser = nullptr;
    platform::WindowHandle m_window = 0;
};
