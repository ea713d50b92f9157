#pragma once

#include <QString>
#include <QStringList>

// Every text xdxtool writes to its error stream, the subcommands' help aside (kCommands).

namespace shenbao::cli::msg {

QString unknownCommand(const QString& name);
QString unknownOption(const QString& dashedName);
QString missingValue(const QString& option);
QString usage(const QString& command, const QString& what);
QString cannotWriteOutput(const QString& why);
QString writeFailed();

QString wantFiles();
QString noDocumentsIn(const QStringList& folders);
QString cannotReadList(const QString& list, const QString& why);
QString wantOneFile();
QString wantJsonAndXdx();
QString cannotRead(const QString& why);
QString checkSummary(qsizetype files, int complete, int incomplete, int rejected, int failed);
QString built(const QString& out, qsizetype gaps);
QString marked(bool official);
QString alreadyMarked(bool official);
QString cannotWrite(const QString& why);

QString unknownPaper(const QString& name);
QString outputIsInput(const QString& out);
QString needsGui();
QString emptyDocument();
QString severalNeedOut();
QString addedToPdf(const QString& file, qsizetype first, qsizetype last, bool official);
QString nothingToPrint();
QString printedInOne(const QString& out, qsizetype added, qsizetype files);
QString printed(const QString& out, qsizetype sheets, bool official);

// xdxtool table
QStringList tableLeadingHeadings();
QString participantsHeading();
QString duplicateHeading();
QString reasonHeading();
QString statusComplete();
QString statusIncomplete();
QString statusRejected();
QString statusError();
QString yes();
QString no();
QString duplicateOf(qsizetype row, const QString& file, const QString& why);
QString sameIdCard();
QString sameTitleAndLeader();
QString sheetApplications();
QString sheetCounts();
QString applications();
QString outlaySum();
QString notGiven();
QString wantTableOutput();
QString noXlsxHere();
QString xlsxFailed(const QString& why);
QString tableWritten(const QString& out, qsizetype rows, qsizetype duplicates);

// xdxtool anonymity
QString participantName(int row);
QString participantUnit(int row);
QString anonymityHit(const QString& field, const QString& text, const QString& source, const QString& context);
QString anonymitySummary(qsizetype files, qsizetype named, qsizetype hits);

// xdxtool pdf to a folder
QString outOrFolder();
QString numberNeedsFolder();
QString numberByTable();
QString noXlsxReadingHere();
QString notXlsx();
QString cannotReadTable(const QString& table, const QString& why);
QString notInTable(const QString& file, const QString& table);
QString cannotMakeFolder(const QString& folder);

} // namespace shenbao::cli::msg
