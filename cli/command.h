#pragma once

#include "cli/xdxtool.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>
#include <span>

// How a subcommand is declared and started: its options, once, with the words that describe
// them (the help text is made from these), and the one start that parses them.

namespace shenbao::cli {

class Invocation;

// An option as a command declares it.
struct OptionSpec
{
    const char16_t* names;       // "r|recursive": a one-letter name after one dash, others after two
    const char16_t* valueName;   // what it takes ("N", "列表"), or nullptr for a switch
    const char16_t* description; // one line
};

struct CommandSpec
{
    const char16_t* name;
    const char16_t* summary;     // a line in the tool's list of subcommands
    const char16_t* usage;       // the forms of the command, a line each ("xdxtool check [选项] ...")
    const char16_t* description; // what it does, paragraphs of lines
    std::span<const OptionSpec> options;
    bool manyFiles;        // takes files and folders with -r, --files-from, -0 and -j
    const char16_t* exits; // what its exit statuses mean
    bool needsGui;         // draws (fonts, painting): needs a QGuiApplication
    int (*run)(Invocation& invocation);
};

// The subcommands, in the order the tool lists them (commandlist.cpp).
std::span<const CommandSpec> commands();
// The options of every command over many files; --help.
std::span<const OptionSpec> manyFilesOptions();
const OptionSpec& helpOption();
// A description with the numbers it states ("{passage}") taken from the constants the code uses.
QString withNumbers(QString text);
// The most workers (-j) a run takes; a list of names is at most kMaxListBytes.
inline constexpr int kMostJobs = 256;
inline constexpr qint64 kMaxListBytes = qint64(64) << 20;
const CommandSpec* findCommand(QStringView name);

// The help of a command, made from its declaration.
QString helpText(const CommandSpec& command);

// One run of a command: its parsed arguments and its streams.
class Invocation
{
public:
    Invocation(const CommandSpec& command, Io& io);

    // Parses args. On an error writes the usage error in the tool's words and returns false;
    // status() is then the exit status.
    bool parse(const QStringList& args);
    int status() const { return m_status; }

    const CommandSpec& command() const { return m_command; }
    Io& io() { return m_io; }
    QTextStream& out() { return m_io.out; }
    QTextStream& err() { return m_io.err; }

    bool isSet(QStringView name) const;
    QString value(QStringView name) const;
    QStringList positional() const { return m_parser.positionalArguments(); }

    // Writes "xdxtool COMMAND：WHAT" and the pointer to --help to the error stream; returns Failure.
    int usageError(const QString& what);

    // A command over many files: the files in input order (a file as given, a missing one too:
    // its command reports it; a folder's *.xdx sorted by name). A folder that cannot be read is
    // reported on the error stream and counted in problems(). On a usage error writes it and
    // returns nothing.
    std::optional<QStringList> files();
    int problems() const { return m_problems; }
    // The workers (-j), checked by parse: the number of cores by default.
    int jobs() const { return m_jobs; }

private:
    bool checkJobs();

    const CommandSpec& m_command;
    Io& m_io;
    QCommandLineParser m_parser;
    int m_status = Ok;
    int m_jobs = 1;
    int m_problems = 0;
};

} // namespace shenbao::cli
