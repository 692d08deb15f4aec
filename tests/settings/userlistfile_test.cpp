#include "platform/filecontents.h"
#include "settings/userlistfile.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

struct DecodeCase {
    QByteArray bytes;
    ListFileEncoding encoding;
    QStringList lines;
    LineBreak lineBreak;
    bool byteOrderMark;
};

TEST(UserListFileTest, DecodesInTheChosenEncodingAndRemembersTheFormat) {
    const DecodeCase cases[] = {
        {"a\r\nb\r\n", ListFileEncoding::Utf8, {"a", "b"}, LineBreak::CrLf, false},
        {"\xEF\xBB\xBF"
         "a\nb",
         ListFileEncoding::Utf8,
         {"a", "b"},
         LineBreak::Lf,
         true},
        {"caf\xC3\xA9\rx", ListFileEncoding::Utf8, {"caf\u00e9", "x"}, LineBreak::Cr, false},
        {"caf\xE9\x80\r\n", ListFileEncoding::Ansi, {"caf\u00e9\u20ac"}, LineBreak::CrLf, false},
        {"caf\xC3\xA9\n", ListFileEncoding::Ansi, {"caf\u00e9"}, LineBreak::Lf, false},
        // Looks like UTF-8 at the first high byte, but is not UTF-8 throughout: the code page.
        {"\xC3\xA9 \xE9", ListFileEncoding::Ansi, {"\u00c3\u00a9 \u00e9"}, LineBreak::CrLf, false},
        {"\xEF\xBB\xBF"
         "x",
         ListFileEncoding::Ansi,
         {"x"},
         LineBreak::CrLf,
         true},
        {"", ListFileEncoding::Utf8, {}, LineBreak::CrLf, false},
    };
    for (const DecodeCase& c : cases) {
        const UserListFile file = DecodeChosenListFile(c.bytes, c.encoding, QStringLiteral("x.txt"));
        EXPECT_EQ(file.lines, c.lines) << c.bytes.toHex().constData();
        EXPECT_EQ(file.format.lineBreak, c.lineBreak) << c.bytes.toHex().constData();
        EXPECT_EQ(file.format.byteOrderMark, c.byteOrderMark) << c.bytes.toHex().constData();
    }
}

TEST(UserListFileTest, InvalidUtf8UnderTheUtf8ChoiceIsAnErrorNamingTheFile) {
    try {
        DecodeChosenListFile("caf\xE9", ListFileEncoding::Utf8, QStringLiteral("/lists/a.txt"));
        FAIL() << "no error";
    } catch (const EFileError& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("/lists/a.txt"))) << error.what();
    }
}

TEST(UserListFileTest, DroppedFilesFallBackFromUtf8ToTheMarkAndTheCodePage) {
    const struct {
        QByteArray bytes;
        QStringList lines;
        bool byteOrderMark;
    } cases[] = {
        {"http://a/\xC3\xA9\n", {"http://a/\u00e9"}, false},
        {QByteArray("\xFF\xFE"
                    "a\0\n\0b\0",
                    8),
         {"a", "b"},
         true},
        {"caf\xE9", {"caf\u00e9"}, false},
        {"\xEF\xBB\xBF"
         "caf\xE9",
         {"caf\u00e9"},
         true},
    };
    for (const auto& c : cases) {
        const UserListFile file = DecodeDroppedListFile(c.bytes);
        EXPECT_EQ(file.lines, c.lines) << c.bytes.toHex().constData();
        EXPECT_EQ(file.format.byteOrderMark, c.byteOrderMark) << c.bytes.toHex().constData();
    }
}

TEST(UserListFileTest, EncodesWithTheRememberedBreaksAndMarkAndNoFinalBreak) {
    const QStringList lines{"http://a/\u00e9", "b"};
    EXPECT_EQ(EncodeUserListFile(lines, ListFileEncoding::Utf8, {}), QByteArray("http://a/\xC3\xA9\r\nb"));
    EXPECT_EQ(EncodeUserListFile(lines, ListFileEncoding::Utf8, {LineBreak::Lf, true}),
              QByteArray("\xEF\xBB\xBFhttp://a/\xC3\xA9\nb"));
    EXPECT_EQ(EncodeUserListFile(lines, ListFileEncoding::Ansi, {LineBreak::Cr, true}),
              QByteArray("http://a/\xE9\rb"));
    EXPECT_EQ(EncodeUserListFile({}, ListFileEncoding::Utf8, {}), QByteArray());
}

} // namespace
} // namespace hl
