// libFuzzer target for the files the settings folder holds, which a user may edit or replace by
// hand: settings.ini (decoding and the INI reading rules), list.txt and proxylist.txt (byte-order
// marks, UTF-8, UTF-16, the ANSI fallback and line splitting), and the numbers of settings.ini.
//
// Besides crashes it checks what must hold for every input: a decoded text file loses no line, the
// INI image reads back the same after a rewrite, and a rewritten proxy list reads back unchanged.
#include "platform/textencoding.h"
#include "platform/utf8check.h"
#include "settings/inifile.h"
#include "settings/listfiles.h"
#include "settings/textlines.h"

#include <cstdlib>

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

void checkIniRoundTrip(const QString& text) {
    const hl::IniImage image = hl::IniImage::Parse(text);
    const QByteArray bytes = image.Serialize();
    require(hl::IsValidUtf8(bytes));
    const hl::IniImage reread = hl::IniImage::Parse(hl::DecodeTextFile(bytes).text);
    require(reread.Serialize() == bytes);
}

void checkProxyListRoundTrip(const QByteArray& bytes) {
    const hl::DecodedTextFile file = hl::DecodeTextFile(bytes);
    hl::TextFileStyle style;
    style.encoding = file.encoding == hl::TextEncoding::Ansi ? hl::TextEncoding::Utf8 : file.encoding;
    style.byteOrderMark = file.byteOrderMark;
    style.lineBreak = hl::DetectLineBreak(file.text);
    const QString editorText = hl::ReplaceLineBreaks(file.text, hl::LineBreak::Lf);
    const QByteArray saved = hl::ProxyListFileBytes(editorText, style);
    require(hl::ReplaceLineBreaks(hl::DecodeTextFile(saved).text, hl::LineBreak::Lf) == editorText);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const hl::DecodedTextFile file = hl::DecodeTextFile(bytes);
    require(file.encoding != hl::TextEncoding::Utf8 ||
            hl::IsValidUtf8(bytes.sliced(file.byteOrderMark ? 3 : 0)));
    hl::LooksLikeUtf8(bytes);

    const QStringList lines = hl::SplitLines(file.text);
    require(hl::SplitLines(hl::TerminateLines(file.text, hl::LineBreak::CrLf)) == lines);
    require(hl::SplitLines(hl::DecodeTextFile(hl::UrlListFileBytes(file.text)).text) == lines);

    checkIniRoundTrip(file.text);
    checkProxyListRoundTrip(bytes);
    hl::ParseIniInteger(file.text);
    return 0;
}
