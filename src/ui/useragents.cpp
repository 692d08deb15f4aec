#include "ui/useragents.h"

#include "protocols/httprequest.h"

namespace hl {

const QStringList& userAgentChoices() {
    static const QStringList choices{
        QStringLiteral("Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
                       "Chrome/100.0.4896.127 Safari/537.36"),
        QStringLiteral(
            "Mozilla/5.0 (Windows NT 6.1) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/41.0.2228.0 "
            "Safari/537.36"),
        QStringLiteral("Mozilla/5.0 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)"),
        QStringLiteral("Mozilla/5.0 (compatible; bingbot/2.0; +http://www.bing.com/bingbot.htm)"),
        QStringLiteral("Mozilla/5.0 (compatible; Yahoo! Slurp; http://help.yahoo.com/help/us/ysearch/slurp)"),
        // The HTTP client's own agent, which a new client sends before anyone sets one.
        TIdHTTPRequest().UserAgent,
    };
    return choices;
}

} // namespace hl
