#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The words xdxtool writes, its commands' help aside (kCommands, command.cpp).

namespace shenbao::cli::msg {

// The tool and its help
QString toolUsage();
QString toolDescription();
QString subcommands();
QString helpHint();
QString usageLead();
QString optionsHeading();
QString exitsLead();

// Starting a command
QString unknownCommand(const QString& name);
QString unknownOption(const QString& dashedName);
QString missingValue(const QString& option);
QString usage(const QString& command, const QString& what);
QString badJobs(const QString& given);
QString jobsCapped(int most);
QString cannotWriteOutput(const QString& why);
QString writeFailed();
QString interrupted();

// The files of a run
QString wantFiles();
QString noDocumentsIn(const QStringList& folders);
QString cannotReadFolder(const QString& folder, const QString& why);
QString cannotReadList(const QString& list, const QString& why);
QString nulInList(const QString& list);
QString nullWithoutList();
QString outputIsInput(const QString& out);

// check, dump, build, official
QString wantOneFile();
QString wantJsonAndXdx();
QString cannotRead(const QString& why);
QString checkSummary(qsizetype files, qsizetype complete, qsizetype incomplete, qsizetype rejected,
                     qsizetype failed);
QString charactersLeftOut(const QString& field, const QString& characters);
QString built(const QString& out, qsizetype gaps);
QString marked(bool official);
QString alreadyMarked(bool official);
QString cannotWrite(const QString& why);

// pdf
QString unknownPaper(const QString& name);
QString needsGui();
QString severalNeedOut();
QString printedToFolder(const QString& folder, qsizetype written, qsizetype files);
QString outOrFolder();
QString numberNeedsFolder();
QString cannotMakeFolder(const QString& folder, const QString& why);

// table, and the table read back
QString wantTableOutput();
QString tableWritten(const QString& out, qsizetype rows, qsizetype duplicates);

// review
QString wantRoster();
QString wantRoundFolder();
QString badReviewers(const QString& given, int most);
QString wantFolderAndSheets();
QString wantVotes();
QString reviewOrLooseLeaf();

// anonymity
QString anonymityHit(const QString& field, int line, const QString& text, const QString& source,
                     const QString& context, bool weak);
QString moreHits(qsizetype more);
QString anonymitySummary(qsizetype files, qsizetype named, qsizetype hits);

// similar, and the table's column of the most similar row
QString similarPair(const QString& a, const QString& b, double score, const QStringList& texts);
QString similarText(const QString& field, double score, int passages, const QStringList& first);
QString sharedPassage(qsizetype atA, qsizetype atB, int characters, const QString& text);
QString longPassagePair(const QString& a, const QString& b, int characters, const QStringList& texts);
QString similarFamily(const QStringList& members);
QString similarSummary(qsizetype files, qsizetype pairs, qsizetype passages, qsizetype families,
                       qsizetype inFamilies);

} // namespace shenbao::cli::msg
