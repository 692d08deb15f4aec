#pragma once
// The identifier of this machine that the program may send to its maker. The system's own machine
// id never leaves the machine: only a keyed hash of it, specific to this program, is given out.
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace hl {

// The program's identifier for the machine whose machine id is `machineId` (surrounding white space
// ignored): an HMAC-SHA-256 keyed with the id over this program's name, its first 16 bytes written
// as lower-case hexadecimal in the groups 8-4-4-4-12. Empty for an empty id. Pure.
QString MachineIdentifierFor(QByteArrayView machineId);

// The identifier of this machine, from the first of `idFiles` that can be read and holds an id;
// empty when none does. Blocks for the file reads.
QString MachineIdentifier(const QStringList& idFiles = {QStringLiteral("/etc/machine-id"),
                                                        QStringLiteral("/var/lib/dbus/machine-id")});

} // namespace hl
