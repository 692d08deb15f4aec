#pragma once
// The form posts of the maker services (the update check and the feedback): one short
// application/x-www-form-urlencoded request, one short text answer.
#include "platform/exception.h"
#include "services/makerserver.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace hl {

// The maker's answers are a few short lines; a longer reply is refused rather than held in memory.
inline constexpr qint64 kFormReplyLimit = 64 * 1024;

HL_DECLARE_FIXED_EXCEPTION(EFormReplyTooLarge, Exception, "The server's reply is larger than 64 KiB.");

// Cancels a post in progress when it returns true (asked about every 100 ms while the post waits
// for the server); the post then fails.
using PostAbortCheck = std::function<bool()>;

// Posts `fields` ("name=value" lines; names and values are sent UTF-8 and percent-encoded) to
// `url` with connect and read time-outs of timeoutMs each, and returns the reply body as text in
// its character set. For an "https://" URL (any letter case) the request says "Connection: close"
// and a reply with an error status is an answer like any other: its body is returned. For any
// other URL an error status throws EIdHTTPProtocolException. Throws the client's errors, and
// EFormReplyTooLarge for a body beyond kFormReplyLimit. Blocks the calling thread.
QString PostForm(const QString& url, const QStringList& fields, int timeoutMs,
                 std::shared_ptr<const HostResolver> resolver, const PostAbortCheck& shouldAbort = {});

// PostForm to the server's "https://" address of `path`, and when that throws, to its "http://"
// address. The answer of the attempt that succeeded; nothing when both threw.
std::optional<QString> PostToMakerServer(const MakerServer& server, const QString& path,
                                         const QStringList& fields, int timeoutMs,
                                         const PostAbortCheck& shouldAbort = {});

} // namespace hl
