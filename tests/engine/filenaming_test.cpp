#include "engine/filenaming.h"

#include <gtest/gtest.h>
#include <iterator>

namespace hl {
namespace {

struct UrlNameCase {
    const char* url;
    bool fullUrl;
    bool includeParams;
    const char* expected;
};

TEST(FileNameFromURL, DerivesTheNamesOfTheTable) {
    const UrlNameCase cases[] = {
        {"http://h/dir/My%20File.zip?x=1", false, false, "My File.zip"},
        {"http://h/dir/My%20File.zip?x=1", false, true, "My File.zip-x-1"},
        {"http://h/d/", false, false, "http-h-d"},
        {"http://h/", false, false, "http-h"},
        {"http://h/caf\u00e9.pdf", false, false, "caf-.pdf"},
        {"http://h/a/b.zip", true, false, "http-h-a-b.zip"},
        {"http://h/a/b.zip?q=1/2", false, true, "2"},
        {"http://h/-a-", false, false, "-a-"}, // 3 characters keep their hyphens
        {"http://h/-ab-", false, false, "ab"}, // 4 drop both
        {"http://h/x%2Fy.bin", false, false, "x-2Fy.bin"},
        {"http://h/a%20%20b", false, false, "a  b"}, // spaces are allowed and stay
        {"http://h/name(1)[2].txt", false, false, "name-1-2-.txt"},
        {"http://h/  spaced  ", false, false, "spaced"},
        // "." and ".." name folders, so the whole URL names the file as for an empty element.
        {"http://h/d/..", false, false, "http-h-d-.."},
        {"http://h/d/.?x=1", false, false, "http-h-d-."},
        {"http://h/d/..?x", false, true, "..-x"},
        // Dots left between dropped characters, or a bare "..", never name a file either.
        {"http://h/\u00e9..\u00e9", false, false, "-"},
        {"..", true, false, "-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileNameFromURL(QString::fromUtf8(c.url), c.fullUrl, c.includeParams),
                  QString::fromUtf8(c.expected))
            << c.url;
}

TEST(FileNameFromURL, CutsLongNamesTo200Characters) {
    const QString name =
        FileNameFromURL(QStringLiteral("http://h/") + QString(300, QLatin1Char('a')), false, false);
    EXPECT_EQ(name, QString(200, QLatin1Char('a')));
}

TEST(FileNameFromContentDisposition, ProposesTheNamesOfTheTable) {
    const std::pair<const char*, const char*> cases[] = {
        {"attachment; filename=\"report 2024.pdf\"", "report 2024.pdf"},
        {"attachment; filename*=UTF-8''r%C3%A9sum%C3%A9.pdf", "r%C3%A9sum%C3%A9.pdf"},
        {"attachment; filename*=UTF-8''ext.pdf; filename=\"plain.pdf\"", "ext.pdf"},
        {"attachment; filename=\"plain.pdf\"; filename*=UTF-8''ext.pdf", "ext.pdf"},
        {"attachment; FILENAME=Upper.bin", "Upper.bin"},
        {"attachment; filename=\"a;b.pdf\"", "a"},
        {"inline", ""},
        {"attachment; filename=\"C:/x/y.txt\"", "C x y.txt"},
        {"attachment; filename=\"../../etc/passwd\"", ".. .. etc passwd"},
        {"attachment; filename=  \"  padded.txt \"  ", "padded.txt"},
        {"attachment; filename=", ""},
        // Names of folders, and what sanitizes to nothing, propose no file.
        {"attachment; filename=\"..\"", ""},
        {"attachment; filename=\".\"", ""},
        {"attachment; filename*=UTF-8''..", ""},
        {"attachment; filename=\"/\"", ""},
        {"attachment; filename=\"./\"", ""},
        {"attachment; filename=\"...\"", "..."},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(FileNameFromContentDisposition(QString::fromUtf8(value)), QString::fromUtf8(expected))
            << value;
}

TEST(SanitizeFileName, TurnsForbiddenCharactersIntoSpacesAndHalvesSpaceRuns) {
    const std::pair<const char*, const char*> cases[] = {
        {"a\"*+,/:;<=>?[\\]^|b", "a        b"}, // 16 spaces, halved by the one pass
        {"x  y", "x y"},
        {"x   y", "x  y"},
        {"x    y", "x  y"},
        {".jpg", ".jpg"},
        {" :.png ", ".png"},
        {"\u00e9\u4e2d", "\u00e9\u4e2d"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(SanitizeFileName(QString::fromUtf8(text)), QString::fromUtf8(expected)) << text;
    // Control characters go the same way, NUL and DEL included.
    const char16_t controls[] = u"\ta\rb\nc\0d\u007fe.txt\u001b";
    EXPECT_EQ(SanitizeFileName(QStringView(controls, qsizetype(std::size(controls)) - 1).toString()),
              QStringLiteral("a b c d e.txt"));
}

TEST(SanitizeFileName, KeepsLongNamesWithinWhatTheFileSystemTakes) {
    // Cut to 200 bytes of UTF-8, never inside a character: 2-, 3- and 4-byte characters.
    const struct {
        QString text;
        qsizetype characters;
    } cases[] = {
        {QString(300, QLatin1Char('a')), 200},
        {QString(150, QChar(0x00e9)), 100},
        {QString(150, QChar(0xfffd)), 66},
        {QString::fromUtf8("\U0001F600").repeated(60), 100}, // 50 characters, each 2 UTF-16 units
    };
    for (const auto& c : cases) {
        const QString name = SanitizeFileName(c.text);
        EXPECT_EQ(name.size(), c.characters) << c.characters;
        EXPECT_TRUE(c.text.startsWith(name)) << c.characters;
        EXPECT_EQ(QString::fromUtf8(name.toUtf8()), name) << c.characters; // no broken character
    }
}

TEST(TextAfterAndBefore, FindTheMarkerWithOrWithoutCase) {
    EXPECT_EQ(TextAfter(QStringLiteral("a FileName=x"), QStringLiteral("filename="), false),
              QStringLiteral("x"));
    EXPECT_EQ(TextAfter(QStringLiteral("a FileName=x"), QStringLiteral("filename="), true), QString());
    EXPECT_EQ(TextBefore(QStringLiteral("Abc;Def"), QStringLiteral(";"), false), QStringLiteral("Abc"));
    EXPECT_EQ(TextBefore(QStringLiteral("Abc"), QStringLiteral(";"), false), QString());
    // Lower-casing must not shift positions: U+0130 lower-cases to two characters in full mapping.
    EXPECT_EQ(TextAfter(QStringLiteral("\u0130\u0130 NAME=v"), QStringLiteral("name="), false),
              QStringLiteral("v"));
}

} // namespace
} // namespace hl
