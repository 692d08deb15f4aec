#pragma once
// The feedback sender's request: the fields it posts and what counts as received.
#include "services/makerserver.h"
#include "services/postform.h"
#include "services/versioninfo.h"

#include <QString>
#include <QStringList>

namespace hl {

inline constexpr QLatin1String kFeedbackPath("/php/feedback.php");
inline constexpr int kFeedbackTimeoutMs = 3000;

enum class Opinion { None, Like, Dislike };

// The feedback field: "I like it!" or "I dislike it!" and one carriage return when an opinion was
// chosen, then the message. Pure.
QString FeedbackText(Opinion opinion, const QString& message);

// "cmd=feedback", "appname=", "version=", "feedback=" and, only for a non-empty address,
// "email=", in this order. Pure.
QStringList FeedbackFields(const ProgramIdentity& identity, const QString& feedbackText,
                           const QString& emailAddress);

// Posts the fields to the server's feedback form, over https and, when that fails, over http,
// each with kFeedbackTimeoutMs. True only for the answer "OK" (white space around it ignored).
// Blocks the calling thread; never throws.
bool SendFeedback(const MakerServer& server, const QStringList& fields);

} // namespace hl
