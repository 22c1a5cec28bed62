#include "ui/invite/WebBrowserBinding.h"

#include <QWidget>
#include <dlfcn.h>
#include <vector>

namespace {

template <typename Fn> Fn entryPoint(void* module, const char* name)
{
    return module ? reinterpret_cast<Fn>(::dlsym(module, name)) : nullptr;
}

} // namespace

WebBrowserBinding::WebBrowserBinding(const QString& folder)
{
    // RTLD_NODELETE: Qt may keep pointers into the library's meta-objects after its widgets are
    // gone, so "unloading" must not unmap it.
    const QString path = folder + QStringLiteral("libWebBrowser.so");
    m_module = ::dlopen(path.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    m_open = entryPoint<WKE_OpenWebBrowserFn>(m_module, "WKE_OpenWebBrowser");
    m_close = entryPoint<WKE_CloseWebBrowserFn>(m_module, "WKE_CloseWebBrowser");
    m_getAddressee = entryPoint<WKE_GetAddresseeFn>(m_module, "WKE_GetAddressee");
    m_reset = entryPoint<WKE_ResetFn>(m_module, "WKE_Reset");
    m_check = entryPoint<WKE_CheckAddresseeFn>(m_module, "WKE_CheckAddressee");
}

WebBrowserBinding::~WebBrowserBinding()
{
    release();
}

bool WebBrowserBinding::open(QWidget* page, const QString& pageUrl)
{
    if (!m_open || m_browser || !page)
        return false;
    const platform::WindowHandle parent = platform::registerWindow(page);
    long long window = 0;
    m_browser = m_open(pageUrl.toUtf8().constData(), parent, &window);
    m_window = m_browser ? window : 0;
    return m_browser != nullptr;
}

QWidget* WebBrowserBinding::window() const
{
    return m_browser ? qobject_cast<QWidget*>(platform::localReceiver(m_window)) : nullptr;
}

std::string WebBrowserBinding::addresses() const
{
    if (!canReadAddresses())
        return std::string();
    // The component says how much it needs; the list changes only on this thread, so the second
    // call fits unless the first one already did.
    std::vector<char> buffer(1024);
    size_t needed = m_getAddressee(m_browser, buffer.data(), buffer.size());
    if (needed >= buffer.size()) {
        buffer.assign(needed + 1, '\0');
        needed = m_getAddressee(m_browser, buffer.data(), buffer.size());
        if (needed >= buffer.size())
            return std::string();
    }
    return std::string(buffer.data(), needed);
}

bool WebBrowserBinding::checkAddress(const std::string& address) const
{
    return !m_check || m_check(m_browser, address.c_str());
}

void WebBrowserBinding::reset()
{
    if (m_reset && m_browser)
        m_reset(m_browser);
}

void WebBrowserBinding::release()
{
    if (m_close && m_browser)
        m_close(m_browser);
    m_browser = nullptr;
    m_window = 0;
    if (m_module)
        ::dlclose(m_module);
    m_module = nullptr;
    m_open = nullptr;
    m_close = nullptr;
    m_getAddressee = nullptr;
    m_reset = nullptr;
    m_check = nullptr;
}
