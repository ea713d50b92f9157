#include "report/design/builder.h"
#include "report/design/pages.h"

using namespace Qt::StringLiterals;

namespace shenbao::design {

// Loose leaf 2: the feasibility analysis under its guidance lines, anonymous like leaf 1.
ReportPage page15()
{
    return page(
        u"Page15"_s, QString(),
        {
            bannerCopy(0.8, 10.7, u"Bitmap2"_s),
            frame(0.9, 1.55, 6.9, 9.1, Fill::White),
            region(0.9, 0.8, 7.3, 9.8, 9.5,
                   {
                       frame(0.9, 0.8, 6.9, 1.0, Fill::White),
                       valueMemo(u"ProjectAnalyze"_s, 1.0, 1.9, 6.7, 8.4, song(11), Memo::Flowing),
                       text(1.0, 0.9, 3.3, song(12), u"1、已取得的相关研究成果和主要参考文献。"_s),
                       text(1.0, 1.1, 5.8, song(12),
                            u"2、主要参加者的学术背景和研究经验、组成结构（如职务、专业、年龄等）。"_s),
                       text(1.0, 1.3, 6.0, song(12),
                            u"3、完成课题的保障条件（如所在单位的经费、设备、资料、时间安排等条件以及"_s),
                       text(1.2, 1.5, 4.9, song(12),
                            u"单位原有的研究基础）。   （要求逐项填写，限4000字以内）"_s),
                   }),
            informalCopy(3.5, 0.5),
            text(3.6, 10.7, 1.0, arial(10), u"——活页2——"_s),
            pageNumber(),
            bannerCopy(4.4, 0.5, u"Bitmap1"_s),
        });
}

} // namespace shenbao::design
