#include "ConversionWindow.h"

#include "base/Localization.h"
#include "platform/TopLevelWindows.h"

namespace {

const char kVendor[] = "Orvo";
const char kCaption[] = " - 转换录制文件";
// Titles are read into a buffer of this many characters; longer ones never match.
constexpr int kTitleChars = 256;

} // namespace

QString sdkConversionWindowTitle()
{
    return QString::fromUtf8(kVendor) + QString::fromUtf8(kCaption);
}

QString conversionWindowTitle()
{
    QString name = LangText("ui.window");
    if (name.isEmpty())
        name = QStringLiteral("VTX");
    return name + QString::fromUtf8(kCaption);
}

bool retitleConversionWindow(const QString& newTitle, const std::atomic<bool>& keepGoing)
{
    const QString wanted = sdkConversionWindowTitle();
    bool done = false;
    platform::enumTopLevelWindows([&](platform::TopLevelId id) {
        if (!keepGoing)
            return false;
        if (platform::topLevelWindowTitle(id, kTitleChars) != wanted)
            return true;
        // One window per look; a second one is retitled on the next.
        done = platform::setTopLevelWindowTitle(id, newTitle);
        return false;
    });
    return done;
}
