// The SDK's reader of cloud answers: arbitrary bytes never crash it, text that is valid is never
// touched, and what it repairs is valid and stays as repaired.
#include <QJsonDocument>
#include <QJsonParseError>

#include "FuzzInput.h"
#include "components/orvosdk/src/AnswerReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray body(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const QByteArray repaired = orvo::WithoutBadText(body);
    FUZZ_CHECK(orvo::WithoutBadText(repaired) == repaired);

    QJsonParseError error{};
    const QJsonDocument plain = QJsonDocument::fromJson(body, &error);
    QJsonObject object;
    const bool read = orvo::ReadAnswerObject(body, object);
    if (error.error == QJsonParseError::NoError) {
        FUZZ_CHECK(read == plain.isObject());
        if (read)
            FUZZ_CHECK(object == plain.object());
    }
    // A body whose only fault was its text reads after the repair.
    if (error.error == QJsonParseError::IllegalUTF8String) {
        QJsonParseError again{};
        QJsonDocument::fromJson(repaired, &again);
        FUZZ_CHECK(again.error != QJsonParseError::IllegalUTF8String);
    }
    return 0;
}
