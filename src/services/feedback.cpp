#include "services/feedback.h"

namespace hl {

QString FeedbackText(Opinion opinion, const QString& message) {
    switch (opinion) {
    case Opinion::Like:
        return QStringLiteral("I like it!\r") + message;
    case Opinion::Dislike:
        return QStringLiteral("I dislike it!\r") + message;
    case Opinion::None:
        break;
    }
    return message;
}

QStringList FeedbackFields(const ProgramIdentity& identity, const QString& feedbackText,
                           const QString& emailAddress) {
    QStringList fields = {
        QStringLiteral("cmd=feedback"), QStringLiteral("appname=") + identity.applicationTitle,
        QStringLiteral("version=") + identity.versionText, QStringLiteral("feedback=") + feedbackText};
    if (!emailAddress.isEmpty()) fields << QStringLiteral("email=") + emailAddress;
    return fields;
}

bool SendFeedback(const MakerServer& server, const QStringList& fields) {
    const std::optional<QString> answer =
        PostToMakerServer(server, kFeedbackPath, fields, kFeedbackTimeoutMs);
    return answer && answer->trimmed() == QLatin1String("OK");
}

} // namespace hl
