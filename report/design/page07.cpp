#include "report/design/builder.h"
#include "report/design/pages.h"

using namespace Qt::StringLiterals;

namespace shenbao::design {

std::vector<ReportItem> withFeasibilityGuidance(std::vector<ReportItem> items)
{
    for (ReportItem& line : std::vector<ReportItem>{
             text(1.0, 0.9, 3.3, song(12), u"1、已取得的相关研究成果和主要参考文献。"_s),
             text(1.0, 1.1, 5.8, song(12),
                  u"2、主要参加者的学术背景和研究经验、组成结构（如职务、专业、年龄等）。"_s),
             text(1.0, 1.3, 6.0, song(12),
                  u"3、完成课题的保障条件（如所在单位的经费、设备、资料、时间安排等条件以及"_s),
             text(1.2, 1.5, 4.9, song(12), u"单位原有的研究基础）。   （要求逐项填写，限4000字以内）"_s),
         })
        items.push_back(std::move(line));
    return items;
}

// "五、完成课题的可行性分析": the feasibility analysis in a growing band.
ReportPage page07()
{
    return page(u"Page7"_s, u"Page8"_s,
                {
                    frame(0.9, 1.55, 6.9, 8.9, Fill::White),
                    region(0.9, 0.5, 7.3, 9.9, 9.5,
                           withFeasibilityGuidance({
                               frame(0.9, 0.8, 6.9, 1.0, Fill::White),
                               text(0.9, 0.54, 3.2, hei(15), u"五、完成课题的可行性分析"_s),
                               valueMemo(Field::ProjectAnalyze, 1.0, 1.9, 6.7, 8.0, song(11), Memo::Flowing),
                           })),
                    informalCopy(3.7, 0.5),
                    pageNumber(),
                    bannerCopy(4.1, 0.5, u"Bitmap1"_s),
                    bannerCopy(0.8, 10.5, u"Bitmap2"_s),
                });
}

} // namespace shenbao::design
