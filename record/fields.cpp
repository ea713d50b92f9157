#include "record/fields.h"

#include <array>

namespace shenbao {
namespace {

// clang-format off
constexpr const char16_t* kResearchClass[] = {u"基础研究", u"应用研究", u"综合研究", u"其他研究"};
constexpr const char16_t* kProjectClass[] = {u"省级重点资助课题", u"省级一般资助课题", u"省级一般课题",
                                             u"青年专项资助课题", u"高校党校研究专项", u"中小教师专项课题"};
constexpr const char16_t* kSubjectClass[] = {
    u"教育基本理论与教育史", u"教育心理",   u"教育信息技术", u"比较教育",     u"德育",
    u"教育经济与管理",       u"教育发展战略", u"基础教育",   u"高等教育",     u"职业技术教育",
    u"成人教育",             u"体育卫生美育", u"民族教育",   u"国防军事教育"};
constexpr const char16_t* kResultForms[] = {u"专著", u"译著", u"论文", u"工具书", u"电脑软件", u"其他"};
constexpr const char16_t* kSex[] = {u"男", u"女"};
// The province and its cities are invented: the capital stands twice, as on the original form.
constexpr const char16_t* kBelongCity[] = {
    u"澄州市", u"澄州市", u"岚川市", u"云汀市", u"石枫市", u"鹤湾市", u"青岑市", u"杏溪市",
    u"桐阳市", u"梧原市", u"兰泽市", u"雁塘市", u"枫洲市", u"汐口市", u"芷岚苗族侗族自治州"};
constexpr const char16_t* kBelongSystem[] = {u"教育部直属高等院校",
                                             u"其他高等院校",
                                             u"省教育厅直属研究机构",
                                             u"其他科研机构",
                                             u"中小学校（包括职业学校、技校、幼儿园等）",
                                             u"军事机关及院校",
                                             u"省教育厅各处室",
                                             u"省委、省政府机关",
                                             u"市（州）教育行政部门",
                                             u"其他"};

constexpr TableColumn kMainActorColumns[] = {{u"  姓  名", 55},    {u"性别", 30},     {u"年龄", 30},
                                             {u"   职    称", 65}, {u"   职务", 65},  {u"研究专长", 140},
                                             {u"工作单位", 170}};
constexpr TableColumn kProductionColumns[] = {{u"        成果名称", 250},
                                              {u"    作者", 55},
                                              {u"成果形式", 55},
                                              {u"    发表刊物或出版单位", 180},
                                              {u"发表出版时间", 98}};
constexpr TableColumn kResearchedProjectColumns[] = {{u"主持人", 55},   {u"课题名称", 250}, {u"课题类别", 180},
                                                     {u"批准时间", 100}, {u"批准单位", 120}, {u"完成情况", 100}};
constexpr TableColumn kExpectProductionColumns[] = {{u"序号", 30},
                                                    {u"      研究阶段（起止时间）", 150},
                                                    {u"        阶段成果名称", 420},
                                                    {u"成果形式", 100},
                                                    {u"负责人", 150}};
constexpr TableColumn kFinallyProductionColumns[] = {{u"序号", 30},
                                                     {u"             完成时间", 150},
                                                     {u"        最终成果名称", 420},
                                                     {u"成果形式", 100},
                                                     {u"负责人", 150}};

// clang-format on

constexpr TableSpec kMainActor{15, kMainActorColumns};
constexpr TableSpec kProduction{14, kProductionColumns};
constexpr TableSpec kResearchedProject{5, kResearchedProjectColumns};
constexpr TableSpec kExpectProduction{10, kExpectProductionColumns};
constexpr TableSpec kFinallyProduction{3, kFinallyProductionColumns};

constexpr const char16_t* kDateHint = u"填写日期如：2008年04月15日";

using K = FieldKind;
constexpr std::span<const char16_t* const> none{};

// clang-format off
constexpr FieldSpec kCatalogue[kFieldCount] = {
    {Field::ProjectName,        u"ProjectName",        1, u"课题名称：",           K::Text,     80, none, nullptr, nullptr, nullptr},
    {Field::KeyWord,            u"KeyWord",            1, u"关键词：",             K::Text,     50, none, nullptr, nullptr, nullptr},
    {Field::ResearchClass,      u"ResearchClass",      1, u"研究类型：",           K::Choice,    0, kResearchClass, nullptr, nullptr, nullptr},
    {Field::ProjectClass,       u"ProjectClass",       1, u"课题类别：",           K::Choice,    0, kProjectClass, nullptr, nullptr, nullptr},
    {Field::SubjectClass,       u"SubjectClass",       1, u"学科类别：",           K::Choice,    0, kSubjectClass, nullptr, nullptr, nullptr},
    {Field::Presider,           u"Presider",           1, u"主持人：",             K::Text,     20, none, nullptr, nullptr, nullptr},
    {Field::EduCode,            u"EduCode",            1, u"教育电子身份证号：",   K::Code,     12, none, nullptr, u"0000000000", nullptr},
    {Field::InputDate,          u"InputDate",          1, u"申报日期：",           K::Text,     30, none, kDateHint, nullptr, nullptr},
    {Field::ExpectCompleteDate, u"ExpectCompleteDate", 1, u"预期完成时间：",       K::Text,     30, none, kDateHint, nullptr, nullptr},
    {Field::ApplyOutlay,        u"ApplyOutlay",        1, u"申请资助经费（万元）：", K::Text,    6, none, u"必须填写阿拉伯数字，不可复制粘贴", nullptr, nullptr},
    {Field::ExpectProduction1,  u"ExpectProduction1",  1, u"2、",                  K::Choice,    0, kResultForms, nullptr, nullptr, nullptr},
    {Field::ExpectProduction2,  u"ExpectProduction2",  1, u"3、",                  K::Choice,    0, kResultForms, nullptr, nullptr, nullptr},

    {Field::Sex,                u"Sex",                2, u"性别：",               K::Choice,    0, kSex, nullptr, nullptr, nullptr},
    {Field::Nation,             u"Nation",             2, u"民族：",               K::Text,     20, none, nullptr, nullptr, nullptr},
    {Field::Birthday,           u"Birthday",           2, u"出生日期：",           K::Text,     30, none, kDateHint, nullptr, nullptr},
    {Field::IDcard,             u"IDcard",             2, u"身份证号：",           K::Text,     18, none, u"身份证号只允许填写数字和字母X，不可复制粘贴", nullptr, nullptr},
    {Field::DutyAdmin,          u"DutyAdmin",          2, u"行政职务：",           K::Text,     20, none, nullptr, nullptr, nullptr},
    {Field::DutySpecial,        u"DutySpecial",        2, u"专业职务：",           K::Text,     20, none, nullptr, nullptr, nullptr},
    {Field::ResearchSpecial,    u"ResearchSpecial",    2, u"研究专长：",           K::Text,     40, none, nullptr, nullptr, nullptr},
    {Field::LastDiploma,        u"LastDiploma",        2, u"最后学历：",           K::Text,     10, none, nullptr, nullptr, nullptr},
    {Field::LastDegree,         u"LastDegree",         2, u"最后学位：",           K::Text,     10, none, nullptr, nullptr, nullptr},
    {Field::Tutor,              u"Tutor",              2, u"担任导师：",           K::Text,     10, none, nullptr, nullptr, nullptr},
    {Field::BelongCity,         u"BelongCity",         2, u"所在市（州）：",       K::Choice,    0, kBelongCity, nullptr, nullptr, nullptr},
    {Field::BelongSystem,       u"BelongSystem",       2, u"所属系统：",           K::Choice,    0, kBelongSystem, nullptr, nullptr, nullptr},
    {Field::Department,         u"Department",         2, u"工作单位：",           K::Text,     80, none, nullptr, nullptr, nullptr},
    {Field::ContactMail,        u"ContactMail",        2, u"电子邮箱：",           K::Text,     25, none, nullptr, nullptr, nullptr},
    {Field::ContactAddress,     u"ContactAddress",     2, u"通讯地址：",           K::Text,     80, none, nullptr, nullptr, nullptr},
    {Field::PostCode,           u"PostCode",           2, u"邮政编码：",           K::Text,      6, none, nullptr, nullptr, nullptr},
    {Field::ContactTelArea,     u"ContactTelArea",     2, u"区号：",               K::Text,      6, none, nullptr, nullptr, nullptr},
    {Field::ContactTelHome,     u"ContactTelHome",     2, u"家中电话：",           K::Text,     15, none, nullptr, nullptr, nullptr},
    {Field::ContactTelDepartmet,u"ContactTelDepartmet",2, u"办公室电话：",         K::Text,     15, none, nullptr, nullptr, nullptr},
    {Field::ContactMobile,      u"ContactMobile",      2, u"手机号码：",           K::Text,     15, none, nullptr, nullptr, nullptr},

    {Field::MainActor,          u"MainActor",          3, u"主要参加者（限填15人）", K::Table,  0, none, u"本页需要填写：姓名、性别、年龄、职称、职务、研究专长、工作单位七项数据", nullptr, &kMainActor},
    {Field::Production,         u"Production",         4, u"主持人和课题组成员近三年已取得与本课题有关的研究成果（限报14项）", K::Table, 0, none, u"本页需要填写成果名称、作者、成果形式、发表刊物或出版单位、发表出版时间五项内容", nullptr, &kProduction},
    {Field::ResearchedProject,  u"ResearchedProject",  5, u"主持人和课题组成员五年来承担的研究课题（限报5项）", K::Table, 0, none, u"本页需要填写主持人、课题名称、课题类别、批准时间、批准单位、完成情况六项内容", nullptr, &kResearchedProject},

    {Field::ProjectReasoning,   u"ProjectReasoning",   6, u"设计论证",             K::LongText, 8000, none, nullptr, nullptr, nullptr},
    {Field::ProjectAnalyze,     u"ProjectAnalyze",     7, u"可行性分析",           K::LongText, 8000, none, nullptr, nullptr, nullptr},

    {Field::ExpectProduction,   u"ExpectProduction",   8, u"主要阶段性成果（限报10项）", K::Table, 0, none, u"本表格需要填写序号、研究阶段（起止时间）、阶段成果名称、成果形式、负责人五项内容", nullptr, &kExpectProduction},
    {Field::FinallyProduction,  u"FinallyProduction",  8, u"最终研究成果（限报3项，其中必含研究报告）", K::Table, 0, none, u"本表格要填写序号、完成时间、最终成果名称、成果形式、负责人五项内容", nullptr, &kFinallyProduction},

    {Field::OutlayPromises,     u"OutlayPromises",     9, u"经费管理承诺：",       K::LongText, 1100, none, nullptr, nullptr, nullptr},
    {Field::OutlayDepartment,   u"OutlayDepartment",   9, u"经费管理单位名称：",   K::Text,     80, none, nullptr, nullptr, nullptr},
    {Field::OutlayAddress,      u"OutlayAddress",      9, u"通讯地址：",           K::Text,     80, none, nullptr, nullptr, nullptr},
    {Field::OutlayPostcode,     u"OutlayPostcode",     9, u"邮政编码：",           K::Text,      6, none, nullptr, nullptr, nullptr},
    {Field::OutlayAccounts,     u"OutlayAccounts",     9, u"帐号：",               K::Text,     25, none, nullptr, nullptr, nullptr},
    {Field::OutlayBank,         u"OutlayBank",         9, u"开户银行：",           K::Text,     80, none, nullptr, nullptr, nullptr},

    {Field::tuijian1,           u"tuijian1",          10, u"第一推荐人意见:（请填写推荐意见、推荐人姓名、专业职称、职务、研究专长）", K::LongText, 1100, none, nullptr, nullptr, nullptr},
    {Field::tuijian2,           u"tuijian2",          10, u"第二推荐人意见:（请填写推荐意见、推荐人姓名、专业职称、职务、研究专长）", K::LongText, 1100, none, nullptr, nullptr, nullptr},
    {Field::danweiyijian,       u"danweiyijian",      10, u"课题负责人所在单位意见:", K::LongText, 700, none, nullptr, nullptr, nullptr},
    {Field::jiaoyujuyijian,     u"jiaoyujuyijian",    10, u"市级教育科学规划办（或教育局）意见:（高校、省直单位可以不填）", K::LongText, 700, none, nullptr, nullptr, nullptr},
};
// clang-format on

constexpr bool catalogueInOrder()
{
    for (int i = 0; i < kFieldCount; ++i)
        if (int(kCatalogue[i].field) != i)
            return false;
    return true;
}
static_assert(catalogueInOrder(), "the catalogue must list the fields in enum order");

} // namespace

std::span<const FieldSpec> fieldCatalogue()
{
    return kCatalogue;
}

const FieldSpec& fieldSpec(Field f)
{
    return kCatalogue[int(f)];
}

QString fieldName(Field f)
{
    return QString::fromUtf16(fieldSpec(f).name);
}

std::optional<Field> fieldByName(QStringView name)
{
    for (const FieldSpec& spec : kCatalogue)
        if (name == QStringView(spec.name))
            return spec.field;
    return std::nullopt;
}

QStringList choiceItems(Field f)
{
    QStringList items;
    for (const char16_t* item : fieldSpec(f).items)
        items.append(QString::fromUtf16(item));
    return items;
}

int choiceIndex(Field f, QStringView text)
{
    const auto items = fieldSpec(f).items;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (text.compare(QStringView(items[i]), Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

int tableRows(Field f)
{
    const TableSpec* t = fieldSpec(f).table;
    return t ? t->dataRows : 0;
}

int tableColumns(Field f)
{
    const TableSpec* t = fieldSpec(f).table;
    return t ? int(t->columns.size()) : 0;
}

QString presetResultForm()
{
    return QStringLiteral("研究报告");
}

QStringList provinceCities()
{
    QStringList cities = choiceItems(Field::BelongCity);
    cities.removeAt(1); // the capital's second entry
    return cities;
}

} // namespace shenbao
