#pragma once
#include <QByteArray>
#include <QString>
#include <exception>

namespace hl {

// The one base class of every error this system raises. The message text is part of the
// observable behaviour: callers write it verbatim into logs and message boxes.
class Exception : public std::exception {
public:
    explicit Exception(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
    const QString& message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

} // namespace hl

// Declares an exception class that only adds a name to its base (and optionally a fixed message).
#define HL_DECLARE_EXCEPTION(Name, Base)                                                                     \
    class Name : public Base {                                                                               \
    public:                                                                                                  \
        using Base::Base;                                                                                    \
    }

#define HL_DECLARE_FIXED_EXCEPTION(Name, Base, Text)                                                         \
    class Name : public Base {                                                                               \
    public:                                                                                                  \
        Name() : Base(QStringLiteral(Text)) {}                                                               \
        using Base::Base;                                                                                    \
    }
