#include "report/design/builder.h"
#include "report/design/pages.h"

using namespace Qt::StringLiterals;

namespace shenbao::design {

// "八、推荐人意见": the two recommenders' opinions, each flowing on to repeat sheets.
ReportPage page10()
{
    return page(
        u"Page10"_s, u"Page11"_s,
        {
            watermarkCopy(),
            frame(0.9, 0.8, 6.7, 9.7, Fill::Clear),
            text(0.9, 0.54, 6.6, hei(15), u"八、推荐人意见"_s),
            memo(
                1.0, 0.9, 6.5, 0.6, song(11), Memo::Flowing,
                u"不具有副高专业技术职称的申请人，须由两名具有副高专业技术职称的同行专家推荐。推荐人须认真负"
                u"责地介绍"
                u"课题负责人和参加者的专业水平、科研能力、科研态度和科研条件，并说明该课题取得预期成果的可能性"_s),
            hRule(0.9, 1.5, 6.7),
            text(1.0, 1.6, 1.3, song(11), u"第一推荐人意见："_s),
            text(5.4, 5.8, 0.9, song(11), u"推荐人签章"_s),
            hRule(0.9, 6.0, 6.7),
            informalCopy(3.0, 0.5),
            pageNumber(),
            text(1.0, 6.1, 1.2, song(11), u"第二推荐人意见："_s),
            text(5.4, 10.3, 0.9, song(11), u"推荐人签章"_s),
            valueMemo(Field::tuijian1, 1.0, 1.8, 6.5, 3.9, arial(10), Memo::Flowing),
            valueMemo(Field::tuijian2, 1.0, 6.3, 6.5, 3.9, arial(10), Memo::Flowing),
        });
}

} // namespace shenbao::design
