#pragma once

#include <QCommandLineParser>
#include <QStringList>
#include <QTextStream>

namespace shenbao::cli {

// Streams of one run, so that tests can run the tool in-process.
struct Io
{
    QTextStream& out;
    QTextStream& err;
};

// Exit statuses shared by the subcommands.
enum Exit { Ok = 0, Incomplete = 1, Refused = 1, Failure = 2 };

struct Command
{
    const char16_t* name;
    const char16_t* summary;
    const char16_t* help;
    bool needsGui; // needs a QGuiApplication (fonts, painting)
    int (*run)(const QStringList& args, Io& io);
};

// Runs xdxtool with args (without the program name) and returns the exit status.
int run(const QStringList& args, Io io);

// Whether the subcommand that args name needs a QGuiApplication.
bool needsGui(const QStringList& args);

// Subcommands.
int checkCommand(const QStringList& args, Io& io);
int dumpCommand(const QStringList& args, Io& io);
int buildCommand(const QStringList& args, Io& io);
int officialCommand(const QStringList& args, Io& io);
int tableCommand(const QStringList& args, Io& io);
int anonymityCommand(const QStringList& args, Io& io);
#ifdef SHENBAO_HAVE_GUI
int pdfCommand(const QStringList& args, Io& io);
#endif

// Writes "xdxtool COMMAND：WHAT" and the pointer to --help to the error stream; returns Failure.
int usageError(Io& io, const QString& command, const QString& what);

// Parses a subcommand's args with parser (options of one or more letters after one or two
// dashes; "--" ends them). On an error writes the usage error in the tool's words and returns
// false, with *status the exit status.
bool parseArguments(QCommandLineParser& parser, const QStringList& args, Io& io, const QString& command,
                    int* status);

// True when args ask for help ("-h" or "--help").
bool wantsHelp(const QStringList& args);

} // namespace shenbao::cli
