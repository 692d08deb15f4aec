#include "engine/resumestream.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace hl {
namespace {

// What the HTTP client does with its destination: remember the start, reserve the body's length,
// write, cut back to what arrived.
void receive(TStream& stream, const QByteArray& body, qint64 announced) {
    const qint64 start = stream.Position();
    if (announced >= 0) stream.SetSize(start + announced);
    stream.Write(body);
    stream.SetSize(start + body.size());
}

TEST(ResumeTargetStream, ContinuesAPartialReplyAndRestartsAWholeOne) {
    const struct {
        const char* name;
        bool wholeBody;
        qint64 announced;
        QByteArray expected;
    } cases[] = {
        {"206 with length", false, 4, "0123456789WXYZ"},
        {"206 without length", false, -1, "0123456789WXYZ"},
        {"200 with length", true, 4, "WXYZ"},
        {"200 without length", true, -1, "WXYZ"},
    };
    for (const auto& c : cases) {
        TMemoryStream file;
        file.Write(QByteArray("0123456789abc"));
        file.Seek(10); // resume position
        ResumeTargetStream stream(file, [&](qint64 at) { return c.wholeBody ? 0 : at; });
        receive(stream, "WXYZ", c.announced);
        EXPECT_EQ(file.Data(), c.expected) << c.name;
        EXPECT_EQ(stream.StartedBeforeResumePosition(), c.wholeBody) << c.name;
    }
}

TEST(ResumeTargetStream, WritesARangeWhereItStartsAndRefusesOneThatLeavesAGap) {
    {
        TMemoryStream file;
        file.Write(QByteArray("0123456789abc"));
        file.Seek(10);
        ResumeTargetStream stream(file, [](qint64) -> qint64 { return 6; });
        receive(stream, "WXYZ", 4);
        EXPECT_EQ(file.Data(), "012345WXYZ");
    }

    TMemoryStream file;
    file.Write(QByteArray("0123456789abc"));
    file.Seek(10);
    ResumeTargetStream stream(file, [](qint64) -> qint64 { return 11; });
    try {
        receive(stream, "WXYZ", 4);
        FAIL() << "a range beyond the resume position was written";
    } catch (const EResumeRangeGap& error) {
        EXPECT_EQ(error.message(),
                  QStringLiteral("The server sent a range that does not continue the partial file."));
    }
    // The client then cuts back to where it began: the partial file stays whole, the kilobyte that
    // was asked for again included.
    stream.SetSize(stream.Position());
    EXPECT_EQ(file.Data(), "0123456789abc");
}

TEST(ResumeTargetStream, AFreshFileTakesABodyOnlyFromItsStart) {
    TMemoryStream file;
    ResumeTargetStream stream(file, [](qint64) -> qint64 { return 0; });
    receive(stream, "body", 4);
    EXPECT_EQ(file.Data(), "body");
    EXPECT_FALSE(stream.StartedBeforeResumePosition());

    // A range from further on, which a fresh download never asked for, is no file.
    TMemoryStream fresh;
    ResumeTargetStream later(fresh, [](qint64) -> qint64 { return 100; });
    EXPECT_THROW(receive(later, "body", 4), EResumeRangeGap);
    EXPECT_EQ(fresh.Size(), 0);
}

TEST(ResumeTargetStream, KeepsTheFileAtTheBytesThatArrived) {
    // A partial file is resumed from its end: a reserved but unwritten length would become a hole.
    for (const bool wholeBody : {false, true}) {
        test::TempDir dir;
        dir.write(QStringLiteral("a.part"), "0123456789");
        TFileStream file(dir.file(QStringLiteral("a.part")), TFileStream::Mode::OpenExisting);
        file.Seek(10);
        ResumeTargetStream stream(file, [&](qint64 at) { return wholeBody ? 0 : at; });
        stream.SetSize(10 + 1000);
        EXPECT_EQ(file.Size(), wholeBody ? 0 : 10) << wholeBody;
        stream.Write(QByteArray("abcd"));
        EXPECT_EQ(dir.read(QStringLiteral("a.part")),
                  wholeBody ? QByteArray("abcd") : QByteArray("0123456789abcd"))
            << wholeBody;
        stream.SetSize(stream.Position()); // the body ended early
        EXPECT_EQ(file.Size(), wholeBody ? 4 : 14) << wholeBody;
    }
}

} // namespace
} // namespace hl
