#include "app/windowlayout.h"

#include <QApplication>
#include <QPalette>

namespace shenbao {
namespace {

using K = ControlKind;
using C = Colour;

constexpr ControlFont kInherit{};
constexpr ControlFont kHei16{u"黑体", 16, false};
constexpr ControlFont kSong12{u"宋体", 12, false};
constexpr ControlFont kSong14{u"宋体", 14, false};
constexpr ControlFont kSong21{u"宋体", 21, false};
constexpr ControlFont kFlat16{u"新宋体", 16, false};

constexpr int H = kDefaultHeight;
constexpr int Above = kCaptionAbove;
constexpr int R = AnchorRight;
constexpr int RB = AnchorRight | AnchorBottom;

// clang-format off
// kind, name, parent, left, top, width, height, text, font, colour, tab, caption, captionLeft, captionTop, anchors
constexpr ControlSpec kPage1[] = {
    {K::Label, u"Label31", nullptr, 72, 32, 396, 35, u"澄岚省教育科学规划课题", {u"黑体", 35, true}, C::WindowText, -1},
    {K::Label, u"Label32", nullptr, 136, 80, 264, 33, u"立项申请·评审书", {u"宋体", 32, true}, C::WindowText, -1},
    {K::Label, u"Label33", nullptr, 120, 408, 336, 21, u"澄岚省教育科学规划领导小组办公室", kSong21, C::WindowText, -1},
    {K::Label, u"Label34", nullptr, 248, 440, 86, 21, u"2008年制", kSong21, C::WindowText, -1},
    {K::Notice, u"passby", nullptr, 32, 472, 529, 20, u"本项目文件为正式文档，仅供打印和预览,不允许修改！", {u"新宋体", 20, true}, C::Red, -1},
    {K::HiddenLabel, u"ProjectID", nullptr, 8, 8, 144, 13, nullptr, kInherit, C::Blue, -1},
    {K::Group, u"GroupBox1", nullptr, 0, 128, 569, 265, u"基本情况", kInherit, C::Inherit, 0},
    {K::Edit, u"ProjectName", u"GroupBox1", 72, 28, 473, H, nullptr, kInherit, C::Inherit, 0, u"课题名称：", 8, 32},
    {K::Edit, u"KeyWord", u"GroupBox1", 64, 64, 281, H, nullptr, kInherit, C::Inherit, 1, u"关键词：", 8, 72},
    {K::Choice, u"ProjectClass", u"GroupBox1", 80, 104, 185, H, nullptr, kInherit, C::Inherit, 2, u"课题类别：", 8, 112},
    {K::Choice, u"SubjectClass", u"GroupBox1", 368, 104, 176, H, nullptr, kInherit, C::Inherit, 3, u"学科类别：", 296, 112},
    {K::Choice, u"ResearchClass", u"GroupBox1", 424, 64, 121, H, nullptr, kInherit, C::Inherit, 4, u"研究类型：", 352, 72},
    {K::Edit, u"ApplyOutlay", u"GroupBox1", 504, 176, 41, H, nullptr, kInherit, C::Inherit, 5, u"申请资助经费（万元）：", 368, 184},
    {K::ReadOnlyEdit, u"Edit4", u"GroupBox1", 128, 224, 65, H, u"研究报告", kInherit, C::Inherit, 6, u"预期最终成果：1、      ", 8, 232},
    {K::Choice, u"ExpectProduction1", u"GroupBox1", 224, 224, 105, H, nullptr, kInherit, C::Inherit, 7, u"2、", 200, 232},
    {K::Edit, u"Presider", u"GroupBox1", 72, 142, 145, H, nullptr, kInherit, C::Inherit, 8, u"主持人：  ", 8, 152},
    {K::Code, u"EduCode", u"GroupBox1", 360, 142, 97, H, nullptr, kInherit, C::Inherit, 9, u"教育电子身份证号：     ", 240, 150},
    {K::Choice, u"ExpectProduction2", u"GroupBox1", 360, 224, 121, H, nullptr, kInherit, C::Inherit, 10, u"3、", 336, 232},
    {K::Edit, u"InputDate", u"GroupBox1", 80, 176, 89, H, nullptr, kInherit, C::Inherit, 11, u"申报日期：", 8, 184},
    {K::Edit, u"ExpectCompleteDate", u"GroupBox1", 272, 176, 89, H, nullptr, kInherit, C::Inherit, 12, u"预期完成时间：   ", 176, 184},
    {K::Link, u"Label41", u"GroupBox1", 464, 144, 88, 13, u"点击申请号码    ", kInherit, C::Blue, -1},
};

constexpr ControlSpec kPage2[] = {
    {K::Group, u"GroupBox2", nullptr, 0, 0, 616, 534, u"主持人情况", kInherit, C::Navy, 0, nullptr, 0, 0, RB},
    {K::ReadOnlyEdit, u"Presider1", u"GroupBox2", 48, 34, 97, H, nullptr, kInherit, C::Inherit, 0, u"姓名：", 8, 40},
    {K::Edit, u"Nation", u"GroupBox2", 296, 34, 57, H, nullptr, kInherit, C::Inherit, 1, u"民族：", 248, 40},
    {K::Choice, u"Sex", u"GroupBox2", 192, 34, 49, H, nullptr, kInherit, C::Inherit, 2, u"性别：", 152, 40},
    {K::Edit, u"IDcard", u"GroupBox2", 72, 82, 201, H, nullptr, kInherit, C::Inherit, 3, u"身份证号：", 8, 89},
    {K::Edit, u"DutyAdmin", u"GroupBox2", 72, 132, 73, H, nullptr, kInherit, C::Inherit, 4, u"行政职务：", 8, 138},
    {K::Edit, u"DutySpecial", u"GroupBox2", 216, 132, 73, H, nullptr, kInherit, C::Inherit, 5, u"专业职务：", 152, 132},
    {K::Edit, u"ResearchSpecial", u"GroupBox2", 360, 132, 185, H, nullptr, kInherit, C::Inherit, 6, u"研究专长：", 296, 132},
    {K::Edit, u"LastDiploma", u"GroupBox2", 72, 190, 97, H, nullptr, kInherit, C::Inherit, 7, u"最后学历：", 8, 195},
    {K::Edit, u"LastDegree", u"GroupBox2", 256, 190, 89, H, nullptr, kInherit, C::Inherit, 8, u"最后学位：", 192, 190},
    {K::Edit, u"Tutor", u"GroupBox2", 440, 190, 89, H, nullptr, kInherit, C::Inherit, 9, u"担任导师：", 368, 190},
    {K::Edit, u"ContactMail", u"GroupBox2", 424, 312, 121, H, nullptr, kInherit, C::Inherit, 10, u"电子邮箱：", 360, 320},
    {K::Edit, u"ContactAddress", u"GroupBox2", 80, 368, 313, H, nullptr, kInherit, C::Inherit, 11, u"通讯地址：", 8, 374},
    {K::Edit, u"PostCode", u"GroupBox2", 472, 368, 65, H, nullptr, kInherit, C::Inherit, 12, u"邮政编码：", 408, 376},
    {K::Choice, u"BelongSystem", u"GroupBox2", 272, 248, 273, H, nullptr, kInherit, C::Inherit, 13, u"所属系统：", 208, 256},
    {K::Edit, u"ContactTelArea", u"GroupBox2", 80, 440, 49, H, nullptr, kInherit, C::Inherit, 14, u"区号：", Above},
    {K::Edit, u"ContactTelHome", u"GroupBox2", 152, 440, 97, H, nullptr, kInherit, C::Inherit, 15, u"家中电话：", Above},
    {K::Edit, u"ContactTelDepartmet", u"GroupBox2", 256, 440, 113, H, nullptr, kInherit, C::Inherit, 16, u"办公室电话：", Above},
    {K::Edit, u"ContactMobile", u"GroupBox2", 376, 440, 169, H, nullptr, kInherit, C::Inherit, 17, u"手机号码：", Above},
    {K::Choice, u"BelongCity", u"GroupBox2", 90, 248, 111, H, nullptr, kInherit, C::Inherit, 18, u"所在市（州）：", 8, 252},
    {K::Edit, u"Department", u"GroupBox2", 72, 312, 281, H, nullptr, kInherit, C::Navy, 19, u"工作单位：", 8, 317},
    {K::CodeCopy, u"EduCode1", u"GroupBox2", 416, 78, 121, H, nullptr, kInherit, C::Inherit, 20, u"教育电子身份证号：     ", 288, 86},
    {K::Edit, u"Birthday", u"GroupBox2", 432, 32, 89, H, nullptr, kInherit, C::Inherit, 21, u"出生日期：", 360, 40},
    {K::Label, nullptr, u"GroupBox2", 8, 445, 0, 0, u"联系电话：", kInherit, C::Inherit, -1},
};

// Pages 3 to 5: a heading panel and the table follow the page's width; the red line stays.
constexpr ControlSpec kPage3[] = {
    {K::Panel, u"Panel3", nullptr, 0, 0, 616, 33, nullptr, kInherit, C::Inherit, -1, nullptr, 0, 0, R},
    {K::Label, u"Label3", u"Panel3", 8, 8, 0, 0, u"主要参加者（限填15人）", kHei16, C::Black, -1},
    {K::Table, u"MainActor", nullptr, 0, 33, 616, 410, nullptr, kInherit, C::Navy, 0, nullptr, 0, 0, R},
    {K::TableHint, u"MainActorHint", nullptr, 0, 456, 490, 14, u"MainActor", kSong14, C::Red, -1},
};

constexpr ControlSpec kPage4[] = {
    {K::Panel, u"Panel4", nullptr, 0, 0, 616, 33, nullptr, kInherit, C::Inherit, -1, nullptr, 0, 0, R},
    {K::Label, u"Label4", u"Panel4", 8, 8, 0, 0, u"主持人和课题组成员近三年已取得与本课题有关的研究成果（限报14项）", kHei16, C::WindowText, -1},
    {K::Table, u"Production", nullptr, 0, 33, 616, 410, nullptr, kInherit, C::Navy, 0, nullptr, 0, 0, R},
    {K::TableHint, u"ProductionHint", nullptr, 0, 448, 546, 14, u"Production", kSong14, C::Red, -1},
};

constexpr ControlSpec kPage5[] = {
    {K::Panel, u"Panel5", nullptr, 0, 0, 616, 33, nullptr, kInherit, C::Inherit, -1, nullptr, 0, 0, R},
    {K::Label, u"Label5", u"Panel5", 0, 8, 0, 0, u"主持人和课题组成员五年来承担的研究课题（限报5项）", kHei16, C::WindowText, -1},
    {K::Table, u"ResearchedProject", nullptr, 0, 33, 616, 410, nullptr, kInherit, C::Navy, 0, nullptr, 0, 0, R},
    {K::TableHint, u"ResearchedProjectHint", nullptr, 0, 448, 532, 14, u"ResearchedProject", kSong14, C::Red, -1},
};

constexpr ControlSpec kPage6[] = {
    {K::Memo, u"Memo1", nullptr, 0, 0, 601, 82,
     u"1、问题的提出、课题界定、国内外研究现状评述、选题意义和研究价值。\n"
     u"2、课题理论依据、研究目标、研究内容、研究假设、创新之处。\n"
     u"3、研究思路、研究方法、技术路线、实施步骤。（要求逐项填写，限4000字以内）\n"
     u"注意：本栏目填写时必须匿名、匿单位，否则申请书无效。",
     kSong14, C::WindowText, 0},
    {K::LongText, u"ProjectReasoning", nullptr, 0, 82, 601, 452, nullptr, kSong14, C::Navy, 1},
};

constexpr ControlSpec kPage7[] = {
    {K::Memo, u"Memo3", nullptr, 0, 0, 601, 97,
     u"1、已取得的相关研究成果和主要参考文献。\n"
     u"2、主要参加者的学术背景和研究经验、组成结构（如职务、专业、年龄等）。\n"
     u"3、完成课题的保障条件（如所在单位的经费、设备、资料、时间安排等条件以及单位原有\n"
     u"的研究基础）。 （限4000字以内）\n"
     u"注意：本栏目填写时必须匿名、匿单位，否则申请书无效。",
     kSong14, C::WindowText, 0},
    {K::LongText, u"ProjectAnalyze", nullptr, 0, 97, 601, 437, nullptr, kSong14, C::Navy, 1},
};

// Page 8: resizing widens both tables and lengthens only the lower one.
constexpr ControlSpec kPage8[] = {
    {K::Panel, u"Panel8", nullptr, 0, 0, 616, 329, nullptr, kInherit, C::Inherit, 0, nullptr, 0, 0, R},
    {K::Panel, u"Panel8Heading", u"Panel8", 1, 1, 614, 40, nullptr, kInherit, C::Inherit, -1, nullptr, 0, 0, R},
    {K::Label, u"Label81", u"Panel8Heading", 9, 1, 0, 0, u"主要阶段性成果（限报10项）", kHei16, C::WindowText, -1},
    {K::Label, u"Label82", u"Panel8Heading", 8, 24, 0, 0, u"需填写序号、研究阶段、阶段成果名称、成果形式、负责人五项内容", kSong14, C::Red, -1},
    {K::Table, u"ExpectProduction", u"Panel8", 1, 41, 614, 287, nullptr, kInherit, C::Navy, 0, nullptr, 0, 0, R},
    {K::Panel, u"Panel9", nullptr, 0, 329, 616, 205, nullptr, kInherit, C::Inherit, 1, nullptr, 0, 0, RB},
    {K::Panel, u"Panel9Heading", u"Panel9", 1, 1, 614, 49, nullptr, kInherit, C::Inherit, -1, nullptr, 0, 0, R},
    {K::Label, u"Label83", u"Panel9Heading", 8, 8, 0, 0, u"最终研究成果（限报3项，其中必含研究报告）", kHei16, C::Black, -1},
    {K::Label, u"Label84", u"Panel9Heading", 8, 26, 0, 0, u"需填写序号、完成时间、最终成果名称、成果形式、负责人五项内容", kSong14, C::Red, -1},
    {K::Table, u"FinallyProduction", u"Panel9", 1, 50, 614, 154, nullptr, kInherit, C::Navy, 0, nullptr, 0, 0, RB},
};

constexpr ControlSpec kPage9[] = {
    {K::Label, u"Label91", nullptr, 16, 8, 0, 0, u"经费管理承诺：", kHei16, C::Black, -1},
    {K::Label, u"Label92", nullptr, 40, 32, 0, 0, u"由单位承诺严格监督课题经费合理有效的使用，督促课题主持人严格按《澄岚省教育科学规", kSong12, C::Navy, -1},
    {K::Label, u"Label93", nullptr, 16, 48, 0, 0, u"划课题经费暂行管理办法》经费开支，遵守财务制度。承诺保证课题经费单独立户、专款专用、", kSong12, C::Navy, -1},
    {K::Label, u"Label94", nullptr, 16, 64, 0, 0, u"不挤占和挪用经费。承诺配套经费的具体数额和渠道，保证配套经费的落实。", kSong12, C::Navy, -1},
    {K::Edit, u"OutlayDepartment", nullptr, 24, 352, 369, H, nullptr, kInherit, C::Inherit, 0, u"经费管理单位名称：     ", Above},
    {K::Edit, u"OutlayAddress", nullptr, 24, 396, 457, H, nullptr, kInherit, C::Inherit, 1, u"通讯地址：", Above},
    {K::Edit, u"OutlayBank", nullptr, 24, 476, 457, H, nullptr, kInherit, C::Inherit, 2, u"开户银行：", Above},
    {K::Edit, u"OutlayPostcode", nullptr, 96, 428, 121, H, nullptr, kInherit, C::Inherit, 3, u"邮政编码：", 24, 432},
    {K::Edit, u"OutlayAccounts", nullptr, 288, 428, 193, H, nullptr, kInherit, C::Inherit, 4, u"帐号：", 240, 432},
    {K::LongText, u"OutlayPromises", nullptr, 16, 80, 585, 249, nullptr, kInherit, C::Inherit, 5},
};

constexpr ControlSpec kPage10[] = {
    {K::Label, u"Label101", nullptr, 32, 0, 0, 0, u"不具有副高专业技术职称的申请人，须由两名具有副高专业技术职称的同行专家推荐。推荐人须认真负责地", kSong12, C::Navy, -1},
    {K::Label, u"Label102", nullptr, 16, 16, 0, 0, u"介绍课题负责人和参加者的专业水平、科研能力、科研态度和科研条件,并说明该课题取得预期成果的可能性", kSong12, C::Navy, -1},
    {K::Label, u"Label103", nullptr, 16, 32, 0, 0, u"第一推荐人意见:（请填写推荐意见、推荐人姓名、专业职称、职务、研究专长）", kSong12, C::Maroon, -1},
    {K::Label, u"Label104", nullptr, 16, 160, 0, 0, u"第二推荐人意见:（请填写推荐意见、推荐人姓名、专业职称、职务、研究专长）", kSong12, C::Maroon, -1},
    {K::Label, u"Label105", nullptr, 8, 296, 0, 0, u"课题负责人所在单位意见:", kSong12, C::Maroon, -1},
    {K::Label, u"Label106", nullptr, 32, 312, 0, 0, u"申请书所填写内容是否属实；该课题负责人和参加者政治业务素质是否适合承担本课题研究工作;", kSong12, C::Navy, -1},
    {K::Label, u"Label107", nullptr, 16, 328, 0, 0, u"本单位能否提供完成本课题所需的时间和条件；本单位是否同意承担本课题的管理任务和信誉保证。", kSong12, C::Navy, -1},
    {K::Label, u"Label108", nullptr, 16, 416, 0, 0, u"市级教育科学规划办（或教育局）意见:（高校、省直单位可以不填）", kSong12, C::Maroon, -1},
    {K::Label, u"Label109", nullptr, 16, 432, 0, 0, u"对课题负责人所在单位意见的审核意见；是否同意报澄岚省教育科学规划办公室；其他意见。", kSong12, C::Navy, -1},
    {K::LongText, u"tuijian1", nullptr, 16, 48, 577, 105, nullptr, kInherit, C::Inherit, 0},
    {K::LongText, u"tuijian2", nullptr, 16, 176, 577, 113, nullptr, kInherit, C::Inherit, 1},
    {K::LongText, u"danweiyijian", nullptr, 16, 344, 577, 65, nullptr, kInherit, C::Inherit, 2},
    {K::LongText, u"jiaoyujuyijian", nullptr, 16, 456, 577, 65, nullptr, kInherit, C::Inherit, 3},
};

constexpr ControlSpec kPanel1[] = {
    {K::Button, u"verifydata", nullptr, 5, 2, 88, 30, u"检 查", {u"MS Sans Serif", 16, true}, C::Red, 1,
     nullptr, 0, 0, AnchorNone, u"verifydata"},
    {K::List, u"verifylist", nullptr, 8, 36, 154, 333, nullptr, {u"MS Sans Serif", 11, false}, C::Red, 0,
     nullptr, 0, 0, AnchorNone, nullptr, u"鼠标点击错误记录，可以定位到页面"},
    {K::FlatButton, u"openxmlfile", nullptr, 16, 384, 66, 66, u"打 开", kFlat16, C::Navy, -1,
     nullptr, 0, 0, AnchorNone, u"openxmlfile"},
    {K::FlatButton, u"savexmlfile", nullptr, 96, 384, 66, 66, u"保 存", kFlat16, C::Navy, -1,
     nullptr, 0, 0, AnchorNone, u"savexmlfile", u"保存文档前请先审核"},
    {K::FlatButton, u"helpinfo", nullptr, 16, 464, 66, 66, u"帮 助", kFlat16, C::Navy, -1,
     nullptr, 0, 0, AnchorNone, u"helpinfo"},
    {K::FlatButton, u"printreport", nullptr, 96, 464, 66, 66, u"预览\\打印", {u"新宋体", 14, false}, C::Navy, -1,
     nullptr, 0, 0, AnchorNone, u"printreport"},
};

// Pages 1 and 2 show their boxes' text in blue, pages 9 and 10 in maroon; labels are navy
// except on page 1.
constexpr PageSpec kPages[kPageCount] = {
    {u"TabSheet1", u"基本资料", C::WindowText, C::Blue, kPage1},
    {u"TabSheet2", u"主持人信息", C::Navy, C::Blue, kPage2},
    {u"TabSheet3", u"主要参加者", C::Navy, C::Navy, kPage3},
    {u"TabSheet4", u"相关成果", C::Navy, C::Navy, kPage4},
    {u"TabSheet5", u"承担课题", C::Navy, C::Navy, kPage5},
    {u"TabSheet6", u"设计论证", C::Navy, C::Navy, kPage6},
    {u"TabSheet7", u"可行性分析", C::Navy, C::Navy, kPage7},
    {u"TabSheet8", u"预期成果", C::Navy, C::Navy, kPage8},
    {u"TabSheet9", u"经费", C::Navy, C::Maroon, kPage9},
    {u"TabSheet10", u"推荐意见", C::Navy, C::Maroon, kPage10},
};

constexpr PageSpec kCommandPanel{u"Panel1", nullptr, C::WindowText, C::WindowText, kPanel1};
// clang-format on

} // namespace

std::span<const PageSpec> pageLayouts()
{
    return kPages;
}

const PageSpec& commandPanelLayout()
{
    return kCommandPanel;
}

QColor colourValue(Colour c)
{
    const QPalette palette = QApplication::palette();
    switch (c) {
    case Colour::Navy:
        return QColor(0x00, 0x00, 0x80);
    case Colour::Blue:
        return QColor(0x00, 0x00, 0xFF);
    case Colour::Maroon:
        return QColor(0x80, 0x00, 0x00);
    case Colour::Red:
        return QColor(0xFF, 0x00, 0x00);
    case Colour::Black:
        return QColor(0x00, 0x00, 0x00);
    case Colour::Disabled:
        return palette.color(QPalette::Disabled, QPalette::Text);
    case Colour::WindowText:
    case Colour::Inherit:
        break;
    }
    return palette.color(QPalette::WindowText);
}

QColor errorListBackground()
{
    return QColor(0xC2, 0xFC, 0xE9);
}

QString registrationSite()
{
    return QStringLiteral("https://eduid.example.org/");
}

} // namespace shenbao
