#pragma once
// How the program describes the system it runs on to its maker.
#include <QLocale>
#include <QString>

namespace hl {

// The operating system's product name and version, its kernel and build, and whether it is a
// 32-bit or a 64-bit system, for example
// "Debian GNU/Linux 12 (bookworm), linux 6.1.0-18-amd64, 64-bit".
QString OperatingSystemText();

// The language and region tag of `locale` ("de-AT", "en-US"); "xx" when it names no language
// (the C locale). Pure.
QString LocaleTag(const QLocale& locale);

// LocaleTag of the user's default locale.
QString UserLocaleTag();

} // namespace hl
