#include "settings/inifile.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

TEST(IniFile, ReadingRules) {
    const IniImage image = IniImage::Parse(u"Orphan=ignored before any section\r\n"
                                           u"[Settings]\r\n"
                                           u"  Key = Value With Spaces  \n"
                                           u"; Commented=out\r"
                                           u"   ;Indented=comment\r\n"
                                           u"\t\r\n"
                                           u"NoEquals\r\n"
                                           u"=no key\r\n"
                                           u"Url=http://h/a=b=c\r\n"
                                           u"Empty=\r\n"
                                           u"key=duplicate keeps the first\r\n"
                                           u"[ other ]\r\n"
                                           u"Case=Exact CASE\r\n"
                                           u"[SETTINGS]\r\n"
                                           u"Later=continues the first section");

    const std::pair<const char16_t*, std::optional<QString>> settings[] = {
        {u"Key", QStringLiteral("Value With Spaces")},
        {u"KEY", QStringLiteral("Value With Spaces")},
        {u"Url", QStringLiteral("http://h/a=b=c")},
        {u"Empty", QString()},
        {u"Later", QStringLiteral("continues the first section")},
        {u"Orphan", std::nullopt},
        {u"; Commented", std::nullopt},
        {u"NoEquals", std::nullopt},
        {u"", std::nullopt},
        {u"Case", std::nullopt},
    };
    for (const auto& [key, value] : settings)
        EXPECT_EQ(image.Value(u"settings", key), value) << QString::fromUtf16(key).toStdString();
    EXPECT_EQ(image.Value(u"Other", u"case"), QStringLiteral("Exact CASE"));
}

TEST(IniFile, WritesSectionsAndKeysInFirstSetOrder) {
    IniImage image;
    image.SetValue(u"Settings", u"SaveLocation", u"/home/u/Desktop/");
    image.SetValue(u"Settings", u"ShowErrors", u"OFF");
    image.SetValue(u"Extra", u"A", u"1");
    image.SetValue(u"SETTINGS", u"saveLocation", u"/data/"); // an existing key keeps its place and spelling
    EXPECT_EQ(image.Serialize(), QByteArray("\xEF\xBB\xBF"
                                            "[Settings]\r\nSaveLocation=/data/\r\nShowErrors=OFF\r\n\r\n"
                                            "[Extra]\r\nA=1\r\n\r\n"));
    EXPECT_EQ(IniImage().Serialize(), QByteArray("\xEF\xBB\xBF"));
}

TEST(IniFile, ValuesAreStoredAsTheyWillReadBack) {
    IniImage image;
    // A line break in a value must not smuggle another key into the file.
    image.SetValue(u"Settings", u"UserAgent", u" agent\r\nMultiThreaded=ON ");
    EXPECT_EQ(image.Value(u"Settings", u"UserAgent"), QStringLiteral("agent  MultiThreaded=ON"));
    const IniImage reread = IniImage::Parse(QString::fromUtf8(image.Serialize().sliced(3)));
    EXPECT_EQ(reread.Value(u"Settings", u"UserAgent"), QStringLiteral("agent  MultiThreaded=ON"));
    EXPECT_EQ(reread.Value(u"Settings", u"MultiThreaded"), std::nullopt);
}

TEST(IniFile, IntegerValues) {
    const std::pair<const char16_t*, std::optional<int>> cases[] = {
        {u"10000", 10000},
        {u"0", 0},
        {u"-5", -5},
        {u"+7", 7},
        {u"0x10", 16},
        {u"0XfF", 255},
        {u"0x7FFFFFFF", 2147483647},
        {u"2147483647", 2147483647},
        {u"-2147483648", -2147483647 - 1},
        {u"2147483648", std::nullopt},
        {u"0x80000000", std::nullopt},
        {u"abc", std::nullopt},
        {u"", std::nullopt},
        {u"12abc", std::nullopt},
        {u"0x", std::nullopt},
        {u"0xG", std::nullopt},
        {u"1 000", std::nullopt},
        {u"-", std::nullopt},
        {u"-0x10", std::nullopt},
        {u"\u0661\u0662", std::nullopt}, // digits of another script
    };
    for (const auto& [text, number] : cases)
        EXPECT_EQ(ParseIniInteger(text), number) << QString::fromUtf16(text).toStdString();
}

} // namespace
} // namespace hl
