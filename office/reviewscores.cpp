#include "office/reviewscores.h"

#include "check/textfold.h"
#include "files/files.h"
#include "office/reviewbooks.h"
#include "office/reviewmessages.h"
#include "office/spreadsheet.h"
#include "office/xlsxout.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <map>
#include <set>

using namespace Qt::StringLiterals;

namespace shenbao::office {
namespace {

constexpr qsizetype kLongestCell = 32767;
constexpr qint64 kMostScoresBytes = qint64(256) << 20;
// A total within this of the sum is the sum (a spreadsheet adds in binary fractions).
constexpr double kTotalTolerance = 1e-6;

std::optional<double> numberOf(const QString& text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

// Reads a returned sheet's rows against the round.
class SheetCheck
{
public:
    SheetCheck(const ReviewRound& round, const QString& shown) : m_round(round), m_shown(shown) {}

    Expected<ReturnedSheet, QStringList> check(const SpreadsheetRows& rows)
    {
        using L = ScoreSheetLayout;
        const QStringList roundCells = rowOf(rows, L::kRoundRow);
        if (roundCells.value(0).trimmed() != reviewmsg::roundLabel() ||
            roundCells.value(1).trimmed() != m_round.id)
            return refuse(L::kRoundRow, reviewmsg::notThisRound(roundCells.value(1).trimmed(), m_round.id));
        const QStringList expertCells = rowOf(rows, L::kExpertRow);
        m_sheet.expert = expertOf(expertCells.value(1), expertCells.value(2));
        if (expertCells.value(0).trimmed() != reviewmsg::expertLabel() || m_sheet.expert < 0)
            return refuse(L::kExpertRow, reviewmsg::unknownExpert(expertCells.value(1).trimmed()));
        QStringList heading = rowOf(rows, L::kHeadingRow);
        for (QString& h : heading)
            h = h.trimmed();
        const QStringList expected = scoreSheetHeadings(m_round);
        while (heading.size() > expected.size() && heading.last().isEmpty())
            heading.removeLast();
        if (heading != expected)
            return refuse(L::kHeadingRow, reviewmsg::headingsChanged());
        const std::vector<int> mine = m_round.applicationsOf(m_sheet.expert);
        for (auto it = rows.upper_bound(L::kHeadingRow); it != rows.end(); ++it)
            scoreRow(it->first, it->second, mine);
        for (const int a : mine)
            if (!m_seen.contains(a))
                m_problems.append(reviewmsg::sheetProblem(m_shown, 0, reviewmsg::codeMissing(code(a))));
        if (!m_problems.isEmpty())
            return unexpected(m_problems);
        std::sort(m_sheet.scores.begin(), m_sheet.scores.end(),
                  [](const Score& x, const Score& y) { return x.code < y.code; });
        return m_sheet;
    }

private:
    static QStringList rowOf(const SpreadsheetRows& rows, int row)
    {
        const auto it = rows.find(row);
        return it == rows.end() ? QStringList() : it->second;
    }
    Unexpected<QStringList> refuse(qsizetype row, const QString& why)
    {
        return unexpected(QStringList{reviewmsg::sheetProblem(m_shown, row, why)});
    }
    QString code(int a) const { return m_round.applications[std::size_t(a)].code; }
    int expertOf(const QString& name, const QString& unit) const
    {
        for (int e = 0; e < int(m_round.experts.size()); ++e)
            if (fold::folded(m_round.experts[std::size_t(e)].name) == fold::folded(name) &&
                fold::folded(m_round.experts[std::size_t(e)].unit) == fold::folded(unit))
                return e;
        return -1;
    }

    void scoreRow(qsizetype row, const QStringList& cells, const std::vector<int>& mine)
    {
        using L = ScoreSheetLayout;
        const auto problem = [&](const QString& why) {
            m_problems.append(reviewmsg::sheetProblem(m_shown, row, why));
        };
        const QString c = cells.value(0).trimmed();
        if (c.isEmpty()) {
            problem(reviewmsg::rowWithoutCode());
            return;
        }
        const int a = m_round.applicationByCode(c);
        if (a < 0 || !std::binary_search(mine.begin(), mine.end(), a)) {
            problem(reviewmsg::notThisExpertsCode(c));
            return;
        }
        if (const auto [first, fresh] = m_seen.emplace(a, row); !fresh) {
            problem(reviewmsg::codeTwice(c, first->second));
            return;
        }
        if (cells.value(1).trimmed() != m_round.applications[std::size_t(a)].title.trimmed())
            problem(reviewmsg::titleChanged(c));
        Score score{c, {}, 0, cells.value(L::kFixedColumns + int(m_round.criteria.size()) + 1).trimmed()};
        bool complete = true;
        for (std::size_t k = 0; k < m_round.criteria.size(); ++k) {
            const Criterion& criterion = m_round.criteria[k];
            const QString text = cells.value(L::kFixedColumns + qsizetype(k)).trimmed();
            const std::optional<double> v = numberOf(text);
            if (text.isEmpty())
                problem(reviewmsg::noScore(criterion.name));
            else if (!v)
                problem(reviewmsg::notANumber(criterion.name, text));
            else if (*v < 0 || *v > criterion.points)
                problem(reviewmsg::outOfRange(criterion.name, text, criterion.points));
            complete = complete && v && *v >= 0 && *v <= criterion.points;
            score.points.push_back(v.value_or(0));
            score.total += v.value_or(0);
        }
        // An empty total is a sum no program has worked out yet (a formula saved without its value).
        const QString total = cells.value(L::kFixedColumns + qsizetype(m_round.criteria.size())).trimmed();
        if (complete && !total.isEmpty()) {
            const std::optional<double> t = numberOf(total);
            if (!t || std::abs(*t - score.total) > kTotalTolerance)
                problem(reviewmsg::totalNotTheSum(total, score.total));
        }
        m_sheet.scores.push_back(std::move(score));
    }

    const ReviewRound& m_round;
    QString m_shown;
    ReturnedSheet m_sheet;
    QStringList m_problems;
    std::map<int, qsizetype> m_seen; // application: its row
};

} // namespace

Expected<ReturnedSheet, QStringList> readReturnedSheet(const ReviewRound& round, const QString& path)
{
    const QString shown = shownPath(path);
    const int columns = ScoreSheetLayout::kFixedColumns + int(round.criteria.size()) + 2;
    const Expected<SpreadsheetRows, QString> rows = readSpreadsheet(path, columns, kLongestCell);
    if (!rows)
        return unexpected(QStringList{reviewmsg::cannotReadSheet(shown, rows.error())});
    Expected<ReturnedSheet, QStringList> sheet = SheetCheck(round, shown).check(*rows);
    if (sheet)
        sheet->file = shown;
    return sheet;
}

QByteArray collectedToJson(const ReviewRound& round, const std::vector<ReturnedSheet>& sheets)
{
    QJsonArray all;
    for (const ReturnedSheet& s : sheets) {
        QJsonArray scores;
        for (const Score& score : s.scores) {
            QJsonArray points;
            for (const double p : score.points)
                points.append(p);
            scores.append(QJsonObject{{u"code"_s, score.code},
                                      {u"points"_s, points},
                                      {u"total"_s, score.total},
                                      {u"comment"_s, score.comment}});
        }
        all.append(QJsonObject{{u"expert"_s, s.expert}, {u"file"_s, s.file}, {u"scores"_s, scores}});
    }
    return QJsonDocument(QJsonObject{{u"program"_s, u"xdxtool review scores"_s},
                                     {u"round"_s, round.id},
                                     {u"sheets"_s, all}})
        .toJson(QJsonDocument::Indented);
}

Expected<std::vector<ReturnedSheet>, QString> readCollected(const QString& folder, const ReviewRound& round)
{
    const QString path = folder + u'/' + QString::fromUtf16(kScoresFile);
    if (pathKind(path) == PathKind::Missing)
        return std::vector<ReturnedSheet>{};
    const FileResult<QByteArray> bytes = readRegularFile(path, kMostScoresBytes);
    if (!bytes)
        return unexpected(reviewmsg::cannotReadScores(shownPath(path), bytes.error().why()));
    const QJsonObject o = QJsonDocument::fromJson(*bytes).object();
    if (o.value(u"program"_s).toString() != u"xdxtool review scores" ||
        o.value(u"round"_s).toString() != round.id)
        return unexpected(reviewmsg::cannotReadScores(shownPath(path), reviewmsg::notARound()));
    std::vector<ReturnedSheet> sheets;
    for (const QJsonValue& v : o.value(u"sheets"_s).toArray()) {
        ReturnedSheet s;
        s.expert = v[u"expert"_s].toInt(-1);
        s.file = v[u"file"_s].toString();
        if (s.expert < 0 || s.expert >= int(round.experts.size()))
            return unexpected(reviewmsg::cannotReadScores(shownPath(path), reviewmsg::notARound()));
        for (const QJsonValue& x : v[u"scores"_s].toArray()) {
            Score score{x[u"code"_s].toString(), {}, x[u"total"_s].toDouble(), x[u"comment"_s].toString()};
            for (const QJsonValue& p : x[u"points"_s].toArray())
                score.points.push_back(p.toDouble());
            if (round.applicationByCode(score.code) < 0 || score.points.size() != round.criteria.size())
                return unexpected(reviewmsg::cannotReadScores(shownPath(path), reviewmsg::notARound()));
            s.scores.push_back(std::move(score));
        }
        sheets.push_back(std::move(s));
    }
    return sheets;
}

namespace {

// 评分汇总.xlsx: a row a score (by code, then expert), and the experts still missing.
FileResult<void> writeSummary(const ReviewRound& round, const std::vector<ReturnedSheet>& sheets,
                              const std::vector<int>& missing, const QString& out)
{
    return writeXlsx(out, [&](lxw_workbook* book) -> Expected<void, QString> {
        lxw_format* bold = workbook_add_format(book);
        format_set_bold(bold);
        lxw_worksheet* scores = workbook_add_worksheet(book, cellBytes(reviewmsg::sheetScores()).constData());
        QStringList head = reviewmsg::summaryHeadings();
        for (const Criterion& c : round.criteria)
            head.append(reviewmsg::withPoints(c.name, c.points));
        head.append(reviewmsg::withPoints(reviewmsg::total(), round.maxScore()));
        head.append(reviewmsg::comment());
        for (int c = 0; c < head.size(); ++c)
            worksheet_write_string(scores, 0, lxw_col_t(c), cellBytes(head[c]).constData(), bold);
        std::vector<std::pair<const Score*, int>> all;
        for (const ReturnedSheet& s : sheets)
            for (const Score& score : s.scores)
                all.emplace_back(&score, s.expert);
        std::sort(all.begin(), all.end(), [](const auto& x, const auto& y) {
            return std::pair{x.first->code, x.second} < std::pair{y.first->code, y.second};
        });
        lxw_row_t row = 1;
        for (const auto& [score, expert] : all) {
            const ReviewApplication& app =
                round.applications[std::size_t(round.applicationByCode(score->code))];
            const Expert& x = round.experts[std::size_t(expert)];
            lxw_col_t c = 0;
            for (const QString& t : {app.code, app.title, x.name, x.unit})
                worksheet_write_string(scores, row, c++, cellBytes(t).constData(), nullptr);
            for (const double p : score->points)
                worksheet_write_number(scores, row, c++, p, nullptr);
            worksheet_write_number(scores, row, c++, score->total, nullptr);
            if (!score->comment.isEmpty())
                worksheet_write_string(scores, row, c, cellBytes(score->comment).constData(), nullptr);
            ++row;
        }
        worksheet_freeze_panes(scores, 1, 1);
        worksheet_set_column(scores, 1, 1, 40, nullptr);
        lxw_worksheet* waiting =
            workbook_add_worksheet(book, cellBytes(reviewmsg::sheetMissing()).constData());
        const QStringList missingHead = reviewmsg::missingHeadings();
        for (int c = 0; c < missingHead.size(); ++c)
            worksheet_write_string(waiting, 0, lxw_col_t(c), cellBytes(missingHead[c]).constData(), bold);
        for (std::size_t i = 0; i < missing.size(); ++i) {
            const Expert& x = round.experts[std::size_t(missing[i])];
            lxw_col_t c = 0;
            for (const QString& t : {x.name, x.unit, x.contact})
                worksheet_write_string(waiting, lxw_row_t(i + 1), c++, cellBytes(t).constData(), nullptr);
            worksheet_write_number(waiting, lxw_row_t(i + 1), c,
                                   double(round.applicationsOf(missing[i]).size()), nullptr);
        }
        return {};
    });
}

} // namespace

int collectScores(const CollectOrder& order, RunReport& report)
{
    const Expected<ReviewRound, QString> round = readRound(order.folder);
    if (!round) {
        report.say(round.error());
        return kFailure;
    }
    Expected<std::vector<ReturnedSheet>, QString> collected = readCollected(order.folder, *round);
    if (!collected) {
        report.say(collected.error());
        return kFailure;
    }
    std::map<int, ReturnedSheet> byExpert;
    for (ReturnedSheet& s : *collected)
        byExpert[s.expert] = std::move(s);
    qsizetype taken = 0, refused = 0, scores = 0;
    for (qsizetype i = 0; i < order.sheets.size() && !interrupted(); ++i) {
        Expected<ReturnedSheet, QStringList> sheet = readReturnedSheet(*round, order.sheets[i]);
        report.step(i + 1);
        if (!sheet) {
            for (const QString& problem : sheet.error())
                report.say(problem);
            report.say(reviewmsg::sheetRefused(shownPath(order.sheets[i])));
            ++refused;
            continue;
        }
        if (const auto it = byExpert.find(sheet->expert); it != byExpert.end() && !order.replace) {
            report.say(reviewmsg::alreadyCollected(
                sheet->file, round->experts[std::size_t(sheet->expert)].name, it->second.file));
            ++refused;
            continue;
        }
        ++taken;
        scores += qsizetype(sheet->scores.size());
        byExpert[sheet->expert] = std::move(*sheet);
    }
    if (interrupted())
        return kFailure;
    std::vector<ReturnedSheet> sheets;
    for (auto& [expert, sheet] : byExpert)
        sheets.push_back(std::move(sheet));
    std::vector<int> missing;
    for (int e = 0; e < int(round->experts.size()); ++e)
        if (!byExpert.contains(e) && !round->applicationsOf(e).empty())
            missing.push_back(e);
    const QString state = order.folder + u'/' + QString::fromUtf16(kScoresFile);
    if (const FileResult<void> w = replaceFile(state, collectedToJson(*round, sheets)); !w) {
        report.say(reviewmsg::cannotWrite(shownPath(state), w.error().why()));
        return kFailure;
    }
    const QString summary = order.folder + u"/评分汇总.xlsx"_s;
    if (const FileResult<void> w = writeSummary(*round, sheets, missing, summary); !w) {
        report.say(reviewmsg::cannotWrite(shownPath(summary), w.error().why()));
        return kFailure;
    }
    QStringList names;
    for (const int e : missing)
        names.append(round->experts[std::size_t(e)].name);
    qsizetype allScores = 0;
    for (const ReturnedSheet& s : sheets)
        allScores += qsizetype(s.scores.size());
    report.say(reviewmsg::collected(taken, scores, refused, qsizetype(sheets.size()), allScores, names));
    return refused ? kFailure : missing.empty() ? kOk : kIncomplete;
}

} // namespace shenbao::office
