#include "report/design/builder.h"
#include "report/design/pages.h"

#include <vector>

using namespace Qt::StringLiterals;

namespace shenbao::design {

namespace {

struct Label
{
    double left;
    const char16_t* text;
};
struct Value
{
    double left;
    Field field;
    double width;
};
struct Rule
{
    double x;
    double top;
    double length;
};

// The eleven rows above the participants block: text top, its labels and values, and the
// vertical rules that start in the row (with their extent when they span several rows).
struct Row
{
    double textTop;
    std::vector<Rule> rules;
    std::vector<Label> labels;
    std::vector<Value> values;
};

// clang-format off
const Row kRows[] = {
    {0.8, {{1.65, 0.7, 0.7}}, {{1.0, u"课题名称"}}, {{1.7, Field::ProjectName, 6.2}}},
    {1.12, {}, {{1.0, u"关键词"}}, {{1.7, Field::KeyWord, 1.0}}},
    {1.5, {{1.85, 1.4, 3.15}, {3.25, 1.4, 1.75}, {4.3, 1.4, 2.1}, {5.6, 1.4, 1.4}, {6.3, 1.4, 1.4}},
     {{1.05, u"课题类别"}, {3.4, u"学科分类"}, {5.65, u"研究类型"}},
     {{1.9, Field::ProjectClass, 1.0}, {4.4, Field::SubjectClass, 1.0}, {6.4, Field::ResearchClass, 1.4}}},
    {1.8, {{3.8, 1.75, 0.35}, {4.85, 1.75, 0.35}},
     {{0.98, u"主持人姓名"}, {3.4, u"性别"}, {4.4, u"民族"}, {5.65, u"出生日期"}},
     {{1.9, Field::Presider, 1.3}, {3.9, Field::Sex, 0.3}, {4.9, Field::Nation, 0.5}, {6.4, Field::Birthday, 1.4}}},
    {2.2, {}, {{1.05, u"行政职务"}, {3.4, u"专业职务"}, {5.65, u"研究专长"}},
     {{1.9, Field::DutyAdmin, 1.0}, {4.4, Field::DutySpecial, 1.0}, {6.4, Field::ResearchSpecial, 1.5}}},
    {2.55, {}, {{1.05, u"最后学历"}, {3.4, u"最后学位"}, {5.65, u"担任导师"}},
     {{1.9, Field::LastDiploma, 1.0}, {4.4, Field::LastDegree, 1.0}, {6.4, Field::Tutor, 1.0}}},
    {2.9, {}, {{0.95, u"所在市（州）"}, {3.4, u"所属系统"}},
     {{1.9, Field::BelongCity, 1.0}, {4.4, Field::BelongSystem, 3.2}}},
    {3.22, {{5.3, 3.15, 0.35}}, {{1.0, u"工作单位"}, {4.6, u"电子邮箱"}},
     {{1.9, Field::Department, 2.5}, {5.5, Field::ContactMail, 1.0}}},
    {3.6, {{5.65, 3.5, 0.35}, {6.4, 3.5, 0.35}}, {{1.0, u"通讯地址"}, {5.75, u"邮政编码"}},
     {{1.9, Field::ContactAddress, 3.7}, {6.5, Field::PostCode, 1.1}}},
    {3.95, {{2.2, 3.85, 0.35}, {2.9, 3.85, 0.35}, {3.4, 3.85, 0.35}, {4.4, 3.85, 0.35}, {4.9, 3.85, 0.35},
            {5.9, 3.85, 0.35}, {6.4, 3.85, 0.35}},
     {{1.0, u"联系电话"}, {1.9, u"区号"}, {3.0, u"办公"}, {4.5, u"家庭"}, {6.0, u"手机"}},
     {{2.3, Field::ContactTelArea, 0.6}, {3.5, Field::ContactTelDepartmet, 0.8}, {5.0, Field::ContactTelHome, 1.0},
      {6.6, Field::ContactMobile, 1.0}}},
    {4.25, {}, {{1.0, u"身份证号"}}, {{1.9, Field::IDcard, 2.4}}},
};
// clang-format on

// The participants: column c of the form's table is item column c + 1.
struct Column
{
    double left;
    double width;
    double pt;
};
constexpr Column kActorColumns[] = {{1.3, 0.5, 11}, {2.0, 0.3, 11}, {2.4, 0.3, 11}, {2.8, 0.5, 11},
                                    {3.5, 0.7, 10}, {4.3, 0.5, 10}, {5.5, 0.5, 10}};
constexpr double kActorRowTops[] = {4.9, 5.2, 5.6, 5.9, 6.3, 6.6, 7.0, 7.3,
                                    7.7, 8.0, 8.4, 8.7, 9.1, 9.4, 9.8};
constexpr Label kActorHeaders[] = {{1.4, u"姓名"},        {1.97, u"性别"}, {2.4, u"年龄"},
                                   {2.9, u"职 称"},       {3.7, u"职 务"}, {4.4, u"研究专长"},
                                   {5.9, u"工 作 单 位"}, {7.6, u"签名"}};
constexpr double kActorRules[] = {1.2, 1.9, 2.3, 2.7, 3.45, 4.2, 5.4, 7.4};
constexpr double kFullRules[] = {1.05, 1.4, 1.75, 2.1, 2.45, 2.8, 3.15, 3.5, 3.85, 4.2, 4.55, 10.05, 10.35};

QString str(const char16_t* s)
{
    return QString::fromUtf16(s);
}

} // namespace

// "一、基本数据表": eleven rows of the leader's data, the fifteen participants, and the expected
// results and funding below them.
ReportPage page04()
{
    ReportPage p = page(u"Page4"_s, u"Page5"_s,
                        {
                            watermarkCopy(),
                            text(0.9, 0.45, 1.4, hei(12), u"一、基本数据表"_s),
                            frame(0.9, 0.7, 7.1, 10.0, Fill::Clear),
                        });
    for (double y : kFullRules)
        p.items.push_back(hRule(0.9, y, 7.1));

    for (const Row& row : kRows) {
        for (const Rule& r : row.rules)
            p.items.push_back(vRule(r.x, r.top, r.length));
        for (const Label& l : row.labels)
            p.items.push_back(label(l.left, row.textTop, str(l.text), 11));
        for (const Value& v : row.values) {
            const QString field = fieldName(v.field);
            // The subject's long names would not fit the cell in 11 pt.
            const double pt = field == u"SubjectClass" ? 8 : 11;
            p.items.push_back(value(field, v.left, row.textTop, v.width, song(pt)));
        }
    }

    p.items.push_back(verticalText(1.0, 6.975, 1.41, song(11), u"主  要  参  加  者"_s));
    for (double x : kActorRules)
        p.items.push_back(vRule(x, 4.55, 5.5));
    for (double y = 4.8; y < 9.7 + 0.001; y += 0.35)
        p.items.push_back(hRule(1.2, y, 6.8));
    for (const Label& l : kActorHeaders)
        p.items.push_back(label(l.left, 4.6, str(l.text), 11));
    for (int r = 1; r <= 15; ++r)
        for (int c = 1; c <= 7; ++c) {
            const Column& col = kActorColumns[c - 1];
            p.items.push_back(value(cellItemName(Field::MainActor, r, c), col.left, kActorRowTops[r - 1],
                                    col.width, song(col.pt)));
        }

    for (double x : {2.1, 3.45, 5.55})
        p.items.push_back(vRule(x, 10.05, 0.3));
    p.items.push_back(label(1.0, 10.12, u"预期最终成果"_s, 11));
    p.items.push_back(label(2.3, 10.12, u"研究报告"_s, 11));
    p.items.push_back(value(Field::ExpectProduction1, 3.5, 10.12, 1.7, song(11)));
    p.items.push_back(value(Field::ExpectProduction2, 5.8, 10.12, 1.7, song(11)));
    for (double x : {3.1, 5.4, 6.5})
        p.items.push_back(vRule(x, 10.35, 0.35));
    p.items.push_back(label(1.0, 10.4, u"申请资助经费（单位：万元）"_s, 11));
    p.items.push_back(value(Field::ApplyOutlay, 3.2, 10.4, 1.0, song(11)));
    p.items.push_back(label(5.5, 10.45, u"预计完成时间"_s, 11));
    p.items.push_back(value(Field::ExpectCompleteDate, 6.6, 10.4, 1.0, song(11)));

    p.items.push_back(informalCopy(3.0, 0.4));
    p.items.push_back(pageNumber(u"pagedata"_s));
    return p;
}

} // namespace shenbao::design
