#pragma once

#include <QString>
#include <vector>

class QPrinter;
class QWidget;

namespace shenbao {

class PreviewPages;

// What the print dialog chose, as far as the order of the pages goes.
struct PrintChoice
{
    enum class Range { All, Current, FromTo };
    Range range = Range::All;
    int from = 0; // 1-based, inclusive; 0: from the first / to the last
    int to = 0;
    int copies = 1;
    bool collate = true;
    bool printerMakesCopies = false; // the driver repeats the pages itself
};

// The pages to draw, 0-based and in order, for pageCount pages of which current is shown.
// Copies the printer does not make are drawn here: collated as whole runs, else each page
// repeated. A range beyond the pages is cut to them; empty when nothing is left.
std::vector<int> printSequence(int pageCount, int current, const PrintChoice& choice);

// The choice a set-up printer holds (range, copies, collation, whether it copies by itself).
PrintChoice printChoice(const QPrinter& printer);

// Sets a printer up for printing the report: job name "报表打印", drawing from the paper's
// corner (full page), unscaled, on the printer's current paper.
void preparePrinter(QPrinter& printer);

// Prints pages in the order of sequence on printer, showing the status window "正在打印第%p页"
// with the number of each page as it begins. False with *error set when the printer could not
// be started, and false when the status window was cancelled (the job is aborted then).
bool printPages(QPrinter& printer, const PreviewPages& pages, const std::vector<int>& sequence,
                QWidget* statusParent, QString* error);

} // namespace shenbao
