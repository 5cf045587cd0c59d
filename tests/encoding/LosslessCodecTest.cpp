#include "encoding/LosslessCodec.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

QByteArray bytesOf(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int v : values)
        bytes.append(char(v));
    return bytes;
}

TEST(LosslessCodec, DecodesCp932TextAndKatakana) {
    const QString text =
        LosslessCodec::cp932().decode(bytesOf({0x82, 0xA0, 0x41, 0xB1, 0x88, 0x9F}));
    EXPECT_EQ(text, QString::fromUtf8("あAｱ亜"));
    EXPECT_EQ(LosslessCodec::cp932().encode(text).bytes,
              bytesOf({0x82, 0xA0, 0x41, 0xB1, 0x88, 0x9F}));
}

TEST(LosslessCodec, KeepsBytesThatAreNoCharacter) {
    // 0x80, 0xA0 and 0xFD stand for nothing in CP932; a lead byte at the end has no partner.
    const QByteArray bytes = bytesOf({0x80, 0xA0, 0xFD, 0x41, 0x82});
    const QString text = LosslessCodec::cp932().decode(bytes);
    ASSERT_EQ(text.size(), 5);
    EXPECT_EQ(text.at(0).unicode(), 0xDC80);
    EXPECT_EQ(text.at(1).unicode(), 0xDCA0);
    EXPECT_EQ(text.at(2).unicode(), 0xDCFD);
    EXPECT_EQ(text.at(4).unicode(), 0xDC82);
    EXPECT_EQ(LosslessCodec::cp932().encode(text).bytes, bytes);
}

TEST(LosslessCodec, RandomBytesSurviveDecodeAndEncode) {
    QRandomGenerator random(932);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(int(random.bounded(1, 400)), Qt::Uninitialized);
        for (char& b : bytes)
            b = char(random.bounded(256));
        const EncodeResult euc =
            LosslessCodec::eucJp().encode(LosslessCodec::eucJp().decode(bytes));
        ASSERT_TRUE(euc.ok());
        ASSERT_EQ(euc.bytes, bytes) << bytes.toHex().constData();
    }
}

} // namespace
