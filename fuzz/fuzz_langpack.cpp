// Language packs: the pack of the chosen language and the other one (NUL between them). Every format
// key is then formatted with what its caller passes; a text that does not fit must never reach printf.
#include <QFile>

#include "FuzzInput.h"
#include "app/Localization.h"

namespace {

void write(const QString& path, const std::string& content)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content.data(), qint64(content.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::string> parts = fuzz::split(data, size, 2);
    const QString folder = fuzz::scratchFolder();
    const int language = size > 0 ? data[0] & 1 : 0;
    write(folder + (language == 1 ? "/en_US.ini" : "/zh_CN.ini"), parts[0]);
    write(folder + (language == 1 ? "/zh_CN.ini" : "/en_US.ini"), parts[1]);

    Localization* l = Localization::Instance();
    l->resetForTest();
    FUZZ_CHECK(l->Load(language, folder + (language == 1 ? "/en_US.ini" : "/zh_CN.ini")) == 0);
    FUZZ_CHECK(l->Lookup("ui.window") != nullptr);

    LangFormat("ui.label_version", "1.5.0");
    LangFormat("ui.btn_regFetch", 59);
    LangFormat("ui.plan.schedule_edit_success", 12345678901ULL);
    LangFormat("ui.plan.checkBox_usePMI", 12345678901ULL);
    LangFormat("ui.plan.default.topic", "王小明");
    LangFormat("ui.plan.calculate.daily", 2, 7);
    LangFormat("ui.plan.calculate.weekly", 1, "Mon", 7);
    LangFormat("ui.plan.calculate.monthly", 3);
    LangFormat("msg.invite_welcome", "王小明");
    LangFormat("msg.invite_topic", "topic");
    LangFormat("msg.invite_datetime", 2026, 12, 8, 23, 30);
    LangFormat("msg.invite_meetingid", 12345678901ULL);
    LangFormat("msg.invite_password", "secret");
    // Plain texts are never formatted, whatever they hold.
    LangFormat("ui.window", 1);
    return 0;
}
