#include "report/design/builder.h"
#include "report/design/pages.h"

using namespace Qt::StringLiterals;

namespace shenbao::design {

// The cover: the ID box and the office box, the two title lines, six labelled fields with their
// underlines, and the office's name at the foot. Masters of the watermark and the informal mark.
ReportPage page01()
{
    return page(u"Page1"_s, u"Page2"_s,
                {
                    watermarkMaster(),
                    text(2.6, 2.9, 4.1, hei(26), u"澄岚省教育科学规划课题"_s),
                    frame(5.7, 1.2, 2.2, 0.9, Fill::White),
                    hRule(5.7, 1.65, 2.2, Line::OnePoint),
                    vRule(6.3, 1.2, 0.9, Line::OnePoint),
                    text(5.8, 1.34, 0.4, song(10), u"年度"_s),
                    text(5.8, 1.78, 0.3, song(10), u"编号"_s),
                    text(5.7, 2.15, 2.1, song(10), u"（以上由省教育科学规划办填写）"_s),
                    text(1.5, 4.6, 1.5, song(15), u"学  科  分  类"_s),
                    text(1.5, 5.36, 1.5, song(15), u"课  题  类  别"_s),
                    text(1.5, 5.92, 1.5, song(15), u"课  题  名  称"_s),
                    text(1.5, 6.88, 1.9, song(15), u"课 题 主 持 人"_s),
                    text(1.5, 7.64, 1.5, song(15), u"主持人所在单位"_s),
                    text(1.5, 8.4, 2.0, song(15), u"填  报  日  期"_s),
                    text(2.7, 9.4, 5.4, song(15), u"澄岚省教育科学规划领导小组办公室"_s),
                    text(3.8, 9.8, 1.5, song(15), u"2008年制"_s),
                    hRule(3.0, 4.86, 4.5, Line::OnePoint),
                    hRule(3.0, 5.62, 4.5, Line::OnePoint),
                    hRule(3.0, 6.48, 4.5, Line::OnePoint),
                    hRule(3.0, 7.9, 4.5, Line::OnePoint),
                    hRule(3.0, 8.65, 4.5, Line::OnePoint),
                    hRule(3.0, 7.12, 4.5, Line::OnePoint),
                    frame(1.0, 1.2, 2.2, 0.9, Fill::White),
                    text(1.1, 1.34, 1.2, song(10), u"教育电子身份证号"_s),
                    hRule(1.0, 1.65, 2.2),
                    value(Field::EduCode, 1.1, 1.8, 1.0, times(10)),
                    value(Field::Presider, 3.1, 6.88, 1.9, song(15)),
                    value(Field::Department, 3.1, 7.62, 1.0, song(15)),
                    value(Field::ProjectClass, 3.1, 5.36, 1.0, song(15)),
                    value(Field::SubjectClass, 3.1, 4.6, 1.0, song(15)),
                    value(Field::InputDate, 3.1, 8.35, 1.0, song(15)),
                    informalMaster(),
                    pageNumberReset(),
                    text(3.2, 3.7, 3.0, song(26), u"立项申请·评审书"_s),
                    valueMemo(Field::ProjectName, 3.1, 5.9, 4.4, 0.6, song(15), Memo::Truncating),
                });
}

} // namespace shenbao::design
