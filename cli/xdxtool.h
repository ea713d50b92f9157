#pragma once

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
enum Exit { Ok = 0, Incomplete = 1, Refused = 1, Found = 1, Failure = 2 };

// Runs xdxtool with args (without the program name) and returns the exit status.
int run(const QStringList& args, Io io);

// Whether the subcommand that args name needs a QGuiApplication.
bool needsGui(const QStringList& args);

} // namespace shenbao::cli
