#pragma once

// Laying a filled design out on sheets.

#include "report/messages.h"
#include "report/reportdesign.h"
#include "report/sheet.h"

#include <QString>
#include <functional>
#include <vector>

namespace shenbao {

// Called as each sheet begins, with its number counted from 1; returning false cancels.
using SheetProgress = std::function<bool(int sheetNumber)>;

// The most sheets one print makes. The largest form that can be typed into the window (every
// long text at its limit, all of it line breaks) makes 389; a file made elsewhere could
// make millions, which no printer and no reviewer should be sent.
inline constexpr int kMaxSheets = 5000;

struct ReportLayout
{
    std::vector<Sheet> sheets;
    bool cancelled = false; // the progress callback said stop; sheets holds those finished before
    bool tooLong = false;   // the form would pass kMaxSheets; sheets is empty
};

// Turns a (filled) design into sheets: its pages in their chain from the first, each repeated
// while a flowing memo or its band has text left. Needs a QGuiApplication (fonts).
ReportLayout layoutReport(const ReportDesign& design, const SheetProgress& progress = {});

} // namespace shenbao
