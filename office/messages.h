#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The words of the office's round: what its runs, tables and printouts say.

namespace shenbao::office::msg {

QString statusComplete();
QString statusIncomplete();
QString statusRejected();
QString statusError();

QString emptyDocument();
QString addedToPdf(const QString& file, qsizetype first, qsizetype last, bool official);
QString cannotJoinParts();
QString nothingToPrint();
QString printedInOne(const QString& out, qsizetype added, qsizetype files);
QString printed(const QString& out, qsizetype sheets, bool official);
QString numberByTable();
QString notXlsx();
QString notText();
QString cannotReadTable(const QString& table, const QString& why);
QString fileInTwoRows(const QString& file, qsizetype first, qsizetype second);
QString rowTwice(qsizetype row);
QString notInTable(const QString& file, const QString& table);
QString sameFileTwice(const QString& first, const QString& second);
QString notASpreadsheet();
QString noDecision(const QString& code);

// The round's table
QStringList tableLeadingHeadings();
QString participantsHeading();
QString duplicateHeading();
QString reasonHeading();
QString yes();
QString no();
QString duplicateOf(qsizetype row, const QString& file, const QString& why);
QString sameIdCard();
QString sameTitleAndLeader();
QString sheetApplications();
QString sheetCounts();
QString applications();
QString outlaySum();
QString outlayHeading();
QString chartTitle(const QString& heading);
QString fundsChartTitle(const QString& heading);
QString filesNotRead();
QString outlayLeftOutHeading();
QString outlayLeftOut(const QList<qsizetype>& rows);
QString notGiven();
QString cellCut();
QString cellTooLong(qsizetype row, const QString& column, qsizetype size, qsizetype kept);
QString xlsxFailed(const QString& why);
QString mostSimilarHeading();
QString mostSimilar(qsizetype row, const QString& file, double score);
} // namespace shenbao::office::msg
