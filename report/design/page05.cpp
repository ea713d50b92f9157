#include "report/design/builder.h"
#include "report/design/pages.h"

using namespace Qt::StringLiterals;

namespace shenbao::design {

// Sections two and three: fourteen prior results and five projects undertaken.
ReportPage page05()
{
    ReportPage p = page(
        u"Page5"_s, u"Page6"_s,
        {
            watermarkCopy(),
            text(0.9, 0.54, 6.6, hei(15), u"二、主持人和课题组成员近三年已取得的与本课题有关的研究成果"_s),
            frame(0.9, 0.8, 7.0, 6.0, Fill::Clear),
        });
    for (int k = 0; k <= 13; ++k)
        p.items.push_back(hRule(0.9, 1.2 + 0.4 * k, 7.0));
    for (double x : {2.9, 3.7, 4.6, 6.8})
        p.items.push_back(vRule(x, 0.8, 6.0));
    p.items.push_back(label(1.1, 0.9, u"成  果  名  称"_s, 11));
    p.items.push_back(label(3.15, 0.9, u"作  者"_s, 11));
    p.items.push_back(label(3.85, 0.9, u"成果形式"_s, 11));
    p.items.push_back(label(4.9, 0.9, u"发表刊物或出版单位"_s, 11));
    p.items.push_back(label(6.85, 0.9, u"发表出版时间"_s, 11));
    for (int r = 1; r <= 14; ++r) {
        const double y = 1.2 + 0.4 * (r - 1);
        p.items.push_back(valueMemo(cellItemName(Field::Production, r, 1), 0.95, y + 0.02, 1.9, 0.4, song(10),
                                    Memo::Truncating));
        p.items.push_back(value(cellItemName(Field::Production, r, 2), 3.0, y, r == 1 ? 0.8 : 0.7, song(11)));
        p.items.push_back(value(cellItemName(Field::Production, r, 3), 3.8, y, 0.7, song(11)));
        // Only row 2's journal box flows on; the others are cut after two lines.
        p.items.push_back(valueMemo(cellItemName(Field::Production, r, 4), 4.65, y + 0.02, 2.1, 0.4, song(11),
                                    r == 2 ? Memo::Flowing : Memo::Truncating));
        p.items.push_back(value(cellItemName(Field::Production, r, 5), 6.85, y + 0.1, 1.1, song(11)));
    }

    p.items.push_back(text(0.9, 6.94, 6.6, hei(15), u"三、主持人和课题组成员近五年以来承担的研究课题"_s));
    p.items.push_back(frame(0.9, 7.3, 7.0, 3.3, Fill::Clear));
    for (double y : {7.6, 8.2, 8.8, 9.4, 10.0})
        p.items.push_back(hRule(0.9, y, 7.0));
    for (double x : {1.6, 3.4, 4.4, 5.2, 7.1})
        p.items.push_back(vRule(x, 7.3, 3.3));
    p.items.push_back(label(1.05, 7.35, u"主持人"_s, 11));
    p.items.push_back(label(2.15, 7.35, u"课题名称"_s, 11));
    p.items.push_back(label(3.65, 7.35, u"课题类别"_s, 11));
    p.items.push_back(label(4.45, 7.35, u"批准时间"_s, 11));
    p.items.push_back(label(5.75, 7.35, u"批 准 单 位"_s, 11));
    p.items.push_back(label(7.2, 7.35, u"完成情况"_s, 11));
    for (int r = 1; r <= 5; ++r) {
        const double y = 7.65 + 0.6 * (r - 1);
        const auto name = [r](int c) { return cellItemName(Field::ResearchedProject, r, c); };
        p.items.push_back(value(name(1), 1.0, y, 0.6, arial(10)));
        p.items.push_back(valueMemo(name(2), 1.65, y, 1.7, 0.5, song(10), Memo::Truncating));
        p.items.push_back(valueMemo(name(3), 3.45, y, 0.9, 0.5, song(11), Memo::Truncating));
        p.items.push_back(value(name(4), 4.5, y, 0.6, arial(10)));
        p.items.push_back(valueMemo(name(5), 5.25, y, 1.8, 0.5, song(10), Memo::Truncating));
        p.items.push_back(valueMemo(name(6), 7.15, y, 0.7, 0.5, song(11), Memo::Truncating));
    }

    p.items.push_back(informalCopy(3.0, 0.2));
    p.items.push_back(pageNumber());
    return p;
}

} // namespace shenbao::design
