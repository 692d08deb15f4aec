#include "platform/machineid.h"

#include "platform/filecontents.h"

#include <QMessageAuthenticationCode>

namespace hl {
namespace {

// A machine id is 32 hexadecimal digits and a line end; anything much longer is not one.
constexpr qint64 kMachineIdFileLimit = 4096;

// Names this program, so that its identifier cannot be matched with another program's.
constexpr char kApplicationKey[] = "LUMBRIX Harvestline machine identifier";

} // namespace

QString MachineIdentifierFor(QByteArrayView machineId) {
    const QByteArray id = machineId.trimmed().toByteArray();
    if (id.isEmpty()) return {};
    const QByteArray digest =
        QMessageAuthenticationCode::hash(kApplicationKey, id, QCryptographicHash::Sha256).first(16).toHex();
    return QString::fromLatin1(digest.first(8) + '-' + digest.sliced(8, 4) + '-' + digest.sliced(12, 4) +
                               '-' + digest.sliced(16, 4) + '-' + digest.sliced(20, 12));
}

QString MachineIdentifier(const QStringList& idFiles) {
    for (const QString& file : idFiles) {
        try {
            const QString identifier = MachineIdentifierFor(ReadFileContents(file, kMachineIdFileLimit));
            if (!identifier.isEmpty()) return identifier;
        } catch (const EFileError&) {
            // The next place may have it.
        }
    }
    return {};
}

} // namespace hl
