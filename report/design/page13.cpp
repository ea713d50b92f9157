#include "report/design/builder.h"
#include "report/design/pages.h"

using namespace Qt::StringLiterals;

namespace shenbao::design {

// Sections twelve and thirteen: approval and the funding decision (a blank form). The page
// numbers restart after this page: the reset is its last item, so this sheet still shows the
// running number.
ReportPage page13()
{
    const QString date = u"年    月    日"_s;
    ReportPage p =
        page(u"Page13"_s, u"Page14"_s,
             {
                 watermarkCopy(),
                 text(0.9, 0.54, 6.6, hei(15), u"十二、澄岚省教育科学规划领导小组审批意见"_s),
                 frame(0.9, 0.8, 6.7, 5.5, Fill::Clear),
                 text(5.4, 5.5, 1.0, song(11), u"负责人签名："_s),
                 text(6.3, 5.9, 1.2, song(11), date),
                 text(0.9, 6.54, 6.6, hei(15), u"十三、澄岚省教育科学规划领导小组办公室批准经费意见"_s),
                 frame(0.9, 6.9, 6.7, 3.2, Fill::Clear),
                 text(5.4, 8.9, 1.0, song(11), u"公     章："_s),
                 text(5.4, 9.3, 1.0, song(11), u"负责人签字："_s),
                 text(6.2, 9.7, 1.2, song(11), date),
                 hRule(0.9, 7.4, 6.7),
                 text(1.0, 7.1, 1.0, song(11), u"批准资助类别"_s),
                 text(4.3, 7.1, 0.7, song(11), u"批准金额"_s),
                 text(5.45, 7.1, 0.4, song(11), u"万元"_s),
                 text(5.85, 7.1, 0.7, song(11), u"拨款次数"_s),
                 hRule(0.9, 8.4, 6.7),
                 memo(1.0, 7.6, 0.5, 0.7, arial(10), Memo::Flowing, u"年度拨\r\n款计划\r\n(万元)"_s),
                 hRule(1.5, 7.9, 6.1),
             });
    for (double x : {2.1, 4.1, 5.0, 5.8, 6.5})
        p.items.push_back(vRule(x, 6.9, 0.5));
    for (double x : {1.5, 2.7, 3.9, 5.2, 6.4})
        p.items.push_back(vRule(x, 7.4, 1.0));
    for (double x : {2.5, 3.7, 5.0, 6.2, 7.4})
        p.items.push_back(text(x, 7.6, 0.2, song(11), u"年"_s));
    p.items.push_back(informalCopy(5.4, 0.5));
    p.items.push_back(pageNumber());
    p.items.push_back(pageNumberReset());
    return p;
}

} // namespace shenbao::design
