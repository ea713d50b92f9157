#include "report/design/builder.h"
#include "report/design/pages.h"

using namespace Qt::StringLiterals;

namespace shenbao::design {

// Sections nine and ten: the opinions of the leader's unit and of the city office, both cut
// to their boxes.
ReportPage page11()
{
    const QString gap(29, u' ');
    return page(
        u"Page11"_s, u"Page12"_s,
        {
            watermarkCopy(),
            frame(0.9, 0.8, 6.7, 4.3, Fill::Clear),
            text(0.9, 0.54, 6.6, hei(15), u"九、课题负责人所在单位意见"_s),
            memo(1.0, 0.9, 6.5, 0.6, song(11), Memo::Flowing,
                 u"申请书所填写的内容是否属实；该课题负责人和参加者的政治业务素质是否适合承担本课题的研究工作"
                 u"；本单位能否"
                 u"提供完成本课题所需的时间和条件；本单位是否同意承担本课题的管理任务和信誉保证。"_s),
            text(1.55, 4.0, 5.2, song(11), u"单位科研管理部门公章"_s + gap + u"单  位  公  章"_s),
            text(2.2, 4.3, 4.9, song(11), u"年   月  日"_s + gap + u"单位负责人签名："_s),
            text(6.3, 4.6, 1.2, song(11), u"年    月    日"_s),
            frame(0.9, 5.8, 6.7, 4.3, Fill::Clear),
            text(0.9, 5.44, 6.6, hei(15), u"十、市级教育科学规划办（或教育局）意见"_s),
            memo(1.0, 5.9, 6.5, 0.6, song(11), Memo::Flowing,
                 u"对课题负责人所在单位意见的审核意见；是否同意报澄岚省教育科学规划办公室；其他意见。 "
                 u"（高校、省直单位可以不填）"_s),
            text(5.65, 9.1, 0.6, song(11), u"公  章："_s),
            text(5.4, 9.4, 1.0, song(11), u"负责人签字："_s),
            text(6.2, 9.7, 1.2, song(11), u"年    月    日"_s),
            hRule(0.9, 1.5, 6.7),
            hRule(0.9, 6.4, 6.7),
            informalCopy(4.2, 0.5),
            pageNumber(),
            valueMemo(Field::danweiyijian, 1.0, 1.6, 6.5, 2.3, arial(10), Memo::Truncating),
            valueMemo(Field::jiaoyujuyijian, 1.0, 6.5, 6.4, 2.5, arial(10), Memo::Truncating),
        });
}

} // namespace shenbao::design
