#include "cli/commandline.h"

#include "cli/settingsfile.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <limits>

namespace hl::cli {

namespace {

// The scheduler's longest delay, as the window's Scheduler dialog allows it.
constexpr int kLongestDelaySeconds = 999999999;

int integerValue(const QCommandLineParser& parser, const QString& name, int minimum,
                 int maximum = std::numeric_limits<int>::max()) {
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < minimum || value > maximum)
        throw UsageError(QStringLiteral("invalid value for --%1: \"%2\"").arg(name, parser.value(name)));
    return value;
}

QCommandLineOption valueOption(const QStringList& names, const QString& valueName) {
    return QCommandLineOption(names, QString(), valueName);
}

// An on/off flag and its counterpart: a settings file can switch an option either way, so the
// command line must be able to switch it back. When both are given, the later one wins.
struct SwitchFlag {
    const char* on;
    const char* off;
    bool& (*field)(CommandLine&);
};

const SwitchFlag kSwitchFlags[] = {
    {"classic", "no-classic", [](CommandLine& c) -> bool& { return c.run.classicEngine; }},
    {"csv", "no-csv", [](CommandLine& c) -> bool& { return c.options.treatAsCsv; }},
    {"overwrite", "no-overwrite", [](CommandLine& c) -> bool& { return c.options.overwrite; }},
    {"full-url", "no-full-url", [](CommandLine& c) -> bool& { return c.options.fullUrl; }},
    {"include-params", "no-include-params", [](CommandLine& c) -> bool& { return c.options.includeParams; }},
    {"skip-existing", "no-skip-existing", [](CommandLine& c) -> bool& { return c.options.skipExisting; }},
    {"resume", "no-resume", [](CommandLine& c) -> bool& { return c.options.resumePartial; }},
    {"server-name", "no-server-name", [](CommandLine& c) -> bool& { return c.options.serverProposedName; }},
    {"compression", "no-compression", [](CommandLine& c) -> bool& { return c.options.zlibCompression; }},
    {"strict-tls", "no-strict-tls", [](CommandLine& c) -> bool& { return c.options.strictTls; }},
};

void applySwitchFlags(const QCommandLineParser& parser, CommandLine& result) {
    for (const QString& name : parser.optionNames()) {
        for (const SwitchFlag& flag : kSwitchFlags) {
            if (name == QLatin1String(flag.on)) flag.field(result) = true;
            if (name == QLatin1String(flag.off)) flag.field(result) = false;
        }
    }
}

// --progress and --no-progress: of the two, the later wins.
ProgressChoice progressChoice(const QCommandLineParser& parser, ProgressChoice choice) {
    for (const QString& name : parser.optionNames()) {
        if (name == QLatin1String("progress")) choice = ProgressChoice::Shown;
        if (name == QLatin1String("no-progress")) choice = ProgressChoice::Hidden;
    }
    return choice;
}

GrabScope grabScopeValue(const QString& text) {
    if (text == QLatin1String("all")) return GrabScope::AllDomainNames;
    if (text == QLatin1String("domain")) return GrabScope::DomainName;
    if (text == QLatin1String("host")) return GrabScope::SubdomainNameOnly;
    throw UsageError(QStringLiteral("invalid value for --scope: \"%1\" (all, domain or host)").arg(text));
}

void applyGrabOptions(const QCommandLineParser& parser, CommandLine& result) {
    const bool grab = parser.isSet(QStringLiteral("grab"));
    if (!grab) {
        if (parser.isSet(QStringLiteral("contains")) || parser.isSet(QStringLiteral("scope")))
            throw UsageError(QStringLiteral("--contains and --scope need --grab"));
        return;
    }
    result.grabUrl = parser.value(QStringLiteral("grab"));
    if (result.grabUrl.trimmed().isEmpty()) throw UsageError(QStringLiteral("Please enter URL!"));
    if (!result.urls.isEmpty())
        throw UsageError(QStringLiteral("--grab takes its one URL, and no further URL arguments"));
    result.grabContains = parser.value(QStringLiteral("contains"));
    if (parser.isSet(QStringLiteral("scope")))
        result.grabScope = grabScopeValue(parser.value(QStringLiteral("scope")));
}

// --ca-file names the authorities that strict verification trusts; a file that cannot be read
// would fail every https URL, so it is refused before the run.
void applyCaFile(const QCommandLineParser& parser, CommandLine& result) {
    if (!parser.isSet(QStringLiteral("ca-file"))) return;
    const QString file = parser.value(QStringLiteral("ca-file"));
    if (!result.options.strictTls) throw UsageError(QStringLiteral("--ca-file needs --strict-tls"));
    if (!QFileInfo(file).isFile() || !QFileInfo(file).isReadable())
        throw UsageError(QStringLiteral("--ca-file: cannot read \"%1\"").arg(file));
    result.options.caFile = file;
}

} // namespace

CommandLine DefaultCommandLine() {
    CommandLine defaults;
    defaults.options.saveFolder = QDir::currentPath();
    return defaults;
}

CommandLine ParseCommandLine(const QStringList& arguments, const CommandLine& defaults) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.addOptions({
        valueOption({QStringLiteral("i"), QStringLiteral("input")}, QStringLiteral("FILE")),
        valueOption({QStringLiteral("d"), QStringLiteral("dir")}, QStringLiteral("DIR")),
        valueOption({QStringLiteral("j"), QStringLiteral("jobs")}, QStringLiteral("N")),
        valueOption({QStringLiteral("settings")}, QStringLiteral("FILE")),
        valueOption({QStringLiteral("ext")}, QStringLiteral("TEXT")),
        valueOption({QStringLiteral("user-agent")}, QStringLiteral("TEXT")),
        valueOption({QStringLiteral("connect-timeout")}, QStringLiteral("MS")),
        valueOption({QStringLiteral("read-timeout")}, QStringLiteral("MS")),
        valueOption({QStringLiteral("proxy-list")}, QStringLiteral("FILE")),
        valueOption({QStringLiteral("proxy-type")}, QStringLiteral("TYPE")),
        valueOption({QStringLiteral("log")}, QStringLiteral("FILE")),
        valueOption({QStringLiteral("error-log")}, QStringLiteral("FILE")),
        valueOption({QStringLiteral("wait")}, QStringLiteral("SECONDS")),
        valueOption({QStringLiteral("every")}, QStringLiteral("SECONDS")),
        QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}),
        QCommandLineOption(QStringList{QStringLiteral("version")}),
        QCommandLineOption(QStringList{QStringLiteral("q"), QStringLiteral("quiet")}),
        QCommandLineOption(QStringLiteral("progress")),
        QCommandLineOption(QStringLiteral("no-progress")),
    });
    parser.addOptions({
        valueOption({QStringLiteral("grab")}, QStringLiteral("URL")),
        valueOption({QStringLiteral("contains")}, QStringLiteral("TEXT")),
        valueOption({QStringLiteral("scope")}, QStringLiteral("SCOPE")),
    });
    parser.addOption(valueOption({QStringLiteral("ca-file")}, QStringLiteral("FILE")));
    for (const SwitchFlag& flag : kSwitchFlags)
        parser.addOptions(
            {QCommandLineOption(QLatin1String(flag.on)), QCommandLineOption(QLatin1String(flag.off))});
    if (!parser.parse(QStringList{QStringLiteral("harvestline-cli")} + arguments))
        throw UsageError(parser.errorText());

    CommandLine result = parser.isSet(QStringLiteral("settings"))
                             ? ApplySettingsFile(parser.value(QStringLiteral("settings")), defaults)
                             : defaults;
    if (parser.isSet(QStringLiteral("help"))) result.help = true;
    if (parser.isSet(QStringLiteral("version"))) result.version = true;
    DownloadOptions& o = result.options;
    if (parser.isSet(QStringLiteral("input"))) result.inputFile = parser.value(QStringLiteral("input"));
    if (parser.isSet(QStringLiteral("dir"))) o.saveFolder = parser.value(QStringLiteral("dir"));
    if (parser.isSet(QStringLiteral("jobs"))) {
        const int jobs = integerValue(parser, QStringLiteral("jobs"), 0);
        result.run.multiThreaded = jobs != 1;
        result.run.multiThreads = jobs == 1 ? 0 : jobs;
    }
    applySwitchFlags(parser, result);
    if (parser.isSet(QStringLiteral("ext"))) o.extension = parser.value(QStringLiteral("ext"));
    if (parser.isSet(QStringLiteral("user-agent"))) o.userAgent = parser.value(QStringLiteral("user-agent"));
    if (parser.isSet(QStringLiteral("connect-timeout")))
        o.connectTimeoutMs = integerValue(parser, QStringLiteral("connect-timeout"), -1);
    if (parser.isSet(QStringLiteral("read-timeout")))
        o.readTimeoutMs = integerValue(parser, QStringLiteral("read-timeout"), -1);
    if (parser.isSet(QStringLiteral("proxy-list")))
        result.proxyListFile = parser.value(QStringLiteral("proxy-list"));
    if (parser.isSet(QStringLiteral("proxy-type"))) {
        const auto type = proxyTypeFromScheme(parser.value(QStringLiteral("proxy-type")).toLower());
        if (!type)
            throw UsageError(
                QStringLiteral("invalid value for --proxy-type: \"%1\" (http, socks5, socks4a or socks4)")
                    .arg(parser.value(QStringLiteral("proxy-type"))));
        result.run.proxyType = *type;
    }
    if (parser.isSet(QStringLiteral("log"))) result.logFile = parser.value(QStringLiteral("log"));
    if (parser.isSet(QStringLiteral("error-log")))
        result.errorLogFile = parser.value(QStringLiteral("error-log"));
    if (parser.isSet(QStringLiteral("wait")))
        result.waitSeconds = integerValue(parser, QStringLiteral("wait"), 0, kLongestDelaySeconds);
    if (parser.isSet(QStringLiteral("every")))
        result.everySeconds = integerValue(parser, QStringLiteral("every"), 1, kLongestDelaySeconds);
    if (result.waitSeconds > 0 && result.run.multiThreaded)
        throw UsageError(QStringLiteral("--wait pauses only a sequential run (-j 1)"));
    applyCaFile(parser, result);
    if (parser.isSet(QStringLiteral("quiet"))) result.quiet = true;
    result.progress = progressChoice(parser, result.progress);
    result.urls += parser.positionalArguments();
    applyGrabOptions(parser, result);
    return result;
}

QString HelpText() {
    return QStringLiteral(
        "Usage: harvestline-cli [OPTIONS] [URL...]\n"
        "Downloads every URL of a list into a folder, as the window's DOWNLOAD ALL does.\n"
        "\n"
        "  -i, --input FILE         URL list, one line per URL as in the URL editor ('-' = standard input);\n"
        "                           URLs given as arguments follow the list's lines\n"
        "  -d, --dir DIR            save folder (default: the current folder), created and write-probed\n"
        "  -j, --jobs N             1 (default): sequential run; N > 1: parallel run with N;\n"
        "                           0: parallel with the automatic count\n"
        "      --classic            classic pool engine for parallel runs (default: the task engine)\n"
        "      --csv                treat the list as CSV: \"URL,folder\" saves into that folder\n"
        "      --overwrite          replace existing files instead of numbering new ones\n"
        "      --full-url           name files from the whole URL\n"
        "      --include-params     keep the URL's query in the file name\n"
        "      --no-skip-existing   fetch URLs whose file already exists\n"
        "      --no-resume          start over instead of continuing .part files\n"
        "      --no-server-name     do not ask the server for a file name (no HEAD request)\n"
        "      --no-compression     do not accept gzip or deflate replies\n"
        "      --ext TEXT           append TEXT to every file name (type \".jpg\" for a .jpg suffix)\n"
        "      --user-agent TEXT    User-Agent header\n"
        "      --connect-timeout MS\n"
        "                           connection time-out (default 10000; 0 or -1: none)\n"
        "      --read-timeout MS    response time-out (default 10000; 0 or -1: none)\n"
        "      --strict-tls         verify https servers: the certificate must lead to a trusted\n"
        "                           authority and name the URL's host; TLS 1.2 and 1.3 only; a\n"
        "                           refused certificate fails its URL with the reason (default:\n"
        "                           any certificate is accepted; --no-strict-tls switches it back)\n"
        "      --ca-file FILE       with --strict-tls: trust the authorities in FILE (PEM) instead\n"
        "                           of the system's store\n"
        "      --proxy-list FILE    proxy lines as in the proxy editor, host:port[:user:password];\n"
        "                           every URL takes the next line in turn, the first line first\n"
        "      --proxy-type TYPE    how the lines are used: http (default), socks5, socks4a, socks4\n"
        "      --log FILE           also append the Download Log lines to FILE\n"
        "      --error-log FILE     also append the Error Log lines to FILE\n"
        "      --settings FILE      take every option first from FILE, a settings.ini of the window\n"
        "                           (it is only read); the flags given win over it\n"
        "      --wait SECONDS       pause this long between the URLs of a sequential run, as the\n"
        "                           Scheduler's \"Delay for Each URL\" does (not after the last URL)\n"
        "      --every SECONDS      run the list again this long after each run ended, until Ctrl-C\n"
        "  -q, --quiet              no Download Log lines on standard output and no progress bar\n"
        "                           (error lines still go to standard error)\n"
        "      --progress           show the progress bar also when standard error is not a\n"
        "                           terminal: a plain line at most once a second (also with -q)\n"
        "      --no-progress        no progress bar\n"
        "      --grab URL           print the links of the page (or sitemap) at URL, one per line,\n"
        "                           instead of downloading; with -i, links listed there are left out\n"
        "      --contains TEXT      with --grab: only links that contain TEXT (A-Z in either case)\n"
        "      --scope SCOPE        with --grab: all (default), domain (same last two labels of the\n"
        "                           host) or host (same host and port)\n"
        "  -h, --help               show this text\n"
        "      --version            show the version, the OpenSSL library found and the license\n"
        "\n"
        "Each switch from --classic to --no-compression has a counterpart that switches the option\n"
        "back (after --settings, say): --no-classic, --no-csv, --no-overwrite, --no-full-url,\n"
        "--no-include-params, --skip-existing, --resume, --server-name and --compression. Of two\n"
        "opposite flags the later wins.\n"
        "\n"
        "Download Log lines go to standard output and Error Log lines to standard error. On a\n"
        "terminal a progress bar is kept up to date on standard error (lines done, errors, rate\n"
        "over the last 5 s, bytes, time left), and a summary and the elapsed time close the run;\n"
        "error lines are red and skipped lines dim unless NO_COLOR is set. Ctrl-C once stops the run\n"
        "(the transfer under way ends as stopped, its .part file stays); twice aborts at once.\n"
        "\n"
        "Exit status: 0 every URL was downloaded or skipped; 1 a URL ended with an error (an empty\n"
        "file included) or the run was stopped; 2 usage error, or the run was refused (empty list,\n"
        "save folder not writable); 130 aborted by a second Ctrl-C. With --every, the worst status\n"
        "of all runs; Ctrl-C between two runs stops nothing. With --grab: 0 the page was fetched,\n"
        "1 it was not (the error on standard error), 2 usage error.\n");
}

} // namespace hl::cli
