#include "platform/streams.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

// Both kinds behave alike: write at the position, extend with zeros, cut back.
template <typename Make> void checkStreamRules(Make make) {
    auto stream = make();
    stream->Write("abcdef");
    stream->Seek(2);
    stream->Write("XY");
    EXPECT_EQ(stream->Position(), 4);
    stream->SetSize(10); // reserve: the position stays
    EXPECT_EQ(stream->Size(), 10);
    EXPECT_EQ(stream->Position(), 4);
    stream->SetSize(3); // cut back: the position follows the end
    EXPECT_EQ(stream->Position(), 3);
    stream->Write("!");
    EXPECT_EQ(stream->Size(), 4);
}

TEST(Streams, MemoryStreamFollowsTheStreamRules) {
    checkStreamRules([] { return std::make_unique<TMemoryStream>(); });
}

TEST(Streams, FileStreamFollowsTheStreamRulesAndKeepsBytesOnReopen) {
    test::TempDir dir;
    const QString path = dir.file(QStringLiteral("f.part"));
    checkStreamRules([&] { return std::make_unique<TFileStream>(path, TFileStream::Mode::Create); });
    EXPECT_EQ(dir.read(QStringLiteral("f.part")), QByteArray("abX!"));
    TFileStream reopened(path, TFileStream::Mode::OpenExisting);
    EXPECT_EQ(reopened.Size(), 4);
}

TEST(Streams, FileErrorsNameTheFileAndTheReason) {
    test::TempDir dir;
    try {
        TFileStream s(dir.file(QStringLiteral("missing/x")), TFileStream::Mode::Create);
        FAIL();
    } catch (const EStreamError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("missing/x"))) << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("No such file or directory"))) << e.what();
    }
}

} // namespace
} // namespace hl
