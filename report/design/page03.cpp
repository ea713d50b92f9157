#include "record/fields.h"
#include "report/design/builder.h"
#include "report/design/pages.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace shenbao::design {

namespace {

const char16_t* const kInstructions[] = {
    u"一、请用计算机准确如实填写各项内容，所填内容须与证明材料相一致。",
    u"二、本申请书须报送电子文档和纸质文档各一份。电子文档一经上传，不得再作修改。",
    u"三、封面右上角“年度”“编号”两栏由省教育科学规划办填写，申请人不填；其余各项均由申请人用中文如实填写。",
    u"四、所附活页（即本申请程序中“设计论证”和“可行性分析”两部分）供初审使用，活页中不得出现申请人和"
    u"课题组成员的姓名、所在单位等个人信息，否则取消参评资格。活页与申请书同时报送。",
    u"五、数据表请按“填写数据表注意事项”的要求填写。填写中如有其他问题，请与澄岚省教育科学规划领导小组"
    u"办公室联系。请勿擅自改变表格格式。",
    u"六、纸质文档须经课题负责人所在单位审核，签署明确意见并加盖公章后方可报送。",
    u"七、联系方式：通讯地址：澄州市云汀路88号澄岚省教育科学规划领导小组办公室；邮政编码：999001；"
    u"联系电话：0999-5550123；传真：0999-5550124。",
    u"电子邮箱：ghb@jykx.example.org",
};

QString joined(const char16_t* const* first, const char16_t* const* last)
{
    QStringList paragraphs;
    for (auto p = first; p != last; ++p)
        paragraphs.append(QString::fromUtf16(*p));
    return paragraphs.join(u"\r\n"_s);
}

// The cities lettered as the form's list has them: the capital "A.", the other cities in order,
// except that the autonomous prefecture, last in the list, is "M." and the city after it "N.".
QString cityOptions()
{
    QStringList cities = provinceCities();
    if (cities.size() >= 3)
        cities.swapItemsAt(cities.size() - 1, cities.size() - 2);
    QString s;
    for (qsizetype i = 0; i < cities.size(); ++i) {
        s += QChar(char16_t(u'A' + i)) + u"."_s + cities[i];
        s += i + 1 < cities.size() ? u"  "_s : u" "_s;
    }
    return s;
}

// A note on one field: its bold label at 1.4 and the explanation beside it.
void note(ReportPage& p, double top, double labelWidth, const QString& label, double left, double width,
          const QString& explanation)
{
    p.items.push_back(text(1.4, top, labelWidth, kai(12, true), label));
    p.items.push_back(text(left, top, width, kai(12), explanation));
}

void options(ReportPage& p, double top, double height, const QString& text)
{
    p.items.push_back(memo(1.0, top, 6.7, height, kai(12), Memo::Flowing, text));
}

} // namespace

// The instructions for filling in, and a note on each field of the data sheets with its options.
ReportPage page03()
{
    ReportPage p = page(u"Page3"_s, u"Page4"_s,
                        {
                            pageNumberReset(),
                            text(3.3, 0.6, 2.0, hei(16), u"填  表  说  明"_s),
                            memo(1.0, 1.2, 6.6, 3.0, kai(12), Memo::Flowing,
                                 joined(std::begin(kInstructions), std::end(kInstructions))),
                            text(2.7, 4.0, 3.1, hei(16), u"填 写 数 据 表 注 意 事 项"_s),
                            memo(1.0, 5.0, 6.7, 0.6, kai(12), Memo::Flowing,
                                 u"1、教育基本理论与教育史。2、教育心理。3、教育信息技术。4、比较教育。5、德"
                                 u"育。6、教育经济与管理。"
                                 u"7、教育发展战略。 8、 基础教育。9、高等教育。10、职业技术教育。 "
                                 u"11、成人教育。 12、体育卫生美育。"
                                 u"13、民族教育。 14、国防军事教育。"_s),
                        });
    note(p, 4.4, 0.8, u"课题名称"_s, 2.3, 5.5,
         u"应准确、简明反映研究内容，最多不超过40个汉字（包括标点符号）。"_s);
    note(p, 4.6, 0.8, u"关键词"_s, 2.3, 5.5, u"按研究内容设立。关键词最多不超过3个，关键词之间空一格。"_s);
    note(p, 4.8, 0.8, u"学科分类"_s, 2.3, 5.5, u"请按以下学科选项填写。限报1项。例如：高等教育"_s);
    note(p, 5.6, 0.8, u"课题类别"_s, 2.3, 5.5, u"请按以下类别选项填写，限报1项。  例如：省级重点资助课题"_s);
    options(p, 5.8, 0.4,
            u"A.省级重点资助课题  B.省级一般资助课题  C.省级一般课题。D.青年专项资助课题 E高校党建研究专项 "
            u"F 中小教师专项课题"_s);
    note(p, 6.2, 0.8, u"研究类型"_s, 2.3, 5.5, u"请选项填写，限报1项。  例如： 综合研究"_s);
    p.items.push_back(text(2.3, 6.4, 5.5, kai(12), u"A.基础研究  B.应用研究  C.综合研究  D.其他研究"_s));
    note(p, 6.6, 0.8, u"工作单位"_s, 2.3, 5.5, u"按单位和部门公章全称填写。"_s);
    note(p, 6.8, 0.8, u"所在市州"_s, 2.3, 5.5,
         u"请选项填写，限报1项。  例如： "_s + provinceCities().value(0) + u" "_s);
    options(p, 7.0, 0.4, cityOptions());
    note(p, 7.4, 0.8, u"所属系统"_s, 2.3, 5.5,
         u"系指申请人单位的属性。请选项填写，限报1项。例如：中小学校"_s);
    options(p, 7.6, 0.6,
            u"A.教育部直属高等院校  B.其他高等院校  C.省教育厅直属研究机构  D.其他科研机构  "
            u"E.中小学校（包括职业学校、技校、幼儿园等）  F.军事机关及院校  G.省教育厅各处室  "
            u"H.省委、省政府机关  I.市（州）教育行政部门  J.其他"_s);
    note(p, 8.2, 0.9, u"主要参加者"_s, 2.4, 5.5,
         u"必须真正参加本课题的研究工作，不含课题负责人。不包括科研管理、"_s);
    p.items.push_back(text(1.0, 8.4, 5.5, kai(12), u"财务管理、后勤服务等人员。最多不得超过15人。"_s));
    note(p, 8.6, 1.0, u"预期最终成果"_s, 2.5, 5.5,
         u"系指预期取得的最终研究成果形式。研究报告属必须填写的最终成果，"_s);
    options(p, 8.8, 0.4,
            u"其他选项填写，最多限报2项。例如： A│专著   C│论文  D│研究报告\r\n"
            u"A.专著  B.译著  C.论文  D.研究报告  E.工具书  F.电脑软件  G. 其他"_s);
    note(p, 9.2, 0.8, u"申请经费"_s, 2.2, 5.6,
         u"以万元为单位，填写阿拉伯数字，注意小数点位置。一般课题者，不填此栏。"_s);
    return p;
}

} // namespace shenbao::design
