#include "office/reviewbooks.h"

#include "office/reviewmessages.h"
#include "office/xlsxout.h"

using namespace Qt::StringLiterals;

namespace shenbao::office {
namespace {

// A sheet written cell by cell, row and column from 0.
class Sheet
{
public:
    Sheet(lxw_workbook* book, const QString& name)
        : m_sheet(workbook_add_worksheet(book, cellBytes(name).constData())),
          m_bold(workbook_add_format(book))
    {
        format_set_bold(m_bold);
    }
    lxw_worksheet* get() const { return m_sheet; }
    void text(int row, int col, const QString& s, lxw_format* f = nullptr)
    {
        if (!s.isEmpty())
            worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(col), cellBytes(s).constData(), f);
    }
    void number(int row, int col, double v, lxw_format* f = nullptr)
    {
        worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(col), v, f);
    }
    void headings(int row, const QStringList& names)
    {
        for (int c = 0; c < names.size(); ++c)
            text(row, c, names[c], m_bold);
    }
    void widths(const std::vector<double>& widths)
    {
        for (std::size_t c = 0; c < widths.size(); ++c)
            worksheet_set_column(m_sheet, lxw_col_t(c), lxw_col_t(c), widths[c], nullptr);
    }
    lxw_format* bold() const { return m_bold; }

private:
    lxw_worksheet* m_sheet;
    lxw_format* m_bold;
};

// "A1"-style name of a cell, row and column from 0.
QByteArray cellName(int row, int col)
{
    QByteArray letters;
    for (int c = col + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(char('A' + (c - 1) % 26));
    return letters + QByteArray::number(row + 1);
}

} // namespace

QStringList scoreSheetHeadings(const ReviewRound& round)
{
    QStringList h = reviewmsg::scoreSheetLeadingHeadings();
    for (const Criterion& c : round.criteria)
        h.append(reviewmsg::withPoints(c.name, c.points));
    h.append(reviewmsg::withPoints(reviewmsg::total(), round.maxScore()));
    h.append(reviewmsg::comment());
    return h;
}

FileResult<void> writeAssignmentBook(const ReviewRound& round, const QString& out)
{
    return writeXlsx(out, [&](lxw_workbook* book) -> Expected<void, QString> {
        Sheet byApplication(book, reviewmsg::sheetByApplication());
        QStringList head = reviewmsg::assignmentHeadings();
        for (int k = 1; k <= round.reviewers; ++k)
            head.append(reviewmsg::expertNumber(k));
        byApplication.headings(0, head);
        for (std::size_t a = 0; a < round.applications.size(); ++a) {
            const ReviewApplication& app = round.applications[a];
            const int row = int(a) + 1;
            const QStringList cells{app.code, app.file, app.title, app.category, app.subject};
            for (int c = 0; c < cells.size(); ++c)
                byApplication.text(row, c, cells[c]);
            int c = int(cells.size());
            for (const int e : round.assigned[a])
                byApplication.text(row, c++, round.experts[std::size_t(e)].name);
        }
        byApplication.widths({10, 30, 40, 18, 18});
        worksheet_freeze_panes(byApplication.get(), 1, 1);
        worksheet_autofilter(byApplication.get(), 0, 0, lxw_row_t(round.applications.size()),
                             lxw_col_t(head.size() - 1));

        Sheet byExpert(book, reviewmsg::sheetByExpert());
        byExpert.headings(0, reviewmsg::expertHeadings());
        for (int e = 0; e < int(round.experts.size()); ++e) {
            const Expert& x = round.experts[std::size_t(e)];
            QStringList codes;
            for (const int a : round.applicationsOf(e))
                codes.append(round.applications[std::size_t(a)].code);
            byExpert.text(e + 1, 0, x.name);
            byExpert.text(e + 1, 1, x.unit);
            byExpert.text(e + 1, 2, x.city);
            byExpert.text(e + 1, 3, subjectNames(x.subjects).join(u'、'));
            byExpert.number(e + 1, 4, x.maxLoad);
            byExpert.number(e + 1, 5, double(codes.size()));
            byExpert.text(e + 1, 6, codes.join(u'、'));
        }
        byExpert.widths({10, 28, 14, 24, 10, 8, 60});
        worksheet_freeze_panes(byExpert.get(), 1, 1);
        return {};
    });
}

FileResult<void> writeScoreSheet(const ReviewRound& round, int expert, const QString& out)
{
    using L = ScoreSheetLayout;
    return writeXlsx(out, [&](lxw_workbook* book) -> Expected<void, QString> {
        Sheet sheet(book, reviewmsg::sheetScores());
        lxw_format* open = workbook_add_format(book); // what the expert fills in
        format_set_unlocked(open);
        lxw_format* openText = workbook_add_format(book);
        format_set_unlocked(openText);
        format_set_text_wrap(openText);
        const Expert& x = round.experts[std::size_t(expert)];
        sheet.text(0, 0, reviewmsg::scoreSheetTitle(), sheet.bold());
        sheet.text(L::kExpertRow - 1, 0, reviewmsg::expertLabel(), sheet.bold());
        sheet.text(L::kExpertRow - 1, 1, x.name);
        sheet.text(L::kExpertRow - 1, 2, x.unit);
        sheet.text(L::kRoundRow - 1, 0, reviewmsg::roundLabel(), sheet.bold());
        sheet.text(L::kRoundRow - 1, 1, round.id);
        sheet.text(L::kRoundRow, 0, reviewmsg::scoreSheetHelp(round.maxScore()));
        const QStringList head = scoreSheetHeadings(round);
        sheet.headings(L::kHeadingRow - 1, head);
        const int criteria = int(round.criteria.size());
        const int totalColumn = L::kFixedColumns + criteria;
        int row = L::kHeadingRow;
        for (const int a : round.applicationsOf(expert)) {
            const ReviewApplication& app = round.applications[std::size_t(a)];
            sheet.text(row, 0, app.code);
            sheet.text(row, 1, app.title);
            sheet.text(row, 2, app.subject);
            for (int c = 0; c < criteria; ++c)
                worksheet_write_blank(sheet.get(), lxw_row_t(row), lxw_col_t(L::kFixedColumns + c), open);
            const QByteArray sum = "=SUM(" + cellName(row, L::kFixedColumns) + ':' +
                                   cellName(row, L::kFixedColumns + criteria - 1) + ')';
            worksheet_write_formula(sheet.get(), lxw_row_t(row), lxw_col_t(totalColumn), sum.constData(),
                                    nullptr);
            worksheet_write_blank(sheet.get(), lxw_row_t(row), lxw_col_t(totalColumn + 1), openText);
            ++row;
        }
        // Each criterion's column limited to its range, as the spreadsheet program checks it.
        for (int c = 0; c < criteria && row > L::kHeadingRow; ++c) {
            lxw_data_validation v{};
            v.validate = LXW_VALIDATION_TYPE_DECIMAL;
            v.criteria = LXW_VALIDATION_CRITERIA_BETWEEN;
            v.minimum_number = 0;
            v.maximum_number = round.criteria[std::size_t(c)].points;
            QByteArray title = cellBytes(reviewmsg::scoreOutOfRangeTitle());
            QByteArray message = cellBytes(reviewmsg::scoreOutOfRange(round.criteria[std::size_t(c)].points));
            v.error_title = title.data();
            v.error_message = message.data();
            worksheet_data_validation_range(sheet.get(), L::kHeadingRow, lxw_col_t(L::kFixedColumns + c),
                                            lxw_row_t(row - 1), lxw_col_t(L::kFixedColumns + c), &v);
        }
        std::vector<double> widths{10, 40, 16};
        widths.insert(widths.end(), std::size_t(criteria + 1), 11);
        widths.push_back(40);
        sheet.widths(widths);
        worksheet_freeze_panes(sheet.get(), L::kHeadingRow, 2);
        // Codes and titles cannot be changed by mistake; collect checks them anyway.
        lxw_protection protection{};
        protection.format_columns = 1;
        protection.format_rows = 1;
        worksheet_protect(sheet.get(), nullptr, &protection);
        return {};
    });
}

QStringList votesHeadings()
{
    return reviewmsg::votesHeadings();
}

FileResult<void> writeVotesSheet(const ReviewRound& round, const QString& out)
{
    return writeXlsx(out, [&](lxw_workbook* book) -> Expected<void, QString> {
        Sheet sheet(book, reviewmsg::sheetVotes());
        sheet.headings(0, votesHeadings());
        for (std::size_t a = 0; a < round.applications.size(); ++a) {
            sheet.text(int(a) + 1, 0, round.applications[a].code);
            sheet.text(int(a) + 1, 1, round.applications[a].title);
        }
        sheet.widths({10, 40, 10, 10, 8, 8, 8, 40, 14, 10, 18, 10, 10, 30});
        worksheet_freeze_panes(sheet.get(), 1, 2);
        return {};
    });
}

} // namespace shenbao::office
