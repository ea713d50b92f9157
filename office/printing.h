#pragma once

#include "files/files.h"
#include "office/run.h"
#include "report/review.h"
#include "report/sheet.h"

#include <QPageSize>
#include <QString>
#include <QStringList>

#include <map>
#include <vector>

// The round's printouts: a PDF of one file, a PDF each in a folder, and one PDF of them all
// written on every core (a part a worker, joined as a stream).

namespace shenbao::office {

// Which pages of each file: the whole form, its loose leaves, or (for the review) pages 12 and 13
// filled with the subject group's decision on its code.
struct PrintSelection
{
    bool looseLeaf = false;
    const std::map<QString, GroupDecision>* decisions = nullptr; // by code; set: pages 12 and 13
};

// A file as printed: what the window would hold after starting with it, laid out.
struct Printed
{
    DocumentResult document;   // rejected or unreadable, with the reason, when nothing was printed
    QString note;              // standard error, on success
    std::vector<Sheet> sheets; // for one PDF of many files: what goes into it
    bool official = false;

    bool printable() const;
};

// The file printed to out, a PDF of its own (made in memory, then put in place whole); only its
// pages selected. The note says what was written, or document why not.
Printed printFile(const QString& file, const QString& out, const QPageSize& paper,
                  const PrintSelection& pages, ReplaceOptions options);

// Many files in one PDF at out, in input order, on jobs workers; what each added said to report.
// The exit status of the run.
int printRound(const QStringList& files, int jobs, qsizetype problems, const QPageSize& paper,
               const PrintSelection& pages, const QString& out, RunReport& report);

// What an expert receives: the loose leaves of files in their order, each headed by its review
// code, in one PDF at out (its fonts embedded once), put in place whole. Why not.
Expected<void, QString> printCodedLooseLeaves(const QStringList& files, const QStringList& codes,
                                              const QString& out, const QPageSize& paper);

// A PDF each in folder, named as the files are. Names are compared without letter case (the
// folder may end up on a Windows machine or a USB stick): of files with the same name the first
// keeps it and the others get -2, -3 ..., each the first number that neither an earlier output
// nor another file's own name takes.
QStringList namesInFolder(const QStringList& files, const QString& folder);
// A path's file name without its last suffix.
QString completeBaseName(const QString& path);

} // namespace shenbao::office
