// The SDK's reading of cloud answers whose text is not UTF-8: only the bad member is lost.

#include "AnswerReader.h"

#include <QJsonArray>
#include <gtest/gtest.h>

namespace {

using orvo::ReadAnswerObject;
using orvo::WithoutBadText;

TEST(AnswerReader, ValidTextIsNeverTouched)
{
    for (const QByteArray body : {QByteArray(R"({"code":"200","msg":"a\"b\\c\u00e9","data":{}})"),
                                  QByteArray("{\"topic\":\"\xe7\x8e\x8b\xf0\x9f\x98\x80\"}"), QByteArray("[1, \"x\"]"),
                                  QByteArray("not json \"at all"), QByteArray()})
        EXPECT_EQ(WithoutBadText(body), body) << body.toStdString();
}

TEST(AnswerReader, ABadValueCostsOnlyThatValue)
{
    const QByteArray body = "{\"code\":\"200\",\"data\":{\"items\":["
                            "{\"topic\":\"Caf\xe9\",\"meeting_number\":1},"
                            "{\"topic\":\"\xe7\x8e\x8b\",\"meeting_number\":2}]}}";
    QJsonObject answer;
    ASSERT_TRUE(ReadAnswerObject(body, answer));
    EXPECT_EQ(answer.value("code").toString(), "200");
    const QJsonArray items = answer.value("data").toObject().value("items").toArray();
    ASSERT_EQ(items.size(), 2);
    EXPECT_TRUE(items[0].toObject().value("topic").isNull());
    EXPECT_EQ(items[0].toObject().value("meeting_number").toInt(), 1);
    EXPECT_EQ(items[1].toObject().value("topic").toString(), QString::fromUtf8("\xe7\x8e\x8b"));
}

TEST(AnswerReader, ABadNameDropsItsMemberAndKeepsTheRest)
{
    QJsonObject answer;
    ASSERT_TRUE(ReadAnswerObject("{\"code\":\"200\",\"st\xff"
                                 "ate\" : 3,\"status\":7}",
                                 answer));
    EXPECT_EQ(answer.value("status").toInt(), 7);
    EXPECT_FALSE(answer.contains("state"));
    EXPECT_EQ(answer.size(), 3);
}

TEST(AnswerReader, EveryKindOfBadSequenceIsCaught)
{
    // Overlong, surrogate, above U+10FFFF, lone continuation, cut short, five-byte lead.
    for (const QByteArray text : {QByteArray("\xc0\xaf"), QByteArray("\xed\xa0\x80"), QByteArray("\xf4\x90\x80\x80"),
                                  QByteArray("\x80"), QByteArray("\xe4\xb8"), QByteArray("\xf8\x88\x80\x80\x80")}) {
        const QByteArray body = "{\"a\":\"x" + text + "\",\"b\":\"\\\"" + text + "\"}";
        EXPECT_EQ(WithoutBadText(body), "{\"a\":null,\"b\":null}") << text.toHex().toStdString();
        QJsonObject answer;
        EXPECT_TRUE(ReadAnswerObject(body, answer)) << text.toHex().toStdString();
    }
}

TEST(AnswerReader, BrokenJsonStaysRefused)
{
    QJsonObject answer;
    EXPECT_FALSE(ReadAnswerObject("{\"code\":\"20\xff", answer));
    EXPECT_FALSE(ReadAnswerObject("[\"\xff\"]", answer)); // not an object
    EXPECT_FALSE(ReadAnswerObject("", answer));
}

} // namespace
