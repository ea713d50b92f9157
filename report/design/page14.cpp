#include "report/design/builder.h"
#include "report/design/pages.h"

using namespace Qt::StringLiterals;

namespace shenbao::design {

// Loose leaf 1 "课题设计论证书": the project title and the design argument, with no names or
// units, for the first review. Title and code box stand in the band, so they print on the
// first sheet only.
ReportPage page14()
{
    return page(
        u"Page14"_s, u"Page15"_s,
        {
            bannerCopy(0.8, 10.5, u"Bitmap2"_s),
            frame(0.9, 2.35, 6.9, 8.1, Fill::White),
            region(0.9, 0.1, 7.3, 10.3, 10.0,
                   {
                       frame(0.9, 1.6, 6.9, 0.8, Fill::White),
                       text(0.9, 1.34, 0.8, hei(12), u"课题名称："_s),
                       valueMemo(Field::ProjectReasoning, 1.0, 2.4, 6.6, 7.7, song(11), Memo::Flowing),
                       text(1.0, 1.7, 5.4, song(12),
                            u"1、问题的提出、课题界定、国内外研究现状评述、选题意义和研究价值。"_s),
                       text(1.0, 1.9, 5.5, song(12),
                            u"2、课题理论依据、研究目标、研究内容、研究假设和创新之处。"_s),
                       text(1.0, 2.1, 6.7, song(12),
                            u"3、研究思路、研究方法、技术路线、实施步骤。（要求逐项填写，限4000字以内）"_s),
                       frame(0.9, 0.6, 2.2, 0.7, Fill::White),
                       hRule(0.9, 0.95, 2.2, Line::OnePoint),
                       vRule(1.4, 0.6, 0.7, Line::OnePoint),
                       text(1.0, 0.66, 0.4, song(10), u"年度"_s),
                       text(1.0, 1.0, 0.3, song(10), u"编号"_s),
                       text(3.6, 0.64, 2.7, hei(22), u"课题设计论证书"_s),
                       text(3.2, 1.04, 3.6, song(16), u"（活页课题设计必须匿名、匿单位）"_s),
                       value(Field::ProjectName, 1.7, 1.4, 6.6, song(11)),
                   }),
            informalCopy(3.5, 0.4),
            text(3.6, 10.6, 1.0, arial(10), u"——活页1——"_s),
            pageNumber(),
            bannerCopy(4.4, 0.4, u"Bitmap1"_s),
        });
}

} // namespace shenbao::design
