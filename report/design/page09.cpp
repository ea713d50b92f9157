#include "report/design/builder.h"
#include "report/design/pages.h"

using namespace Qt::StringLiterals;

namespace shenbao::design {

// "七、经费": the unit's funding promise, and the unit that manages the funds.
ReportPage page09()
{
    return page(u"Page9"_s, u"Page10"_s,
                {
                    watermarkCopy(),
                    text(0.9, 0.54, 6.6, hei(15), u"七、经费"_s),
                    frame(0.9, 0.8, 6.7, 9.4, Fill::Clear),
                    memo(1.0, 0.9, 6.5, 0.6, song(11), Memo::Flowing,
                         u"由单位承诺严格监督课题经费合理有效的使用，督促课题主持人严格按《澄岚省教育科学规划"
                         u"课题经费暂行管理办法》"
                         u"经费开支，遵守财务制度。承诺保证课题经费单独立户、专款专用、不挤占和挪用经费。承诺"
                         u"配套经费的具体数额和"
                         u"渠道，保证配套经费的落实。"_s),
                    hRule(0.9, 1.5, 6.7),
                    valueMemo(Field::OutlayPromises, 1.0, 1.6, 6.5, 4.5, arial(10), Memo::Truncating),
                    text(1.4, 6.2, 1.6, song(11), u"单位负责人签章："_s),
                    text(4.5, 6.2, 0.9, song(11), u"单位公章："_s),
                    hRule(0.9, 6.5, 6.7),
                    vRule(2.1, 6.5, 3.7),
                    memo(1.0, 7.6, 1.1, 0.8, song(11), Memo::Flowing,
                         u"经费管理单位名称、通讯地址、邮政编码、开户银行、帐号"_s),
                    text(2.2, 6.6, 1.6, song(11), u"经费管理单位名称："_s),
                    value(Field::OutlayDepartment, 2.2, 6.8, 5.3, song(11)),
                    text(2.2, 7.2, 1.6, song(11), u"通讯地址："_s),
                    valueMemo(Field::OutlayAddress, 2.2, 7.4, 5.3, 0.5, song(11), Memo::Flowing),
                    text(2.2, 8.0, 0.9, song(11), u"邮政编码："_s),
                    value(Field::OutlayPostcode, 3.1, 8.0, 1.1, song(11)),
                    text(2.2, 8.6, 1.6, song(11), u"开户银行："_s),
                    valueMemo(Field::OutlayBank, 2.2, 8.8, 5.3, 0.7, song(11), Memo::Flowing),
                    text(2.2, 9.5, 0.5, song(11), u"帐号："_s),
                    value(Field::OutlayAccounts, 2.9, 9.5, 4.4, song(11)),
                    informalCopy(3.0, 0.5),
                    pageNumber(),
                });
}

} // namespace shenbao::design
