#pragma once

#include <QString>

// Every text the window puts in a box, a file dialog or the status window. shown is a path as
// the user sees it (native separators).

namespace shenbao::appmsg {

QString helpMissing();
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
QString noPdfViewer();
QString printJobName();
QString printerNotReady();
QString printPageFailed(int sheet);

} // namespace shenbao::appmsg
