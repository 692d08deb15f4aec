// The places that describe harvestline-cli's options: --help, the man page made from it, the
// README's option table and the bash completion. Whatever options exist, all of them must agree.
#include "support/cliprocess.h"
#include "support/qtprinters.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace hl {
namespace {

const QString kCompletionScript =
    QStringLiteral(HARVESTLINE_SOURCE_DIR "/packaging/harvestline-cli.bash-completion");

QString readText(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

// The option names written in a text: "-x" and "--long-name". A dash inside a word ("write-probed")
// or before a digit ("-1") starts none.
QSet<QString> optionNames(const QString& text) {
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])--?[A-Za-z][A-Za-z0-9-]*"));
    QSet<QString> names;
    for (const QRegularExpressionMatch& match : option.globalMatch(text))
        names.insert(match.captured());
    return names;
}

QSet<QString> longOnly(const QSet<QString>& names) {
    QSet<QString> result;
    for (const QString& name : names)
        if (name.startsWith(QLatin1String("--"))) result.insert(name);
    return result;
}

QString helpText() {
    const test::CliResult help = test::runCli({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    return QString::fromUtf8(help.out);
}

// The man page as text: roff's escaped dashes and font changes taken out.
QString manPageText() {
    QString roff = readText(QStringLiteral(HARVESTLINE_BINARY_DIR "/packaging/harvestline-cli.1"));
    roff.replace(QLatin1String("\\-"), QLatin1String("-"));
    return roff.remove(QRegularExpression(QStringLiteral("\\\\f[BIRP]|\\\\/|\\\\,")));
}

// The first cells of the option table in the README's section on the command-line tool.
QString readmeOptionCells() {
    const QString readme = readText(QStringLiteral(HARVESTLINE_SOURCE_DIR "/README.md"));
    const qsizetype start = readme.indexOf(QLatin1String("\n## The command-line tool"));
    EXPECT_GE(start, 0);
    const QString section = readme.mid(start, readme.indexOf(QLatin1String("\n## "), start + 1) - start);
    QString cells;
    for (const QString& line : section.split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1Char('|')))
            cells += line.section(QLatin1Char('|'), 1, 1) + QLatin1Char('\n');
    return cells;
}

QString describeDifference(const QSet<QString>& expected, const QSet<QString>& actual) {
    QStringList missing = (expected - actual).values();
    QStringList extra = (actual - expected).values();
    missing.sort();
    extra.sort();
    return QStringLiteral("missing: %1; not in --help: %2").arg(missing.join(' '), extra.join(' '));
}

TEST(CliReference, HelpManPageAndReadmeNameTheSameOptions) {
    const QSet<QString> help = optionNames(helpText());
    ASSERT_GT(help.size(), 20);
    ASSERT_TRUE(help.contains(QStringLiteral("--version")) && help.contains(QStringLiteral("-h")));

    const QSet<QString> manPage = optionNames(manPageText());
    EXPECT_EQ(manPage, help) << "man page " << describeDifference(help, manPage).toStdString();
    const QSet<QString> readme = optionNames(readmeOptionCells());
    EXPECT_EQ(readme, help) << "README table " << describeDifference(help, readme).toStdString();
}

TEST(CliReference, EveryOptionTheHelpNamesIsAccepted) {
    for (const QString& name : optionNames(helpText())) {
        // A value is given to every option: a switch then refuses it, but only an unknown
        // option is reported as unknown.
        const QString argument = name.startsWith(QLatin1String("--")) ? name + QStringLiteral("=1") : name;
        const test::CliResult result = test::runCli({QStringLiteral("--help"), argument});
        EXPECT_FALSE(result.err.contains("Unknown option")) << result.err.toStdString();
    }
}

// help2man turns an option line into a tagged paragraph only when two spaces part the option
// from its description (or the description starts on the next line); otherwise the description
// ends up in the tag.
TEST(CliReference, TheManPageSetsEveryOptionApartFromItsDescription) {
    const QString manPage = manPageText();
    EXPECT_FALSE(manPage.contains(QLatin1String("\n.HP\n")))
        << "an option line of --help lacks two spaces before its description";
    EXPECT_TRUE(manPage.contains(QLatin1String("\n.SH ENVIRONMENT\n")));
}

TEST(CliReference, TheCompletionNamesOnlyOptionsTheHelpHas) {
    QSet<QString> completion = longOnly(optionNames(readText(kCompletionScript)));
    const QSet<QString> help = optionNames(helpText());
    EXPECT_TRUE(completion.subtract(help).isEmpty())
        << QStringList(completion.values()).join(' ').toStdString();
}

// What bash would offer after typing `line` (words split at spaces; a trailing space starts a
// new, empty word).
QStringList completions(const QString& line) {
    static const QString kDriver =
        QStringLiteral("source /usr/share/bash-completion/bash_completion || exit 90\n"
                       "source \"$1\" || exit 91\n"
                       "COMP_LINE=$2; COMP_POINT=${#COMP_LINE}\n"
                       "read -ra COMP_WORDS <<<\"$COMP_LINE\"\n"
                       "[[ $COMP_LINE == *' ' ]] && COMP_WORDS+=('')\n"
                       "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
                       "_harvestline_cli \"${COMP_WORDS[0]}\" \"${COMP_WORDS[COMP_CWORD]}\" "
                       "\"${COMP_WORDS[COMP_CWORD-1]}\"\n"
                       "printf '%s\\n' \"${COMPREPLY[@]}\"\n");
    QProcess bash;
    bash.start(QStringLiteral("bash"), {QStringLiteral("-c"), kDriver, QStringLiteral("bash"),
                                        kCompletionScript, test::cliProgram() + QLatin1Char(' ') + line});
    EXPECT_TRUE(bash.waitForFinished(30000));
    EXPECT_EQ(bash.exitCode(), 0) << bash.readAllStandardError().toStdString();
    QStringList words =
        QString::fromUtf8(bash.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    words.sort();
    return words;
}

TEST(CliReference, CompletionOffersOptionsAndTheValuesEachTakes) {
    test::TempDir dir;
    dir.write(QStringLiteral("urls.txt"), "x");
    QDir().mkpath(dir.file(QStringLiteral("downloads")));
    const QString folder = dir.path() + QLatin1Char('/');
    const struct {
        QString line;
        QStringList offered;
    } cases[] = {
        {QStringLiteral("--pro"),
         {QStringLiteral("--progress"), QStringLiteral("--proxy-list"), QStringLiteral("--proxy-type")}},
        {QStringLiteral("--no-skip"), {QStringLiteral("--no-skip-existing")}},
        {QStringLiteral("--ver"), {QStringLiteral("--version")}},
        {QStringLiteral("--proxy-type socks"),
         {QStringLiteral("socks4"), QStringLiteral("socks4a"), QStringLiteral("socks5")}},
        {QStringLiteral("-i ") + folder,
         {folder + QStringLiteral("downloads"), folder + QStringLiteral("urls.txt")}},
        {QStringLiteral("--input=") + folder + QStringLiteral("u"), {folder + QStringLiteral("urls.txt")}},
        {QStringLiteral("--dir ") + folder, {folder + QStringLiteral("downloads")}},
        {QStringLiteral("--jobs "), {}},
        {QStringLiteral("--csv --"), optionNames(helpText()).values()},
    };
    for (const auto& c : cases) {
        QStringList expected = c.offered;
        if (c.line.endsWith(QLatin1String("--")))
            expected.removeIf([](const QString& name) { return !name.startsWith(QLatin1String("--")); });
        expected.sort();
        EXPECT_EQ(completions(c.line), expected) << c.line.toStdString();
    }
}

} // namespace
} // namespace hl
