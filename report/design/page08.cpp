#include "report/design/builder.h"
#include "report/design/pages.h"

using namespace Qt::StringLiterals;

namespace shenbao::design {

namespace {

struct Column
{
    double left;
    double width;
};
constexpr Column kStageColumns[] = {{1.0, 0.3}, {1.35, 1.25}, {2.8, 3.1}, {6.2, 0.8}, {7.2, 0.7}};
constexpr Column kFinalColumns[] = {{1.0, 0.3}, {1.4, 1.2}, {2.8, 3.0}, {6.2, 0.8}, {7.2, 0.6}};

void cellMemo(ReportPage& p, const QString& name, const Column& col, double top)
{
    p.items.push_back(valueMemo(name, col.left, top, col.width, 0.4, song(11), Memo::Truncating));
}

} // namespace

// "六、预期研究成果": ten stage results and the three final results.
ReportPage page08()
{
    ReportPage p = page(u"Page8"_s, u"Page9"_s,
                        {
                            watermarkCopy(),
                            text(0.9, 0.34, 2.1, hei(15), u"六、预期研究成果"_s),
                            frame(0.9, 0.7, 7.0, 10.0, Fill::Clear),
                        });
    for (double y : {1.1, 1.8, 2.4, 3.0, 3.6, 4.2, 4.8, 5.4, 6.0, 6.6, 7.4, 8.0, 8.4, 9.0, 9.6, 10.2})
        p.items.push_back(hRule(0.9, y, 7.0));

    p.items.push_back(label(3.2, 0.8, u"主要阶段性成果（限报10项）"_s, 12));
    for (double x : {1.3, 2.7, 6.1, 7.1})
        p.items.push_back(vRule(x, 1.1, 6.9));
    p.items.push_back(label(0.95, 1.3, u"序号"_s, 12));
    p.items.push_back(label(1.6, 1.2, u"研究阶段"_s, 12));
    p.items.push_back(label(1.45, 1.4, u"（起止时间）"_s, 12));
    p.items.push_back(label(3.8, 1.3, u"阶段成果名称"_s, 12));
    p.items.push_back(label(6.25, 1.3, u"成果形式"_s, 12));
    p.items.push_back(label(7.25, 1.3, u"负责人"_s, 12));
    for (int r = 1; r <= 10; ++r) {
        // Row 9 is taller than the others, so row 10 does not follow the 0.6 pitch.
        const double top = r <= 9 ? 1.9 + 0.6 * (r - 1) : 7.5;
        for (int c = 1; c <= 5; ++c)
            cellMemo(p, cellItemName(Field::ExpectProduction, r, c), kStageColumns[c - 1],
                     c == 5 ? top - 0.05 : top);
    }

    p.items.push_back(label(2.8, 8.1, u"最终研究成果（限报3项,其中必含研究报告）"_s, 12));
    for (double x : {1.3, 2.7, 6.1, 7.1})
        p.items.push_back(vRule(x, 8.4, 2.3));
    p.items.push_back(label(0.95, 8.6, u"序号"_s, 12));
    p.items.push_back(label(1.75, 8.6, u"完成时间"_s, 12));
    p.items.push_back(label(3.8, 8.6, u"最终成果名称"_s, 12));
    p.items.push_back(label(6.25, 8.6, u"成果形式"_s, 12));
    p.items.push_back(label(7.25, 8.6, u"负责人"_s, 12));
    constexpr double kFinalTops[] = {9.05, 9.65, 10.25};
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 5; ++c) {
            // The number column of rows 2 and 3 stands 0.05 higher than the rest of its row.
            const double top = (c == 1 && r > 1) ? kFinalTops[r - 1] - 0.05 : kFinalTops[r - 1];
            cellMemo(p, cellItemName(Field::FinallyProduction, r, c), kFinalColumns[c - 1], top);
        }

    p.items.push_back(informalCopy(3.0, 0.3));
    p.items.push_back(pageNumber());
    return p;
}

} // namespace shenbao::design
