#include "report/review.h"

#include "report/design/builder.h"
#include "report/messages.h"

#include <algorithm>

namespace shenbao {
namespace {

using design::song;
using design::text;

// The value cells of page 12's vote, their left edges and tops (inches).
constexpr double kVoteLeft[] = {1.85, 4.05, 6.25};
constexpr double kVoteTop[] = {3.2, 3.65};
// The reasons' memo: its left and top; its lines stand one pitch apart.
constexpr double kReasonsTop = 7.2, kTickLeft = 1.23;
// Page 13's year columns, left edges.
constexpr double kPlanLeft[kPlanYears] = {1.5, 2.7, 3.9, 5.2, 6.4};

QString number(const std::optional<int>& n)
{
    return n ? QString::number(*n) : QString();
}

void add(ReportPage* page, ReportItem item)
{
    if (!page || item.text.isEmpty())
        return;
    // Before the marks and the page number, which stay on top.
    auto at = std::find_if(page->items.begin(), page->items.end(), [](const ReportItem& i) {
        return i.kind == ItemKind::PageNumber || i.kind == ItemKind::PageNumberReset;
    });
    page->items.insert(at, std::move(item));
}

} // namespace

void fillDecision(ReportDesign& design, const GroupDecision& d)
{
    ReportPage* page12 = design.page(u"Page12");
    const QString counts[2][3] = {
        {number(d.members), number(d.present),
         reportmsg::voteResult(d.voteFailed, d.leavesFailed, d.inFavour.has_value())},
        {number(d.inFavour), number(d.against), number(d.abstaining)}};
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col)
            add(page12, text(kVoteLeft[col], kVoteTop[row], 1.1, song(11), counts[row][col]));
    ReportItem opinion = design::memo(1.35, 4.15, 6.1, 2.15, song(11), design::Memo::Truncating, d.opinion);
    add(page12, opinion);
    const double pitch = song(11).linePitch();
    const auto tick = [&](int line) {
        add(page12, text(kTickLeft, kReasonsTop + pitch * line, 0.2, song(11), reportmsg::tick()));
    };
    if (d.leavesFailed)
        tick(0);
    if (d.voteFailed)
        tick(1);
    for (const int p : d.problems)
        if (p >= 1 && p <= kVoteProblems)
            tick(1 + p);

    ReportPage* page13 = design.page(u"Page13");
    if (d.approved)
        add(page13, text(1.1, 1.1, 6.0, song(12), reportmsg::approval(*d.approved)));
    add(page13, text(2.15, 7.1, 1.9, song(11), d.category));
    add(page13, text(5.05, 7.1, 0.4, song(11), d.amount));
    add(page13, text(6.55, 7.1, 1.0, song(11), d.payments));
    for (std::size_t y = 0; y < d.plan.size() && y < std::size_t(kPlanYears); ++y) {
        add(page13, text(kPlanLeft[y] + 0.1, 7.6, 0.9, song(11), d.plan[y].first));
        add(page13, text(kPlanLeft[y] + 0.1, 8.05, 1.0, song(11), d.plan[y].second));
    }
}

void markLooseLeaves(ReportDesign& design, const QString& code)
{
    for (const QStringView name : {u"Page14", u"Page15"})
        add(design.page(name), text(6.1, 0.12, 1.7, design::hei(12), reportmsg::reviewCode(code)));
    // Page 14's box: 年度 above, 编号 below, the values right of the rule at 1.4. A band's items
    // stand in the band's own coordinates.
    if (ReportPage* page14 = design.page(u"Page14"))
        for (ReportItem& item : page14->items)
            if (item.kind == ItemKind::Region && item.band)
                item.band->items.push_back(text(1.5 - item.left, 1.0 - item.top, 1.5, song(10), code));
}

} // namespace shenbao
