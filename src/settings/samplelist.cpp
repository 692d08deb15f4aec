#include "settings/samplelist.h"

namespace hl {

QStringList SampleUrls() {
    const QString redirect = QStringLiteral("https://commons.wikimedia.org/wiki/Special:Redirect/file/");
    return {redirect + QStringLiteral("Example.jpg"), redirect + QStringLiteral("Wikipedia-logo-v2.svg"),
            redirect + QStringLiteral("En-us-Wikipedia.ogg")};
}

} // namespace hl
