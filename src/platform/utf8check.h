#pragma once
// UTF-8 validity tests on raw bytes.
#include <QByteArrayView>

namespace hl {

// Strict UTF-8: no overlong forms, no surrogate code points, nothing above U+10FFFF, no sequence
// cut short at the end.
bool IsValidUtf8(QByteArrayView bytes);

// The guess that "Load URL List..." makes before reading a file in the ANSI code page: true when the
// first byte above 127 lies within the first 16384 bytes and starts a complete, valid UTF-8
// multi-byte sequence. A file whose first 16384 bytes are plain ASCII is not taken for UTF-8. The
// sequence may end past byte 16384 when `bytes` holds the rest.
bool LooksLikeUtf8(QByteArrayView bytes);

} // namespace hl
