#pragma once
#include <QByteArray>

namespace bench {

// About 100 bytes per link, every link a new one: relative, root-relative (with a fragment) and
// absolute anchors, every eighth in single quotes (the second pass), with text around them as a
// long listing page has.
inline QByteArray SyntheticLinkPage(int links) {
    QByteArray page = "<!DOCTYPE html>\n<html><head><title>Catalogue</title></head><body><ul>\n";
    page.reserve(qsizetype(links) * 104 + 256);
    for (int i = 0; i < links; ++i) {
        const QByteArray n = QByteArray::number(i).rightJustified(7, '0');
        if (i % 8 == 7) {
            page += "<li><a class='item' href='files/single-" + n + ".zip'>Item " + n +
                    "</a> 12 KB, zip <small>2024-05-01</small></li>\n";
            continue;
        }
        switch (i % 3) {
        case 0:
            page += "<li><a class=\"item\" href=\"files/item-" + n + ".zip\">Item " + n +
                    "</a> 12 KB <small>2024-05-01</small></li>\n";
            break;
        case 1:
            page += "<li><a href=\"/archive/2024/report-" + n + ".pdf#page=2\">Report " + n +
                    "</a> PDF <small>2024-05-01</small></li>\n";
            break;
        default:
            page += "<li><a href=\"http://127.0.0.1:8080/mirror/" + n + ".tar.gz\">Mirror " + n +
                    "</a> <small>2024-05-01</small></li>\n";
            break;
        }
    }
    return page + "</ul></body></html>\n";
}

} // namespace bench
