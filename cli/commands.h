#pragma once

#include "cli/command.h"

// The subcommands; kCommands (command.cpp) declares their options and words.

namespace shenbao::cli {

int checkCommand(Invocation& invocation);
int dumpCommand(Invocation& invocation);
int buildCommand(Invocation& invocation);
int officialCommand(Invocation& invocation);
int tableCommand(Invocation& invocation);
int anonymityCommand(Invocation& invocation);
int similarCommand(Invocation& invocation);
int reviewAssignCommand(Invocation& invocation);
int reviewCollectCommand(Invocation& invocation);
int reviewRankCommand(Invocation& invocation);
int reviewGroupCommand(Invocation& invocation);
#ifdef SHENBAO_HAVE_GUI
int pdfCommand(Invocation& invocation);
#endif

// The most experts an application may have.
inline constexpr int kMostReviewers = 50;

} // namespace shenbao::cli
