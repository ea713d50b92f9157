#include "app/preview/reportprint.h"

#include "app/messages.h"
#include "app/preview/previewpages.h"
#include "app/preview/reportstatus.h"

#include <QPainter>
#include <QPrinter>
#include <algorithm>

namespace shenbao {

std::vector<int> printSequence(int pageCount, int current, const PrintChoice& choice)
{
    int first = 0;
    int last = pageCount - 1;
    switch (choice.range) {
    case PrintChoice::Range::All:
        break;
    case PrintChoice::Range::Current:
        first = last = current;
        break;
    case PrintChoice::Range::FromTo:
        if (choice.from > 0)
            first = choice.from - 1;
        if (choice.to > 0)
            last = std::min(last, choice.to - 1);
        break;
    }
    first = std::max(first, 0);
    if (pageCount <= 0 || first > last || first >= pageCount)
        return {};

    const int copies = choice.printerMakesCopies ? 1 : std::max(choice.copies, 1);
    std::vector<int> out;
    out.reserve(std::size_t(last - first + 1) * std::size_t(copies));
    if (choice.collate) {
        for (int c = 0; c < copies; ++c)
            for (int p = first; p <= last; ++p)
                out.push_back(p);
    } else {
        for (int p = first; p <= last; ++p)
            out.insert(out.end(), std::size_t(copies), p);
    }
    return out;
}

PrintChoice printChoice(const QPrinter& printer)
{
    PrintChoice choice;
    switch (printer.printRange()) {
    case QPrinter::AllPages:
        choice.range = PrintChoice::Range::All;
        break;
    case QPrinter::Selection:
    case QPrinter::CurrentPage:
        // The preview's selection is the page it shows.
        choice.range = PrintChoice::Range::Current;
        break;
    case QPrinter::PageRange:
        choice.range = PrintChoice::Range::FromTo;
        choice.from = printer.fromPage();
        choice.to = printer.toPage();
        break;
    }
    choice.copies = printer.copyCount();
    choice.collate = printer.collateCopies();
    choice.printerMakesCopies = printer.supportsMultipleCopies();
    return choice;
}

void preparePrinter(QPrinter& printer)
{
    printer.setDocName(appmsg::printJobName());
    printer.setFullPage(true);
}

bool printPages(QPrinter& printer, const PreviewPages& pages, const std::vector<int>& sequence,
                QWidget* statusParent, QString* error)
{
    ReportStatus status(appmsg::printingSheet(), statusParent);
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (error)
            *error = appmsg::printerNotReady();
        return false;
    }
    status.show();
    bool first = true;
    for (const int index : sequence) {
        if (!status.sheetBegins(index + 1)) {
            printer.abort();
            return false;
        }
        if (!first && !printer.newPage()) {
            if (error)
                *error = appmsg::printPageFailed(index + 1);
            printer.abort();
            return false;
        }
        first = false;
        pages.paint(painter, index);
    }
    return painter.end();
}

} // namespace shenbao
