#pragma once
// libWebBrowser.so: the address field of the e-mail invitation. Addresses are typed into a tag
// editor embedded in the caller's window; a comma or Enter turns the typed text into a tag. When an
// address is entered that the field already holds, the parent window gets message 1424
// (platform::kMsgEmailDuplicate) and the field keeps one copy. All strings are UTF-8; every call
// belongs on the GUI thread.

#include <cstddef>

extern "C" {
using WKE_Browser = void*;

// pageUrl: accepted for compatibility and not needed (the editor is native). parentWindow: a
// platform::WindowHandle of a widget of this process; the editor becomes its child, hidden until
// the caller shows it. browserWindow (may be null) receives the editor's own window handle.
// Returns null when the parent is not a widget of this process.
WKE_Browser WKE_OpenWebBrowser(const char* pageUrl, long long parentWindow, long long* browserWindow);
// Removes the editor. Unknown or already closed handles are ignored.
void WKE_CloseWebBrowser(WKE_Browser browser);
// The entered addresses joined by ',' (text still being typed counts as one more) and ended by a
// zero byte. Returns the length the whole list needs, without the zero byte. When buffer cannot
// hold it, buffer gets an empty string, never a cut list: ask again with a larger one.
std::size_t WKE_GetAddressee(WKE_Browser browser, char* buffer, std::size_t size);
// Empties the field.
void WKE_Reset(WKE_Browser browser);
// True when address has the form of one e-mail address (internationalised names allowed).
bool WKE_CheckAddressee(WKE_Browser browser, const char* address);

using WKE_OpenWebBrowserFn = WKE_Browser (*)(const char*, long long, long long*);
using WKE_CloseWebBrowserFn = void (*)(WKE_Browser);
using WKE_GetAddresseeFn = std::size_t (*)(WKE_Browser, char*, std::size_t);
using WKE_ResetFn = void (*)(WKE_Browser);
using WKE_CheckAddresseeFn = bool (*)(WKE_Browser, const char*);
}
