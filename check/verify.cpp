#include "check/verify.h"

#include "record/textrules.h"

namespace shenbao {
namespace {

enum class Test {
    Empty,        // text, choice or long text of zero characters
    Length15or18, // GBK byte length neither 15 nor 18
    Length6,      // GBK byte length not 6
    Row1,         // a cell of data row 1 is empty
};

struct Rule
{
    Field field;
    Test test;
    const char16_t* message; // after the page's number, which the field's page gives
};

using T = Test;
// clang-format off
constexpr Rule kRules[] = {
    {Field::ProjectName,         T::Empty,        u"课题名称  未填写"},
    {Field::KeyWord,             T::Empty,        u"关键词  未填写"},
    {Field::ResearchClass,       T::Empty,        u"研究类型  未填写"},
    {Field::ProjectClass,        T::Empty,        u"课题类别  未填写"},
    {Field::SubjectClass,        T::Empty,        u"学科类别  未填写"},
    {Field::Presider,            T::Empty,        u"主持人  未填写"},
    {Field::InputDate,           T::Empty,        u"申请日期  未填写"},
    {Field::ExpectCompleteDate,  T::Empty,        u"预期完成日期  未填写"},
    {Field::ApplyOutlay,         T::Empty,        u"申请资助经费  未填写"},
    {Field::ExpectProduction1,   T::Empty,        u"预期最终成果2  未填写"},
    {Field::ExpectProduction2,   T::Empty,        u"预期最终成果3  未填写"},
    {Field::Sex,                 T::Empty,        u"性别  未填写"},
    {Field::Nation,              T::Empty,        u"民族  未填写"},
    {Field::Birthday,            T::Empty,        u"出生日期  未填写"},
    {Field::IDcard,              T::Length15or18, u"身份证号码  应该为15或者18位"},
    {Field::DutyAdmin,           T::Empty,        u"行政职务  未填写"},
    {Field::DutySpecial,         T::Empty,        u"专业职务  未填写"},
    {Field::ResearchSpecial,     T::Empty,        u"研究专长  未填写"},
    {Field::LastDiploma,         T::Empty,        u"最后学历  未填写"},
    {Field::LastDegree,          T::Empty,        u"最后学位  未填写"},
    {Field::Tutor,               T::Empty,        u"担任导师  未填写"},
    {Field::BelongCity,          T::Empty,        u"所在市州  未填写"},
    {Field::BelongSystem,        T::Empty,        u"所属系统  未填写"},
    {Field::Department,          T::Empty,        u"工作单位  未填写"},
    {Field::ContactMail,         T::Empty,        u"电子邮箱  未填写"},
    {Field::ContactAddress,      T::Empty,        u"通讯地址  未填写"},
    {Field::PostCode,            T::Length6,      u"邮政编码  应该为6位"},
    {Field::ContactTelArea,      T::Empty,        u"区号  未填写"},
    {Field::ContactTelHome,      T::Empty,        u"家中电话  未填写"},
    {Field::ContactTelDepartmet, T::Empty,        u"办公室电话  未填写"},
    {Field::ContactMobile,       T::Empty,        u"手机号码  未填写"},
    {Field::MainActor,           T::Row1,         u"主要参加者  资料未填写完整"},
    {Field::Production,          T::Row1,         u"相关成果  资料未填写完整"},
    {Field::ResearchedProject,   T::Row1,         u"承担课题  资料未填写完整"},
    {Field::ProjectReasoning,    T::Empty,        u"设计论证  未填写"},
    {Field::ProjectAnalyze,      T::Empty,        u"可行性分析  未填写"},
    {Field::ExpectProduction,    T::Row1,         u"主要阶段性成果  资料未填写完整"},
    {Field::FinallyProduction,   T::Row1,         u"最终研究成果  资料未填写完整"},
    {Field::OutlayPromises,      T::Empty,        u"经费管理承诺  未填写"},
    {Field::OutlayDepartment,    T::Empty,        u"经费管理单位名称  未填写"},
    {Field::OutlayAddress,       T::Empty,        u"通讯地址  未填写"},
    {Field::OutlayPostcode,      T::Length6,      u"邮政编码  必须为6位"},
    {Field::OutlayBank,          T::Empty,        u"开户银行  未填写"},
    {Field::OutlayAccounts,      T::Empty,        u"帐号  未填写"},
    {Field::tuijian1,            T::Empty,        u"第一推荐人意见  未填写"},
    {Field::tuijian2,            T::Empty,        u"第二推荐人意见  未填写"},
    {Field::danweiyijian,        T::Empty,        u"单位意见  未填写"},
    {Field::jiaoyujuyijian,      T::Empty,        u"市教育局意见  未填写 高校、省直单位可不填"},
};
// clang-format on
static_assert(std::size(kRules) == 48);

bool fails(const Rule& rule, const ApplicationRecord& record)
{
    switch (rule.test) {
    case Test::Empty:
        return record.value(rule.field).isEmpty();
    case Test::Length15or18: {
        const int n = gbkByteLength(record.value(rule.field));
        return n != 15 && n != 18;
    }
    case Test::Length6:
        return gbkByteLength(record.value(rule.field)) != 6;
    case Test::Row1: {
        const TableGrid& t = record.table(rule.field);
        for (int c = 0; c < t.columns(); ++c)
            if (t.cell(1, c).isEmpty())
                return true;
        return false;
    }
    }
    return false;
}

// "01、课题名称  未填写": the page of the rule's field, then its message.
QString entryOf(const Rule& rule)
{
    return QStringLiteral("%1、").arg(fieldSpec(rule.field).page, 2, 10, QChar(u'0')) +
           QString::fromUtf16(rule.message);
}

} // namespace

QStringList verify(const ApplicationRecord& record)
{
    QStringList messages;
    for (const Rule& rule : kRules)
        if (fails(rule, record))
            messages.append(entryOf(rule));
    return messages;
}

int entryPage(const QString& entry)
{
    for (const Rule& rule : kRules)
        if (entry == entryOf(rule))
            return fieldSpec(rule.field).page;
    return 0;
}

QString checkEntry(Field field)
{
    for (const Rule& rule : kRules)
        if (rule.field == field)
            return entryOf(rule);
    return {};
}

} // namespace shenbao
