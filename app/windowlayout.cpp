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
constexpr ControlSpec kPage1[] = {
    {.kind = K::Label, .name = u"Label31", .place = {72, 32, 396, 35}, .text = u"澄岚省教育科学规划课题", .font = {u"黑体", 35, true}, .colour = C::WindowText},
    {.kind = K::Label, .name = u"Label32", .place = {136, 80, 264, 33}, .text = u"立项申请·评审书", .font = {u"宋体", 32, true}, .colour = C::WindowText},
    {.kind = K::Label, .name = u"Label33", .place = {120, 408, 336, 21}, .text = u"澄岚省教育科学规划领导小组办公室", .font = kSong21, .colour = C::WindowText},
    {.kind = K::Label, .name = u"Label34", .place = {248, 440, 86, 21}, .text = u"2008年制", .font = kSong21, .colour = C::WindowText},
    {.kind = K::Notice, .name = u"passby", .place = {32, 472, 529, 20}, .text = u"本项目文件为正式文档，仅供打印和预览,不允许修改！", .font = {u"新宋体", 20, true}, .colour = C::Red},
    {.kind = K::HiddenLabel, .name = u"ProjectID", .place = {8, 8, 144, 13}, .colour = C::Blue},
    {.kind = K::Group, .name = u"GroupBox1", .place = {0, 128, 569, 265}, .text = u"基本情况", .tab = 0},
    {.kind = K::Edit, .name = u"ProjectName", .parent = u"GroupBox1", .place = {72, 28, 473, H}, .tab = 0, .caption = {u"课题名称：", 8, 32}},
    {.kind = K::Edit, .name = u"KeyWord", .parent = u"GroupBox1", .place = {64, 64, 281, H}, .tab = 1, .caption = {u"关键词：", 8, 72}},
    {.kind = K::Choice, .name = u"ProjectClass", .parent = u"GroupBox1", .place = {80, 104, 185, H}, .tab = 2, .caption = {u"课题类别：", 8, 112}},
    {.kind = K::Choice, .name = u"SubjectClass", .parent = u"GroupBox1", .place = {368, 104, 176, H}, .tab = 3, .caption = {u"学科类别：", 296, 112}},
    {.kind = K::Choice, .name = u"ResearchClass", .parent = u"GroupBox1", .place = {424, 64, 121, H}, .tab = 4, .caption = {u"研究类型：", 352, 72}},
    {.kind = K::Edit, .name = u"ApplyOutlay", .parent = u"GroupBox1", .place = {504, 176, 41, H}, .tab = 5, .caption = {u"申请资助经费（万元）：", 368, 184}},
    {.kind = K::ReadOnlyEdit, .name = u"Edit4", .parent = u"GroupBox1", .place = {128, 224, 65, H}, .text = u"研究报告", .tab = 6, .caption = {u"预期最终成果：1、      ", 8, 232}, .spoken = u"预期最终成果1"},
    {.kind = K::Choice, .name = u"ExpectProduction1", .parent = u"GroupBox1", .place = {224, 224, 105, H}, .tab = 7, .caption = {u"2、", 200, 232}, .spoken = u"预期最终成果2"},
    {.kind = K::Edit, .name = u"Presider", .parent = u"GroupBox1", .place = {72, 142, 145, H}, .tab = 8, .caption = {u"主持人：  ", 8, 152}},
    {.kind = K::Code, .name = u"EduCode", .parent = u"GroupBox1", .place = {360, 142, 97, H}, .tab = 9, .caption = {u"教育电子身份证号：     ", 240, 150}},
    {.kind = K::Choice, .name = u"ExpectProduction2", .parent = u"GroupBox1", .place = {360, 224, 121, H}, .tab = 10, .caption = {u"3、", 336, 232}, .spoken = u"预期最终成果3"},
    {.kind = K::Edit, .name = u"InputDate", .parent = u"GroupBox1", .place = {80, 176, 89, H}, .tab = 11, .caption = {u"申报日期：", 8, 184}},
    {.kind = K::Edit, .name = u"ExpectCompleteDate", .parent = u"GroupBox1", .place = {272, 176, 89, H}, .tab = 12, .caption = {u"预期完成时间：   ", 176, 184}},
    {.kind = K::Link, .name = u"Label41", .parent = u"GroupBox1", .place = {464, 144, 88, 13}, .text = u"点击申请号码    ", .colour = C::Blue},
};

constexpr ControlSpec kPage2[] = {
    {.kind = K::Group, .name = u"GroupBox2", .place = {0, 0, 616, 534}, .text = u"主持人情况", .colour = C::Navy, .tab = 0, .anchors = RB},
    {.kind = K::ReadOnlyEdit, .name = u"Presider1", .parent = u"GroupBox2", .place = {48, 34, 97, H}, .tab = 0, .caption = {u"姓名：", 8, 40}},
    {.kind = K::Edit, .name = u"Nation", .parent = u"GroupBox2", .place = {296, 34, 57, H}, .tab = 1, .caption = {u"民族：", 248, 40}},
    {.kind = K::Choice, .name = u"Sex", .parent = u"GroupBox2", .place = {192, 34, 49, H}, .tab = 2, .caption = {u"性别：", 152, 40}},
    {.kind = K::Edit, .name = u"IDcard", .parent = u"GroupBox2", .place = {72, 82, 201, H}, .tab = 3, .caption = {u"身份证号：", 8, 89}},
    {.kind = K::Edit, .name = u"DutyAdmin", .parent = u"GroupBox2", .place = {72, 132, 73, H}, .tab = 4, .caption = {u"行政职务：", 8, 138}},
    {.kind = K::Edit, .name = u"DutySpecial", .parent = u"GroupBox2", .place = {216, 132, 73, H}, .tab = 5, .caption = {u"专业职务：", 152, 132}},
    {.kind = K::Edit, .name = u"ResearchSpecial", .parent = u"GroupBox2", .place = {360, 132, 185, H}, .tab = 6, .caption = {u"研究专长：", 296, 132}},
    {.kind = K::Edit, .name = u"LastDiploma", .parent = u"GroupBox2", .place = {72, 190, 97, H}, .tab = 7, .caption = {u"最后学历：", 8, 195}},
    {.kind = K::Edit, .name = u"LastDegree", .parent = u"GroupBox2", .place = {256, 190, 89, H}, .tab = 8, .caption = {u"最后学位：", 192, 190}},
    {.kind = K::Edit, .name = u"Tutor", .parent = u"GroupBox2", .place = {440, 190, 89, H}, .tab = 9, .caption = {u"担任导师：", 368, 190}},
    {.kind = K::Edit, .name = u"ContactMail", .parent = u"GroupBox2", .place = {424, 312, 121, H}, .tab = 10, .caption = {u"电子邮箱：", 360, 320}},
    {.kind = K::Edit, .name = u"ContactAddress", .parent = u"GroupBox2", .place = {80, 368, 313, H}, .tab = 11, .caption = {u"通讯地址：", 8, 374}},
    {.kind = K::Edit, .name = u"PostCode", .parent = u"GroupBox2", .place = {472, 368, 65, H}, .tab = 12, .caption = {u"邮政编码：", 408, 376}},
    {.kind = K::Choice, .name = u"BelongSystem", .parent = u"GroupBox2", .place = {272, 248, 273, H}, .tab = 13, .caption = {u"所属系统：", 208, 256}},
    {.kind = K::Edit, .name = u"ContactTelArea", .parent = u"GroupBox2", .place = {80, 440, 49, H}, .tab = 14, .caption = {u"区号：", Above}},
    {.kind = K::Edit, .name = u"ContactTelHome", .parent = u"GroupBox2", .place = {152, 440, 97, H}, .tab = 15, .caption = {u"家中电话：", Above}},
    {.kind = K::Edit, .name = u"ContactTelDepartmet", .parent = u"GroupBox2", .place = {256, 440, 113, H}, .tab = 16, .caption = {u"办公室电话：", Above}},
    {.kind = K::Edit, .name = u"ContactMobile", .parent = u"GroupBox2", .place = {376, 440, 169, H}, .tab = 17, .caption = {u"手机号码：", Above}},
    {.kind = K::Choice, .name = u"BelongCity", .parent = u"GroupBox2", .place = {90, 248, 111, H}, .tab = 18, .caption = {u"所在市（州）：", 8, 252}},
    {.kind = K::Edit, .name = u"Department", .parent = u"GroupBox2", .place = {72, 312, 281, H}, .colour = C::Navy, .tab = 19, .caption = {u"工作单位：", 8, 317}},
    {.kind = K::CodeCopy, .name = u"EduCode1", .parent = u"GroupBox2", .place = {416, 78, 121, H}, .tab = 20, .caption = {u"教育电子身份证号：     ", 288, 86}},
    {.kind = K::Edit, .name = u"Birthday", .parent = u"GroupBox2", .place = {432, 32, 89, H}, .tab = 21, .caption = {u"出生日期：", 360, 40}},
    {.kind = K::Label, .parent = u"GroupBox2", .place = {8, 445, 0, 0}, .text = u"联系电话："},
};

// Pages 3 to 5: a heading panel and the table follow the page's width; the red line stays.
constexpr ControlSpec kPage3[] = {
    {.kind = K::Panel, .name = u"Panel3", .place = {0, 0, 616, 33}, .anchors = R},
    {.kind = K::Label, .name = u"Label3", .parent = u"Panel3", .place = {8, 8, 0, 0}, .text = u"主要参加者（限填15人）", .font = kHei16, .colour = C::Black},
    {.kind = K::Table, .name = u"MainActor", .place = {0, 33, 616, 410}, .colour = C::Navy, .tab = 0, .anchors = R},
    {.kind = K::TableHint, .name = u"MainActorHint", .place = {0, 456, 490, 14}, .text = u"MainActor", .font = kSong14, .colour = C::Red},
};

constexpr ControlSpec kPage4[] = {
    {.kind = K::Panel, .name = u"Panel4", .place = {0, 0, 616, 33}, .anchors = R},
    {.kind = K::Label, .name = u"Label4", .parent = u"Panel4", .place = {8, 8, 0, 0}, .text = u"主持人和课题组成员近三年已取得与本课题有关的研究成果（限报14项）", .font = kHei16, .colour = C::WindowText},
    {.kind = K::Table, .name = u"Production", .place = {0, 33, 616, 410}, .colour = C::Navy, .tab = 0, .anchors = R},
    {.kind = K::TableHint, .name = u"ProductionHint", .place = {0, 448, 546, 14}, .text = u"Production", .font = kSong14, .colour = C::Red},
};

constexpr ControlSpec kPage5[] = {
    {.kind = K::Panel, .name = u"Panel5", .place = {0, 0, 616, 33}, .anchors = R},
    {.kind = K::Label, .name = u"Label5", .parent = u"Panel5", .place = {0, 8, 0, 0}, .text = u"主持人和课题组成员五年来承担的研究课题（限报5项）", .font = kHei16, .colour = C::WindowText},
    {.kind = K::Table, .name = u"ResearchedProject", .place = {0, 33, 616, 410}, .colour = C::Navy, .tab = 0, .anchors = R},
    {.kind = K::TableHint, .name = u"ResearchedProjectHint", .place = {0, 448, 532, 14}, .text = u"ResearchedProject", .font = kSong14, .colour = C::Red},
};

constexpr ControlSpec kPage6[] = {
    {.kind = K::Memo, .name = u"Memo1", .place = {0, 0, 601, 82}, 
     .text = u"1、问题的提出、课题界定、国内外研究现状评述、选题意义和研究价值。\n"
     u"2、课题理论依据、研究目标、研究内容、研究假设、创新之处。\n"
     u"3、研究思路、研究方法、技术路线、实施步骤。（要求逐项填写，限4000字以内）\n"
     u"注意：本栏目填写时必须匿名、匿单位，否则申请书无效。",
     .font = kSong14, .colour = C::WindowText, .tab = 0, .spoken = u"设计论证的填写要求"},
    {.kind = K::LongText, .name = u"ProjectReasoning", .place = {0, 82, 601, 452}, .font = kSong14, .colour = C::Navy, .tab = 1},
};

constexpr ControlSpec kPage7[] = {
    {.kind = K::Memo, .name = u"Memo3", .place = {0, 0, 601, 97}, 
     .text = u"1、已取得的相关研究成果和主要参考文献。\n"
     u"2、主要参加者的学术背景和研究经验、组成结构（如职务、专业、年龄等）。\n"
     u"3、完成课题的保障条件（如所在单位的经费、设备、资料、时间安排等条件以及单位原有\n"
     u"的研究基础）。 （限4000字以内）\n"
     u"注意：本栏目填写时必须匿名、匿单位，否则申请书无效。",
     .font = kSong14, .colour = C::WindowText, .tab = 0, .spoken = u"可行性分析的填写要求"},
    {.kind = K::LongText, .name = u"ProjectAnalyze", .place = {0, 97, 601, 437}, .font = kSong14, .colour = C::Navy, .tab = 1},
};

// Page 8: resizing widens both tables and lengthens only the lower one.
constexpr ControlSpec kPage8[] = {
    {.kind = K::Panel, .name = u"Panel8", .place = {0, 0, 616, 329}, .tab = 0, .anchors = R},
    {.kind = K::Panel, .name = u"Panel8Heading", .parent = u"Panel8", .place = {1, 1, 614, 40}, .anchors = R},
    {.kind = K::Label, .name = u"Label81", .parent = u"Panel8Heading", .place = {9, 1, 0, 0}, .text = u"主要阶段性成果（限报10项）", .font = kHei16, .colour = C::WindowText},
    {.kind = K::Label, .name = u"Label82", .parent = u"Panel8Heading", .place = {8, 24, 0, 0}, .text = u"需填写序号、研究阶段、阶段成果名称、成果形式、负责人五项内容", .font = kSong14, .colour = C::Red},
    {.kind = K::Table, .name = u"ExpectProduction", .parent = u"Panel8", .place = {1, 41, 614, 287}, .colour = C::Navy, .tab = 0, .anchors = R},
    {.kind = K::Panel, .name = u"Panel9", .place = {0, 329, 616, 205}, .tab = 1, .anchors = RB},
    {.kind = K::Panel, .name = u"Panel9Heading", .parent = u"Panel9", .place = {1, 1, 614, 49}, .anchors = R},
    {.kind = K::Label, .name = u"Label83", .parent = u"Panel9Heading", .place = {8, 8, 0, 0}, .text = u"最终研究成果（限报3项，其中必含研究报告）", .font = kHei16, .colour = C::Black},
    {.kind = K::Label, .name = u"Label84", .parent = u"Panel9Heading", .place = {8, 26, 0, 0}, .text = u"需填写序号、完成时间、最终成果名称、成果形式、负责人五项内容", .font = kSong14, .colour = C::Red},
    {.kind = K::Table, .name = u"FinallyProduction", .parent = u"Panel9", .place = {1, 50, 614, 154}, .colour = C::Navy, .tab = 0, .anchors = RB},
};

constexpr ControlSpec kPage9[] = {
    {.kind = K::Label, .name = u"Label91", .place = {16, 8, 0, 0}, .text = u"经费管理承诺：", .font = kHei16, .colour = C::Black},
    {.kind = K::Label, .name = u"Label92", .place = {40, 32, 0, 0}, .text = u"由单位承诺严格监督课题经费合理有效的使用，督促课题主持人严格按《澄岚省教育科学规", .font = kSong12, .colour = C::Navy},
    {.kind = K::Label, .name = u"Label93", .place = {16, 48, 0, 0}, .text = u"划课题经费暂行管理办法》经费开支，遵守财务制度。承诺保证课题经费单独立户、专款专用、", .font = kSong12, .colour = C::Navy},
    {.kind = K::Label, .name = u"Label94", .place = {16, 64, 0, 0}, .text = u"不挤占和挪用经费。承诺配套经费的具体数额和渠道，保证配套经费的落实。", .font = kSong12, .colour = C::Navy},
    {.kind = K::Edit, .name = u"OutlayDepartment", .place = {24, 352, 369, H}, .tab = 0, .caption = {u"经费管理单位名称：     ", Above}},
    {.kind = K::Edit, .name = u"OutlayAddress", .place = {24, 396, 457, H}, .tab = 1, .caption = {u"通讯地址：", Above}},
    {.kind = K::Edit, .name = u"OutlayBank", .place = {24, 476, 457, H}, .tab = 2, .caption = {u"开户银行：", Above}},
    {.kind = K::Edit, .name = u"OutlayPostcode", .place = {96, 428, 121, H}, .tab = 3, .caption = {u"邮政编码：", 24, 432}},
    {.kind = K::Edit, .name = u"OutlayAccounts", .place = {288, 428, 193, H}, .tab = 4, .caption = {u"帐号：", 240, 432}},
    {.kind = K::LongText, .name = u"OutlayPromises", .place = {16, 80, 585, 249}, .tab = 5},
};

constexpr ControlSpec kPage10[] = {
    {.kind = K::Label, .name = u"Label101", .place = {32, 0, 0, 0}, .text = u"不具有副高专业技术职称的申请人，须由两名具有副高专业技术职称的同行专家推荐。推荐人须认真负责地", .font = kSong12, .colour = C::Navy},
    {.kind = K::Label, .name = u"Label102", .place = {16, 16, 0, 0}, .text = u"介绍课题负责人和参加者的专业水平、科研能力、科研态度和科研条件,并说明该课题取得预期成果的可能性", .font = kSong12, .colour = C::Navy},
    {.kind = K::Label, .name = u"Label103", .place = {16, 32, 0, 0}, .text = u"第一推荐人意见:（请填写推荐意见、推荐人姓名、专业职称、职务、研究专长）", .font = kSong12, .colour = C::Maroon},
    {.kind = K::Label, .name = u"Label104", .place = {16, 160, 0, 0}, .text = u"第二推荐人意见:（请填写推荐意见、推荐人姓名、专业职称、职务、研究专长）", .font = kSong12, .colour = C::Maroon},
    {.kind = K::Label, .name = u"Label105", .place = {8, 296, 0, 0}, .text = u"课题负责人所在单位意见:", .font = kSong12, .colour = C::Maroon},
    {.kind = K::Label, .name = u"Label106", .place = {32, 312, 0, 0}, .text = u"申请书所填写内容是否属实；该课题负责人和参加者政治业务素质是否适合承担本课题研究工作;", .font = kSong12, .colour = C::Navy},
    {.kind = K::Label, .name = u"Label107", .place = {16, 328, 0, 0}, .text = u"本单位能否提供完成本课题所需的时间和条件；本单位是否同意承担本课题的管理任务和信誉保证。", .font = kSong12, .colour = C::Navy},
    {.kind = K::Label, .name = u"Label108", .place = {16, 416, 0, 0}, .text = u"市级教育科学规划办（或教育局）意见:（高校、省直单位可以不填）", .font = kSong12, .colour = C::Maroon},
    {.kind = K::Label, .name = u"Label109", .place = {16, 432, 0, 0}, .text = u"对课题负责人所在单位意见的审核意见；是否同意报澄岚省教育科学规划办公室；其他意见。", .font = kSong12, .colour = C::Navy},
    {.kind = K::LongText, .name = u"tuijian1", .place = {16, 48, 577, 105}, .tab = 0},
    {.kind = K::LongText, .name = u"tuijian2", .place = {16, 176, 577, 113}, .tab = 1},
    {.kind = K::LongText, .name = u"danweiyijian", .place = {16, 344, 577, 65}, .tab = 2},
    {.kind = K::LongText, .name = u"jiaoyujuyijian", .place = {16, 456, 577, 65}, .tab = 3},
};

constexpr ControlSpec kPanel1[] = {
    {.kind = K::Button, .name = u"verifydata", .place = {5, 2, 88, 30}, .text = u"检 查", .font = {u"MS Sans Serif", 16, true}, .colour = C::Red, .tab = 1, .icon = u"verifydata"},
    {.kind = K::List, .name = u"verifylist", .place = {8, 36, 154, 333}, .font = {u"MS Sans Serif", 11, false}, .colour = C::Red, .tab = 0, .hint = u"鼠标点击错误记录，可以定位到页面", .spoken = u"错误列表"},
    {.kind = K::FlatButton, .name = u"openxmlfile", .place = {16, 384, 66, 66}, .text = u"打 开", .font = kFlat16, .colour = C::Navy, .icon = u"openxmlfile"},
    {.kind = K::FlatButton, .name = u"savexmlfile", .place = {96, 384, 66, 66}, .text = u"保 存", .font = kFlat16, .colour = C::Navy, .icon = u"savexmlfile", .hint = u"保存文档前请先审核"},
    {.kind = K::FlatButton, .name = u"helpinfo", .place = {16, 464, 66, 66}, .text = u"帮 助", .font = kFlat16, .colour = C::Navy, .icon = u"helpinfo"},
    {.kind = K::FlatButton, .name = u"printreport", .place = {96, 464, 66, 66}, .text = u"预览\\打印", .font = {u"新宋体", 14, false}, .colour = C::Navy, .icon = u"printreport"},
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
