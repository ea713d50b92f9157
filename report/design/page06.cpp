#include "report/design/builder.h"
#include "report/design/pages.h"

using namespace Qt::StringLiterals;

namespace shenbao::design {

// "四、课题设计论证": the design argument in a band that grows down the page and continues on
// repeat sheets; master of the official banner.
ReportPage page06()
{
    return page(
        u"Page6"_s, u"Page7"_s,
        {
            frame(0.9, 1.55, 6.9, 8.9, Fill::White),
            region(0.9, 0.5, 7.3, 9.9, 9.6,
                   {
                       frame(0.9, 0.8, 6.9, 0.8, Fill::White),
                       text(0.9, 0.54, 1.7, hei(15), u"四、课题设计论证"_s),
                       valueMemo(Field::ProjectReasoning, 1.0, 1.65, 6.7, 8.4, song(11), Memo::Flowing),
                       text(1.0, 0.9, 5.9, song(12),
                            u"1、问题的提出、课题界定、国内外研究现状评述、选题意义和研究价值。"_s),
                       text(1.0, 1.1, 5.5, song(12),
                            u"2、课题理论依据、研究目标、研究内容、研究假设和创新之处。"_s),
                       text(1.0, 1.3, 6.6, song(12),
                            u"3、研究思路、研究方法、技术路线、实施步骤。（要求逐项填写，限4000字以内）"_s),
                   }),
            informalCopy(3.0, 0.5),
            bannerMaster(3.9, 0.5),
            pageNumber(),
            bannerCopy(0.8, 10.5, u"Bitmap2"_s),
        });
}

} // namespace shenbao::design
