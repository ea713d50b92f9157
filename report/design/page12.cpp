#include "report/design/builder.h"
#include "report/design/pages.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace shenbao::design {

namespace {

const char16_t* const kReasons[] = {
    u"1.活页评审未通过；",  u"2. 投票表决未通过，主要问题（可多项选择，在选择处划勾）",
    u" (1) 选票问题；",     u" (2) 课题设计问题；",
    u" (3) 研究内容问题；", u" (4) 研究方法问题；",
    u" (5) 课题组织问题；", u" (6) 经费资助问题；",
    u" (7) 研究成果问题；", u" (8) 其它问题；",
};

QString reasons()
{
    QStringList lines;
    for (const char16_t* s : kReasons)
        lines.append(QString::fromUtf16(s));
    return lines.join(u"\r\n"_s);
}

} // namespace

// "十一、学科评审组评审意见": a blank form for the review group, in four sections.
ReportPage page12()
{
    const QString date = u"年    月    日"_s;
    return page(u"Page12"_s, u"Page13"_s,
                {
                    watermarkCopy(),
                    text(0.9, 0.54, 6.6, hei(15), u"十一、学科评审组评审意见"_s),
                    frame(0.9, 0.8, 6.7, 9.4, Fill::Clear),
                    hRule(0.9, 3.0, 6.7),
                    hRule(0.9, 3.5, 6.7),
                    hRule(0.9, 4.0, 6.7),
                    hRule(0.9, 7.1, 6.7),
                    vRule(1.2, 0.8, 2.2),
                    verticalText(1.0, 0.875, 1.91, song(11), u"主  审  专  家  意  见"_s),
                    text(5.4, 2.4, 1.2, song(11), u"主审专家签字："_s),
                    text(6.2, 2.7, 1.2, song(11), date),
                    vRule(1.8, 3.0, 1.0),
                    vRule(3.0, 3.0, 1.0),
                    vRule(4.0, 3.0, 1.0),
                    vRule(5.2, 3.0, 1.0),
                    vRule(6.2, 3.0, 1.0),
                    text(1.0, 3.2, 0.8, song(11), u"评审组人数"_s),
                    text(3.2, 3.2, 0.7, song(11), u"实到人数"_s),
                    text(5.4, 3.2, 0.7, song(11), u"表决结果"_s),
                    text(1.1, 3.65, 0.5, song(11), u"赞成票"_s),
                    text(3.3, 3.65, 0.5, song(11), u"反对票"_s),
                    text(5.5, 3.65, 0.5, song(11), u"弃权票"_s),
                    vRule(1.2, 4.0, 6.2),
                    verticalText(1.0, 4.075, 1.91, song(11), u"评  审  组  建  议  立  项  意  见"_s),
                    text(5.4, 6.4, 1.2, song(11), u"评审组长签字："_s),
                    text(6.2, 6.7, 1.2, song(11), date),
                    verticalText(1.0, 7.475, 1.91, song(11), u"评  审  未  通  过  原  因"_s),
                    memo(1.4, 7.2, 6.0, 2.0, song(11), Memo::Flowing, reasons()),
                    text(2.0, 9.4, 1.2, song(11), u"主审专家签字："_s),
                    text(2.8, 9.7, 1.2, song(11), date),
                    text(5.4, 9.4, 1.2, song(11), u"评审组长签字："_s),
                    text(6.2, 9.7, 1.2, song(11), date),
                    informalCopy(4.3, 0.5),
                    pageNumber(),
                });
}

} // namespace shenbao::design
