#pragma once

#include <QString>
#include <QStringList>

// Every text the window puts in a box, a file dialog or the status window. shown is a path as
// the user sees it (native separators).

namespace shenbao {
struct AnonymityHit;
struct AnonymityFindings;
struct RecoveryOffer;
} // namespace shenbao

namespace shenbao::appmsg {

QString helpMissing();
QString helpNotOpened(const QString& shown);
QString helpTitle();
QString scrollTabsLeft();
QString scrollTabsRight();
QString saveBeforeClosing();
QString saveCaption();
QString openCaption();
QString documentFilter();
QString generatingSheet(); // "%p": the sheet's number
QString printingSheet();   // "%p": the sheet's number

QString reportFilter();
QString saveReportCaption();
QString openReportCaption();
QString cannotOpenReport(const QString& shown, const QString& why);
QString notAReport();
QString printJobName();
QString printerNotReady();
QString noPrinter();
QString printPageFailed(int sheet);

// The assistants
QString withKeys(const QString& hint, const QStringList& keys);
QString keysOf(const QStringList& keys);
// The room a limit leaves: in characters as applicants count them (GBK bytes over two), or in
// places for a field that takes only digits.
QString room(int usedBytes, int limitBytes, bool places);
QString roomCounterName();
// A long text's limit, in characters as applicants count them: "限550字以内".
QString textLimit(int limitBytes);
QString errorListSummary(qsizetype entries);
QString pasteCut(int lost);
QString typingCut(int lost);
QString limitReached();
// Recovery copies
QString untitled();
QString recoveryOffer(const RecoveryOffer& offer);
QString recoveryRestore();
QString recoveryLater();
QString recoveryDiscard();
QString recoveryUnreadable(const QString& why, const QString& keptAt);
QString recoveryFailed(const QString& why);
QString recoveryNotDiscarded(const QString& why);
// The drafts: a line each, of what was kept and where
QString draftKept(const QString& draft, const QString& folder);
QString draftsKeptOnClose(const QStringList& drafts, const QString& folder);
QString replacedKept(const QString& file, const QString& draft, const QString& folder);
QString heldElsewhere();
// The loose leaves' anonymity, in the window and the preview
QString anonymityTitle();
QString anonymityHeading(qsizetype total);
QString anonymityHit(const AnonymityHit& hit);
QString moreAnonymityHits(qsizetype more);
QString anonymityNotice(qsizetype total);
QString anonymityPreview(const AnonymityFindings& findings);

} // namespace shenbao::appmsg
