#pragma once
#include <QStringList>

namespace hl {

// The entries of the user-agent box, in order; the first one is the default user agent.
const QStringList& userAgentChoices();

} // namespace hl
