#include "cli/commandline.h"

#include <QCommandLineParser>
#include <QDir>

namespace hl::cli {

namespace {

int integerValue(const QCommandLineParser& parser, const QString& name, int minimum) {
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < minimum)
        throw UsageError(QStringLiteral("invalid value for --%1: \"%2\"").arg(name, parser.value(name)));
    return value;
}

QCommandLineOption valueOption(const QStringList& names, const QString& valueName) {
    return QCommandLineOption(names, QString(), valueName);
}

QCommandLineOption switchOption(const QString& name) {
    return QCommandLineOption(name);
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
        switchOption(QStringLiteral("classic")),
        switchOption(QStringLiteral("csv")),
        switchOption(QStringLiteral("overwrite")),
        switchOption(QStringLiteral("full-url")),
        switchOption(QStringLiteral("include-params")),
        switchOption(QStringLiteral("no-skip-existing")),
        switchOption(QStringLiteral("no-resume")),
        switchOption(QStringLiteral("no-server-name")),
        switchOption(QStringLiteral("no-compression")),
        valueOption({QStringLiteral("ext")}, QStringLiteral("TEXT")),
        valueOption({QStringLiteral("user-agent")}, QStringLiteral("TEXT")),
        valueOption({QStringLiteral("connect-timeout")}, QStringLiteral("MS")),
        valueOption({QStringLiteral("read-timeout")}, QStringLiteral("MS")),
        valueOption({QStringLiteral("log")}, QStringLiteral("FILE")),
        valueOption({QStringLiteral("error-log")}, QStringLiteral("FILE")),
        QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}),
    });
    if (!parser.parse(QStringList{QStringLiteral("harvestline-cli")} + arguments))
        throw UsageError(parser.errorText());

    CommandLine result = defaults;
    if (parser.isSet(QStringLiteral("help"))) result.help = true;
    DownloadOptions& o = result.options;
    if (parser.isSet(QStringLiteral("input"))) result.inputFile = parser.value(QStringLiteral("input"));
    if (parser.isSet(QStringLiteral("dir"))) o.saveFolder = parser.value(QStringLiteral("dir"));
    if (parser.isSet(QStringLiteral("jobs"))) {
        const int jobs = integerValue(parser, QStringLiteral("jobs"), 0);
        result.run.multiThreaded = jobs != 1;
        result.run.multiThreads = jobs == 1 ? 0 : jobs;
    }
    if (parser.isSet(QStringLiteral("classic"))) result.run.classicEngine = true;
    if (parser.isSet(QStringLiteral("csv"))) o.treatAsCsv = true;
    if (parser.isSet(QStringLiteral("overwrite"))) o.overwrite = true;
    if (parser.isSet(QStringLiteral("full-url"))) o.fullUrl = true;
    if (parser.isSet(QStringLiteral("include-params"))) o.includeParams = true;
    if (parser.isSet(QStringLiteral("no-skip-existing"))) o.skipExisting = false;
    if (parser.isSet(QStringLiteral("no-resume"))) o.resumePartial = false;
    if (parser.isSet(QStringLiteral("no-server-name"))) o.serverProposedName = false;
    if (parser.isSet(QStringLiteral("no-compression"))) o.zlibCompression = false;
    if (parser.isSet(QStringLiteral("ext"))) o.extension = parser.value(QStringLiteral("ext"));
    if (parser.isSet(QStringLiteral("user-agent"))) o.userAgent = parser.value(QStringLiteral("user-agent"));
    if (parser.isSet(QStringLiteral("connect-timeout")))
        o.connectTimeoutMs = integerValue(parser, QStringLiteral("connect-timeout"), -1);
    if (parser.isSet(QStringLiteral("read-timeout")))
        o.readTimeoutMs = integerValue(parser, QStringLiteral("read-timeout"), -1);
    if (parser.isSet(QStringLiteral("log"))) result.logFile = parser.value(QStringLiteral("log"));
    if (parser.isSet(QStringLiteral("error-log")))
        result.errorLogFile = parser.value(QStringLiteral("error-log"));
    result.urls += parser.positionalArguments();
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
        "      --connect-timeout MS connection time-out (default 10000; 0 or -1: none)\n"
        "      --read-timeout MS    response time-out (default 10000; 0 or -1: none)\n"
        "      --log FILE           also append the Download Log lines to FILE\n"
        "      --error-log FILE     also append the Error Log lines to FILE\n"
        "  -h, --help               show this text\n"
        "\n"
        "Download Log lines go to standard output and Error Log lines to standard error. On a\n"
        "terminal a status line is kept up to date on standard error. Ctrl-C once stops the run\n"
        "(the transfer under way ends as stopped, its .part file stays); twice aborts at once.\n"
        "\n"
        "Exit status: 0 every URL was downloaded or skipped; 1 a URL ended with an error (an empty\n"
        "file included) or the run was stopped; 2 usage error, or the run was refused (empty list,\n"
        "save folder not writable); 130 aborted by a second Ctrl-C.\n");
}

} // namespace hl::cli
