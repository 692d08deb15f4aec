#pragma once
// The text an error shows in the logs: our own errors carry their exact message, anything else
// (a standard library error) its what().
#include "platform/exception.h"

#include <QString>
#include <exception>

namespace hl {

inline QString ErrorMessage(const std::exception& error) {
    if (const auto* own = dynamic_cast<const Exception*>(&error)) return own->message();
    return QString::fromLocal8Bit(error.what());
}

} // namespace hl
