#include "ReqLib32.h"

#include <gtest/gtest.h>

TEST(ReqLib32, PadLeftFillsButNeverCuts) {
    EXPECT_EQ(PadLeft("7", 3, u'0'), "007");
    EXPECT_EQ(PadLeft("7000", 5, u' '), " 7000");
    EXPECT_EQ(PadLeft("144300", 5, u' '), "144300");
    EXPECT_EQ(PadLeft("", 2, u'0'), "00");
}

TEST(ReqLib32, NumericTextIsDigitsCommasMinusesAndPoints) {
    EXPECT_TRUE(IsNumericText("700"));
    EXPECT_TRUE(IsNumericText("-5.5"));
    EXPECT_TRUE(IsNumericText("1,000"));
    EXPECT_FALSE(IsNumericText(""));
    EXPECT_FALSE(IsNumericText("+7"));
    EXPECT_FALSE(IsNumericText("7 "));
    EXPECT_FALSE(IsNumericText("abc"));
}

TEST(ReqLib32, DigitsUpperCaseAndTruth) {
    EXPECT_EQ(DigitsOnly("14.074,5 MHz"), "140745");
    EXPECT_EQ(DigitsOnly("MHz"), "0");
    EXPECT_EQ(DigitsOnly(""), "0");
    EXPECT_EQ(UpperText(QString::fromUtf8("on-line, ärger")), QString::fromUtf8("ON-LINE, ÄRGER"));
    EXPECT_EQ(BoolToText(true), "TRUE");
    EXPECT_EQ(BoolToText(false), "FALSE");
}
