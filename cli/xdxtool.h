#pragma once

#include "office/run.h"

#include <QStringList>
#include <QTextStream>

namespace shenbao::cli {

// Streams of one run, so that tests can run the tool in-process.
struct Io
{
    QTextStream& out;
    QTextStream& err;
};

// Exit statuses shared by the subcommands: the office's runs'.
enum Exit {
    Ok = office::kOk,
    Incomplete = office::kIncomplete,
    Refused = 1,
    Found = office::kFound,
    Failure = office::kFailure
};

// Runs xdxtool with args (without the program name) and returns the exit status.
int run(const QStringList& args, Io io);

// Whether the subcommand that args name needs a QGuiApplication.
bool needsGui(const QStringList& args);

} // namespace shenbao::cli
