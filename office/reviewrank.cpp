#include "office/reviewrank.h"

#include "office/reviewmessages.h"
#include "office/xlsxout.h"
#include "record/fields.h"

#include <QRegularExpression>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numeric>
#include <tuple>

using namespace Qt::StringLiterals;

namespace shenbao::office {
namespace {

struct MeanAndSpread
{
    double mean = 0, spread = 0;
};

MeanAndSpread meanAndSpread(const std::vector<double>& v)
{
    if (v.empty())
        return {};
    const double mean = std::accumulate(v.begin(), v.end(), 0.0) / double(v.size());
    double squares = 0;
    for (const double x : v)
        squares += (x - mean) * (x - mean);
    return {mean, std::sqrt(squares / double(v.size()))};
}

double mean(const std::vector<double>& v)
{
    return meanAndSpread(v).mean;
}

// Ranks from 1 among the applications of each group (category or subject), best first.
template <class GroupOf, class Set>
void rankWithin(std::vector<RankedApplication>& ranked, GroupOf groupOf, Set set)
{
    std::vector<RankedApplication*> order;
    for (RankedApplication& r : ranked)
        if (!r.totals.empty())
            order.push_back(&r);
    std::stable_sort(order.begin(), order.end(), [&](const RankedApplication* x, const RankedApplication* y) {
        if (groupOf(*x) != groupOf(*y))
            return groupOf(*x) < groupOf(*y);
        if (x->corrected != y->corrected)
            return x->corrected > y->corrected;
        return x->mean > y->mean;
    });
    int rank = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        rank = i > 0 && groupOf(*order[i]) == groupOf(*order[i - 1]) ? rank + 1 : 1;
        set(*order[i], rank);
    }
}

} // namespace

Ranking rankRound(const ReviewRound& round, const std::vector<ReturnedSheet>& sheets,
                  const std::map<QString, int>& quotas)
{
    Ranking ranking;
    // Each expert's totals, and the round's.
    std::vector<std::vector<double>> byExpert(round.experts.size());
    std::vector<double> all;
    for (const ReturnedSheet& s : sheets)
        for (const Score& score : s.scores) {
            byExpert[std::size_t(s.expert)].push_back(score.total);
            all.push_back(score.total);
        }
    const MeanAndSpread whole = meanAndSpread(all);
    std::vector<MeanAndSpread> expertStats(round.experts.size());
    for (std::size_t e = 0; e < round.experts.size(); ++e) {
        expertStats[e] = meanAndSpread(byExpert[e]);
        if (!byExpert[e].empty())
            ranking.experts.push_back(
                {int(e), int(byExpert[e].size()), expertStats[e].mean, expertStats[e].spread});
    }
    // Each application's totals, raw and corrected.
    ranking.applications.resize(round.applications.size());
    std::vector<std::vector<double>> corrected(round.applications.size());
    for (std::size_t a = 0; a < round.applications.size(); ++a)
        ranking.applications[a].application = int(a);
    for (const ReturnedSheet& s : sheets)
        for (const Score& score : s.scores) {
            const std::size_t a = std::size_t(round.applicationByCode(score.code));
            ranking.applications[a].totals.push_back(score.total);
            const MeanAndSpread& own = expertStats[std::size_t(s.expert)];
            const bool standardise = byExpert[std::size_t(s.expert)].size() >= 2 && own.spread > 0;
            corrected[a].push_back(standardise
                                       ? whole.mean + whole.spread * (score.total - own.mean) / own.spread
                                       : score.total);
        }
    const double strong = kDisagreementShare * round.maxScore();
    for (std::size_t a = 0; a < round.applications.size(); ++a) {
        RankedApplication& r = ranking.applications[a];
        if (r.totals.empty())
            continue;
        std::vector<double> sorted = r.totals;
        std::sort(sorted.begin(), sorted.end());
        r.mean = mean(sorted);
        r.trimmed = sorted.size() >= std::size_t(kTrimFrom)
                        ? mean(std::vector<double>(sorted.begin() + 1, sorted.end() - 1))
                        : r.mean;
        r.corrected = mean(corrected[a]);
        r.range = sorted.back() - sorted.front();
        r.disagreement = r.range >= strong;
    }
    const QStringList categories = choiceItems(Field::ProjectClass);
    const auto categoryOf = [&](const RankedApplication& r) {
        return round.applications[std::size_t(r.application)].category;
    };
    rankWithin(ranking.applications, categoryOf, [](RankedApplication& r, int n) { r.rankInCategory = n; });
    rankWithin(
        ranking.applications,
        [&](const RankedApplication& r) { return round.applications[std::size_t(r.application)].subject; },
        [](RankedApplication& r, int n) { r.rankInSubject = n; });
    for (RankedApplication& r : ranking.applications)
        if (const auto q = quotas.find(categoryOf(r)); q != quotas.end())
            r.recommended = r.rankInCategory >= 1 && r.rankInCategory <= q->second;
    return ranking;
}

Expected<std::map<QString, int>, QString> parseQuotas(const QString& text)
{
    static const QRegularExpression kBetween(u"[,，;；、]"_s);
    const QStringList categories = choiceItems(Field::ProjectClass);
    std::map<QString, int> quotas;
    for (const QString& part : text.split(kBetween, Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(u'=') >= 0 ? part.indexOf(u'=') : part.indexOf(u'＝');
        const QString category = part.left(eq).trimmed();
        bool ok = false;
        const int n = eq < 0 ? 0 : part.mid(eq + 1).trimmed().toInt(&ok);
        if (!ok || n < 0)
            return unexpected(reviewmsg::badQuota(part.trimmed()));
        if (!categories.contains(category))
            return unexpected(reviewmsg::unknownCategory(category, categories));
        quotas[category] = n;
    }
    return quotas;
}

namespace {

// 排名.xlsx: the ranking by category (in the form's order) and rank; the experts with a chart of
// their means.
Expected<void, QString> fillRanking(lxw_workbook* book, const ReviewRound& round, const Ranking& ranking,
                                    bool withQuotas)
{
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    lxw_format* decimals = workbook_add_format(book);
    format_set_num_format(decimals, "0.00");
    const auto headings = [&](lxw_worksheet* sheet, const QStringList& names) {
        for (int c = 0; c < names.size(); ++c)
            worksheet_write_string(sheet, 0, lxw_col_t(c), cellBytes(names[c]).constData(), bold);
    };
    const auto text = [](lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const QString& t) {
        if (!t.isEmpty())
            worksheet_write_string(sheet, row, col, cellBytes(t).constData(), nullptr);
    };
    lxw_worksheet* sheet = workbook_add_worksheet(book, cellBytes(reviewmsg::sheetRanking()).constData());
    QStringList head = reviewmsg::rankingHeadings();
    if (withQuotas)
        head.append(reviewmsg::recommendedHeading());
    headings(sheet, head);
    const QStringList categories = choiceItems(Field::ProjectClass);
    std::vector<const RankedApplication*> order;
    for (const RankedApplication& r : ranking.applications)
        order.push_back(&r);
    const auto place = [&](const RankedApplication* r) {
        const qsizetype c = categories.indexOf(round.applications[std::size_t(r->application)].category);
        return std::tuple{c < 0 ? categories.size() : c, r->rankInCategory == 0 ? INT_MAX : r->rankInCategory,
                          round.applications[std::size_t(r->application)].code};
    };
    std::sort(order.begin(), order.end(), [&](auto* x, auto* y) { return place(x) < place(y); });
    lxw_row_t row = 1;
    for (const RankedApplication* r : order) {
        const ReviewApplication& app = round.applications[std::size_t(r->application)];
        text(sheet, row, 0, app.code);
        text(sheet, row, 1, app.title);
        text(sheet, row, 2, app.category);
        text(sheet, row, 3, app.subject);
        worksheet_write_number(sheet, row, 4, double(r->totals.size()), nullptr);
        if (!r->totals.empty()) {
            worksheet_write_number(sheet, row, 5, r->mean, decimals);
            worksheet_write_number(sheet, row, 6, r->trimmed, decimals);
            worksheet_write_number(sheet, row, 7, r->corrected, decimals);
            worksheet_write_number(sheet, row, 8, r->range, decimals);
            text(sheet, row, 9, r->disagreement ? reviewmsg::disagreement() : QString());
            worksheet_write_number(sheet, row, 10, r->rankInCategory, nullptr);
            worksheet_write_number(sheet, row, 11, r->rankInSubject, nullptr);
        }
        if (withQuotas)
            text(sheet, row, 12, r->recommended ? reviewmsg::recommended() : QString());
        ++row;
    }
    worksheet_set_column(sheet, 1, 1, 40, nullptr);
    worksheet_set_column(sheet, 2, 3, 18, nullptr);
    worksheet_set_column(sheet, 4, 12, 12, nullptr);
    worksheet_freeze_panes(sheet, 1, 2);
    worksheet_autofilter(sheet, 0, 0, row - 1, lxw_col_t(head.size() - 1));

    lxw_worksheet* experts = workbook_add_worksheet(book, cellBytes(reviewmsg::sheetExperts()).constData());
    headings(experts, reviewmsg::expertStandingHeadings());
    lxw_row_t at = 1;
    for (const ExpertStanding& s : ranking.experts) {
        text(experts, at, 0, round.experts[std::size_t(s.expert)].name);
        text(experts, at, 1, round.experts[std::size_t(s.expert)].unit);
        worksheet_write_number(experts, at, 2, s.scored, nullptr);
        worksheet_write_number(experts, at, 3, s.mean, decimals);
        worksheet_write_number(experts, at, 4, s.spread, decimals);
        ++at;
    }
    worksheet_set_column(experts, 1, 1, 28, nullptr);
    if (at > 1) {
        // The experts' means beside them: the harsh and the lenient stand out.
        const QByteArray name = cellBytes(reviewmsg::sheetExperts());
        lxw_chart* chart = workbook_add_chart(book, LXW_CHART_BAR);
        lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
        chart_series_set_categories(series, name.constData(), 1, 0, at - 1, 0);
        chart_series_set_values(series, name.constData(), 1, 3, at - 1, 3);
        chart_title_set_name(chart, cellBytes(reviewmsg::expertMeansChart()).constData());
        chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
        lxw_chart_options size{};
        size.x_scale = 1.5;
        size.y_scale = std::max(1.0, (20.0 * double(at - 1) + 90.0) / 288.0);
        worksheet_insert_chart_opt(experts, 0, 6, chart, &size);
    }
    return {};
}

} // namespace

int writeRanking(const QString& folder, const std::map<QString, int>& quotas, RunReport& report)
{
    const Expected<ReviewRound, QString> round = readRound(folder);
    if (!round) {
        report.say(round.error());
        return kFailure;
    }
    const Expected<std::vector<ReturnedSheet>, QString> sheets = readCollected(folder, *round);
    if (!sheets) {
        report.say(sheets.error());
        return kFailure;
    }
    const Ranking ranking = rankRound(*round, *sheets, quotas);
    const QString out = folder + u"/排名.xlsx"_s;
    const FileResult<void> written = writeXlsx(
        out, [&](lxw_workbook* book) { return fillRanking(book, *round, ranking, !quotas.empty()); });
    if (!written) {
        report.say(reviewmsg::cannotWrite(shownPath(out), written.error().why()));
        return kFailure;
    }
    qsizetype scored = 0, disagreements = 0, recommended = 0;
    for (const RankedApplication& r : ranking.applications) {
        scored += r.totals.empty() ? 0 : 1;
        disagreements += r.disagreement ? 1 : 0;
        recommended += r.recommended ? 1 : 0;
    }
    report.say(reviewmsg::ranked(shownPath(out), scored, qsizetype(round->applications.size()), disagreements,
                                 quotas.empty() ? -1 : recommended));
    return scored == 0 ? kIncomplete : kOk;
}

} // namespace shenbao::office
