#include "ftp/ServerFileStamp.h"

#include <gtest/gtest.h>

TEST(ServerFileStamps, OnlyAnMdtmTimeOfTheUsualShapeCounts) {
    const struct {
        int code;
        const char* text;
        const char* time; // nullptr: the server cannot tell
    } cases[] = {
        {213, "213 20240102030405", "20240102030405"},
        {213, "213 20240102030405.123", "20240102030405.123"},
        {550, "550 No such file.", nullptr},
        {213, "213 2024-01-02 03:04:05", nullptr},
        {213, "213 20240102030405.", nullptr},
        {213, "213 202401020304", nullptr},
        {213, "213 ", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<QByteArray> time =
            ServerFileStamps::modifiedOfMdtmReply(c.code, QByteArray(c.text));
        EXPECT_EQ(time.has_value(), c.time != nullptr);
        if (time && c.time) {
            EXPECT_EQ(*time, QByteArray(c.time));
        }
    }
}
