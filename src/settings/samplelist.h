#pragma once
// The sample list that fills the URL list on an empty first start.
#include <QStringList>

namespace hl {

// Three HTTPS URLs of a public media repository's redirect path, in this order: an example photo,
// a logo drawing and a sound file.
QStringList SampleUrls();

} // namespace hl
