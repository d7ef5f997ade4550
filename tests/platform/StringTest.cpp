#include "platform/String.h"

#include <QString>
#include <gtest/gtest.h>

TEST(CStringGbk, DegreeSignIsTwoGbkBytes) {
    CString degree = GBK("°");
    ASSERT_EQ(degree.GetLength(), 2);
    EXPECT_EQ(static_cast<unsigned char>(degree[0]), 0xA1);
    EXPECT_EQ(static_cast<unsigned char>(degree[1]), 0xE3);
    EXPECT_EQ(degree.ToUnicode(), QString::fromUtf8("°"));
}

TEST(CStringGbk, ChineseRoundTripsThroughUnicode) {
    CString caption = GBK("停 止");
    EXPECT_EQ(caption.GetLength(), 5); // two 2-byte characters and a blank
    EXPECT_EQ(CString::FromUnicode(caption.ToUnicode()), caption);
    EXPECT_EQ(caption.ToUtf8(), "停 止");
}

TEST(CStringGbk, UnconvertibleTextBecomesQuestionMarks) {
    CString str = CString::FromUtf8("a\xF0\x9F\x98\x80"
                                    "b"); // an emoji has no GBK form
    EXPECT_EQ(str.GetAt(0), 'a');
    EXPECT_EQ(str.GetAt(str.GetLength() - 1), 'b');
    EXPECT_NE(str.Find('?'), -1);
}

TEST(CStringOps, FindMidDeleteClampLikeTheFramework) {
    CString s("$GPGGA,123519,4807.038,N");
    EXPECT_EQ(s.Find(','), 6);
    EXPECT_EQ(s.Find(',', 7), 13);
    EXPECT_EQ(s.Find("GGA"), 3);
    EXPECT_EQ(s.Find("GGA", 4), -1);
    EXPECT_EQ(s.Find(',', 100), -1);
    EXPECT_EQ(s.Mid(1, 5), "GPGGA");
    EXPECT_EQ(s.Mid(-3, 2), "$G");
    EXPECT_EQ(s.Mid(20, 100), "38,N");
    EXPECT_EQ(s.Mid(100, 2), "");
    EXPECT_EQ(s.Left(-1), "");
    EXPECT_EQ(s.Right(3), "8,N");
    CString t("abcdef");
    EXPECT_EQ(t.Delete(4, 100), 4);
    EXPECT_EQ(t, "abcd");
    EXPECT_EQ(t.Delete(-2, 1), 3);
    EXPECT_EQ(t, "bcd");
    EXPECT_EQ(t.Delete(10, 1), 3);
}

TEST(CStringOps, FormatBuildsLongTextsInFull) {
    CString s;
    s.Format("%d :%s", 7, "59");
    EXPECT_EQ(s, "7 :59");
    std::string big(5000, 'x');
    s.Format("<%s>", big.c_str());
    EXPECT_EQ(s.GetLength(), 5002);
}
