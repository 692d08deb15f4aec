#include "platform/streams.h"
#include "support/tempdir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool canReserveBlocks(const test::TempDir& dir) {
    const int probe =
        ::open(dir.file(QStringLiteral("probe")).toLocal8Bit().constData(), O_CREAT | O_RDWR, 0644);
    const bool supported = ::fallocate(probe, 0, 0, 4096) == 0;
    ::close(probe);
    return supported;
}

qint64 allocatedBytes(const QString& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.toLocal8Bit().constData(), &info), 0);
    return static_cast<qint64>(info.st_blocks) * 512;
}

TEST(Streams, AFileReservesItsBlocksWhenExtendedOrBeyondItsEnd) {
    test::TempDir dir;
    if (!canReserveBlocks(dir)) GTEST_SKIP() << "this file system cannot reserve blocks";
    constexpr qint64 kSize = 8 << 20;
    const QString grownPath = dir.file(QStringLiteral("grown.part"));
    TFileStream grown(grownPath, TFileStream::Mode::Create);
    grown.SetSize(kSize);
    EXPECT_EQ(grown.Size(), kSize);
    // A sparse extension would hold no blocks; reserved space is allocated up front.
    EXPECT_GE(allocatedBytes(grownPath), kSize);

    const QString reservedPath = dir.file(QStringLiteral("reserved.part"));
    TFileStream reserved(reservedPath, TFileStream::Mode::Create);
    reserved.Write("abc");
    reserved.ReserveSpace(kSize);
    EXPECT_EQ(reserved.Size(), 3); // a killed transfer leaves only what was written
    EXPECT_GE(allocatedBytes(reservedPath), kSize);
    reserved.SetSize(3); // setting the size gives the rest back
    EXPECT_LT(allocatedBytes(reservedPath), kSize);
    EXPECT_EQ(dir.read(QStringLiteral("reserved.part")), QByteArray("abc"));
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
