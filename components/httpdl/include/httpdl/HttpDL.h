#pragma once
// libHttpDL.so: file download on a thread of its own. Progress goes to a window handle as message
// 1204 (platform::kMsgDownloadProgress): wParam 0..100 while running, 101 once the file is in place;
// a download that fails by itself ends with wParam 0 and lParam kDownloadFailed (a stopped one sends
// nothing more). The file appears under its final name only when complete; a failed or stopped
// download leaves nothing behind, and a file already under that name stays as it was.

#include <cstdint>

// lParam of the last progress message of a download that failed.
constexpr long long kDownloadFailed = -1;

extern "C" {
using DownloadHandle = std::uintptr_t;

// url: http(s) address; localPath: the file to create or replace; user/password: credentials for
// the server, empty for none; window: receiver of the progress messages (0 for none).
// Returns 0 when the arguments are unusable.
DownloadHandle
DL_StartDownload(const char* url, const char* localPath, const char* user, const char* password, long long window);
// Stops a running download (removing its partial file) and frees the handle; also the way to free
// a finished one. Unknown handles are ignored.
void DL_StopDownload(DownloadHandle handle);

using DL_StartDownloadFn = DownloadHandle (*)(const char*, const char*, const char*, const char*, long long);
using DL_StopDownloadFn = void (*)(DownloadHandle);
}
