#include "bench/roundgen.h"

#include "record/gbk.h"

#include <algorithm>
#include <cmath>

namespace shenbao::bench {
namespace {

// The commonest characters of written Chinese, most frequent first; the level-1 characters of
// GB 2312 follow them as the long tail.
const char16_t kCommon[] =
    u"的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能下过子说产种面而方后多定行"
    u"学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量都两体制机当使点从业本去把性好应开它合还因由其些然前"
    u"外天政四日那社义事平形相全表间样与关各重新线内数正心反你明看原又么利比或但质气第向道命此变条只没结解问意建月公无系军"
    u"很情者最立代想已通并提直题党程展五果料象员革位入常文总次品式活设及管特件长求老头基资边流路级少图山统接知较将组见计别"
    u"她手角期根论运农指几九区强放决西被干做必战先回则任取据处队南给色光门即保治北造百规热领七海口东导器压志世金增争济阶油"
    u"思术极交受联什认六共权收证改清己美再采转更单风切打白教速花带安场身车例真务具万每目至达走积示议声报斗完类八离华名确才"
    u"科张信马节话米整空元况今集温传土许步群广石记需段研界拉林律叫且究观越织装影算低持音众书布复容儿须际商非验连断深难近矿"
    u"千周委素技备半办青省列习响约支般史感劳便团往酸历市克何除消构府称太准精值号率族维划选标写存候毛亲快效斯院查江型眼王按"
    u"格养易置派层片始却专状育厂京识适属圆包火住调满县局照参红细引听该铁价严龙飞课探究校园师范培养能力评价素养课堂实践";

const QString kThemes[] = {u"核心素养"_qs,     u"课堂教学"_qs, u"农村初中"_qs,   u"信息技术"_qs,
                           u"劳动教育"_qs,     u"家校合作"_qs, u"跨学科学习"_qs, u"项目式学习"_qs,
                           u"教师专业发展"_qs, u"乡村学校"_qs, u"学业评价"_qs,   u"心理健康"_qs,
                           u"阅读能力"_qs,     u"科学探究"_qs, u"职业教育"_qs,   u"幼儿园游戏"_qs};
const QString kKinds[] = {u"实践研究"_qs,           u"策略研究"_qs,     u"行动研究"_qs,    u"模式构建研究"_qs,
                          u"现状调查与对策研究"_qs, u"评价体系研究"_qs, u"课程开发研究"_qs};
const QString kSurnames =
    u"王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘于蒋蔡余杜叶程苏魏吕丁"
    u"任沈姚卢姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛闫段雷侯龙史陶黎贺顾毛郝龚邵万钱严覃武戴"_qs;
const QString kGiven =
    u"晓明华建国伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛超霞平刚桂兰红梅玉文辉鹏飞宇浩然欣怡子涵思远嘉禾雨萱"
    u"志诗雅婷俊博文轩海燕春秋冬晨曦岚"_qs;
const QString kSchools[] = {u"第一中学"_qs,       u"第二初级中学"_qs, u"实验小学"_qs, u"师范学院"_qs,
                            u"教育科学研究所"_qs, u"职业技术学院"_qs, u"第三小学"_qs, u"外国语学校"_qs,
                            u"特殊教育学校"_qs,   u"机关幼儿园"_qs};
const QString kCounties = u"青石东湖西山南河北岭云岩松林白沙红星"_qs;
const QString kUniversities[] = {u"澄州大学"_qs, u"澄州师范大学"_qs, u"岚川师范学院"_qs, u"云汀学院"_qs};

} // namespace

TextSource::TextSource(quint32 seed) : m_random(seed)
{
    // Zipf's law, s = 1: the k-th commonest character about 1/k as frequent as the first.
    std::vector<QChar> chars;
    for (const char16_t c : std::u16string_view(kCommon))
        chars.push_back(QChar(c));
    for (int lead = 0xB0; lead <= 0xD7; ++lead)
        for (int trail = 0xA1; trail <= 0xFE; ++trail)
            if (const char16_t c = gbk::fromPair(uchar(lead), uchar(trail)))
                if (std::find(chars.begin(), chars.end(), QChar(c)) == chars.end())
                    chars.push_back(QChar(c));
    m_chars = std::move(chars);
    double sum = 0;
    for (std::size_t k = 0; k < m_chars.size(); ++k)
        m_cumulative.push_back(sum += 1.0 / double(k + 1));
    for (double& c : m_cumulative)
        c /= sum;
}

QChar TextSource::character()
{
    const double u = m_random.generateDouble();
    const auto it = std::lower_bound(m_cumulative.begin(), m_cumulative.end(), u);
    return m_chars[std::size_t(
        std::min<std::ptrdiff_t>(it - m_cumulative.begin(), std::ptrdiff_t(m_chars.size()) - 1))];
}

QString TextSource::sentence()
{
    QString s;
    const int n = 8 + m_random.bounded(33);
    for (int i = 0; i < n; ++i) {
        s += character();
        if (i > 4 && i + 4 < n && m_random.bounded(12) == 0)
            s += u'，';
    }
    s += m_random.bounded(5) ? u'。' : u'；';
    return s;
}

QString TextSource::text(int characters)
{
    QString t;
    int inParagraph = 0;
    while (t.size() < characters) {
        t += sentence();
        if (++inParagraph >= 3 + m_random.bounded(6)) {
            t += u"\r\n"_qs;
            inParagraph = 0;
        }
    }
    return t;
}

QString TextSource::rewrite(const QString& sentence)
{
    QString s = sentence;
    for (int i = 0; i < s.size() / 3; ++i)
        s[m_random.bounded(int(s.size()))] = character();
    s.replace(u'。', u'！').replace(u'，', u'、');
    return s;
}

QString TextSource::title()
{
    const QString& theme = kThemes[m_random.bounded(int(std::size(kThemes)))];
    const QString& kind = kKinds[m_random.bounded(int(std::size(kKinds)))];
    return (m_random.bounded(2) ? u"基于"_qs + kThemes[m_random.bounded(int(std::size(kThemes)))] + u"的"_qs
                                : QString()) +
           theme + kind;
}

QString TextSource::personName()
{
    QString name = kSurnames[m_random.bounded(int(kSurnames.size()))];
    for (int i = m_random.bounded(3) ? 2 : 1; i > 0; --i)
        name += kGiven[m_random.bounded(int(kGiven.size()))];
    return name;
}

QString TextSource::unit(const QString& city)
{
    // A few large universities employ many of the province's applicants.
    if (m_random.bounded(8) == 0)
        return kUniversities[m_random.bounded(int(std::size(kUniversities)))];
    return city + kCounties.mid(2 * m_random.bounded(int(kCounties.size() / 2)), 2) + u"县"_qs +
           kSchools[m_random.bounded(int(std::size(kSchools)))];
}

QString copyKindName(CopyKind kind)
{
    switch (kind) {
    case CopyKind::NearCopy:
        return u"near-copy"_qs;
    case CopyKind::Coverage:
        return u"coverage"_qs;
    case CopyKind::Unequal:
        return u"unequal"_qs;
    case CopyKind::CrossField:
        return u"cross-field"_qs;
    case CopyKind::Filler:
        return u"filler"_qs;
    case CopyKind::Passage:
        return u"passage"_qs;
    case CopyKind::Interleaved:
        return u"interleaved"_qs;
    case CopyKind::Family:
        break;
    }
    return u"family"_qs;
}

namespace {

// A text's sentences rewritten or moved, share of them.
QString reworded(TextSource& source, const QString& text, double share)
{
    QRandomGenerator& random = source.random();
    QStringList sentences = text.split(u'。');
    const int changed = int(std::lround(share * double(sentences.size())));
    for (int k = 0; k < changed; ++k) {
        const int at = random.bounded(int(sentences.size()));
        if (random.bounded(2))
            sentences[at] = source.rewrite(sentences[at]);
        else
            sentences.move(at, random.bounded(int(sentences.size())));
    }
    return sentences.join(u'。');
}

// Ten passages of original, share of the longer of the two texts in all, set into a text of the
// copy's own of about the original's length: the measure (the share of the shorter text) is
// at least share.
QString withPassages(TextSource& source, const QString& original, double share)
{
    QRandomGenerator& random = source.random();
    constexpr int kPieces = 10;
    const int copied = int(std::ceil((share + 0.03) * double(original.size())));
    QString own = source.text(int(original.size()) - copied);
    const int piece = copied / kPieces;
    QString out;
    for (int k = 0; k < kPieces; ++k) {
        const int from = (int(original.size()) / kPieces) * k +
                         random.bounded(std::max(1, int(original.size()) / kPieces - piece));
        out += own.mid(own.size() * k / kPieces, own.size() / kPieces) + original.mid(from, piece);
    }
    return out;
}

QString withFillers(const QString& text)
{
    static const QString kBlanks = u"\u3000\u00A0\u2002 "_qs;
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        out += text[i];
        if (i % 3 == 2)
            out += u'的';
        if (i % 5 == 4)
            out += kBlanks[(i / 5) % kBlanks.size()];
    }
    return out;
}

constexpr Field kComparedFields[] = {Field::ProjectReasoning, Field::ProjectAnalyze};

// One copy of a kind drawn at random (or none), planted into r (the i-th of n) from earlier
// applications.
void plantCopy(Round& round, TextSource& source, ApplicationRecord& r, int i, int n)
{
    QRandomGenerator& random = source.random();
    const auto plant = [&](int other, CopyKind kind, double share) {
        round.planted.push_back({other, i, share, kind});
    };
    const int other = random.bounded(i);
    const ApplicationRecord& o = round.applications[std::size_t(other)];
    // The families: one of about n / 30 members from the middle of the round on, one of a few.
    const int bigRoot = n / 2, smallRoot = n / 3;
    if (i > bigRoot && i <= bigRoot + std::max(2, n / 30)) {
        for (Field f : kComparedFields)
            r.setValue(f, round.applications[std::size_t(bigRoot)].value(f));
        plant(bigRoot, CopyKind::Family, 1);
        return;
    }
    if (i > smallRoot && i <= smallRoot + 3) {
        for (Field f : kComparedFields)
            r.setValue(f, round.applications[std::size_t(smallRoot)].value(f));
        plant(smallRoot, CopyKind::Family, 1);
        return;
    }
    // An incomplete original may have no feasibility analysis to copy.
    if (o.value(Field::ProjectReasoning).size() < 600 || o.value(Field::ProjectAnalyze).size() < 300)
        return;
    switch (random.bounded(60)) {
    case 0:
    case 1:
    case 2: {
        const double share = 0.1 + random.bounded(21) / 100.0;
        r.setValue(Field::ProjectReasoning, reworded(source, o.value(Field::ProjectReasoning), share));
        plant(other, CopyKind::NearCopy, share);
        return;
    }
    case 3:
    case 4: {
        const double share = 0.3 + 0.1 * random.bounded(3);
        r.setValue(Field::ProjectReasoning, withPassages(source, o.value(Field::ProjectReasoning), share));
        plant(other, CopyKind::Coverage, share);
        return;
    }
    case 5: {
        const QString own = source.text(2600);
        r.setValue(Field::ProjectAnalyze, own.left(1300) + o.value(Field::ProjectAnalyze) + own.mid(1300));
        plant(other, CopyKind::Unequal, 1);
        return;
    }
    case 6:
        r.setValue(Field::ProjectAnalyze, reworded(source, o.value(Field::ProjectReasoning), 0.1));
        plant(other, CopyKind::CrossField, 1);
        return;
    case 7:
        r.setValue(Field::ProjectReasoning, withFillers(o.value(Field::ProjectReasoning)));
        plant(other, CopyKind::Filler, 1);
        return;
    case 8: {
        const QString own = r.value(Field::ProjectReasoning);
        const QString& from = o.value(Field::ProjectReasoning);
        r.setValue(Field::ProjectReasoning, own.left(own.size() / 2) +
                                                from.mid(random.bounded(int(from.size()) - 450), 420) +
                                                own.mid(own.size() / 2));
        plant(other, CopyKind::Passage, 1);
        return;
    }
    case 9: {
        // Three sentences of one, three of the other, in turn.
        const int second = random.bounded(i);
        if (second == other)
            return;
        const QStringList a = o.value(Field::ProjectReasoning).split(u'。');
        const QStringList b =
            round.applications[std::size_t(second)].value(Field::ProjectReasoning).split(u'。');
        QStringList mixed;
        for (qsizetype k = 0; k < std::max(a.size(), b.size()); k += 6) {
            mixed += a.mid(k, 3);
            mixed += b.mid(k + 3, 3);
        }
        r.setValue(Field::ProjectReasoning, mixed.join(u'。'));
        plant(other, CopyKind::Interleaved, 0.5);
        plant(second, CopyKind::Interleaved, 0.5);
        return;
    }
    default:
        return;
    }
}

} // namespace

Round makeRound(int n, quint32 seed)
{
    Round round;
    round.applications.reserve(std::size_t(n));
    TextSource source(seed);
    QRandomGenerator& random = source.random();
    const QStringList cities = provinceCities();
    const auto choose = [&](Field f) {
        const QStringList items = choiceItems(f);
        return items[random.bounded(int(items.size()))];
    };
    for (int i = 0; i < n; ++i) {
        ApplicationRecord r;
        const QString city = cities[random.bounded(int(cities.size()))];
        r.setValue(Field::ProjectName, source.title());
        r.setValue(Field::KeyWord, source.title().left(4) + u"；"_qs + source.title().left(4));
        for (Field f : {Field::ResearchClass, Field::ProjectClass, Field::SubjectClass,
                        Field::ExpectProduction1, Field::ExpectProduction2, Field::Sex, Field::BelongSystem})
            r.setValue(f, choose(f));
        r.setValue(Field::BelongCity, city);
        r.setValue(Field::Presider, source.personName());
        r.setValue(Field::EduCode, QString::number(1000000000 + random.bounded(899999999)));
        r.setValue(Field::InputDate,
                   u"2026年%1月%2日"_qs.arg(1 + random.bounded(12)).arg(1 + random.bounded(28)));
        r.setValue(Field::ExpectCompleteDate, u"2028年%1月"_qs.arg(1 + random.bounded(12)));
        r.setValue(Field::ApplyOutlay, QString::number(0.5 + random.bounded(40) / 2.0));
        r.setValue(Field::Nation, random.bounded(8) ? u"汉族"_qs : u"回族"_qs);
        r.setValue(Field::Birthday,
                   u"19%1年%2月"_qs.arg(60 + random.bounded(35)).arg(1 + random.bounded(12)));
        r.setValue(Field::IDcard, u"5301%1%2"_qs.arg(19600101 + random.bounded(350000))
                                      .arg(random.bounded(10000000), 6, 10, QChar(u'0'))
                                      .left(18));
        for (Field f : {Field::DutyAdmin, Field::DutySpecial, Field::ResearchSpecial, Field::LastDiploma,
                        Field::LastDegree, Field::Tutor})
            r.setValue(f, source.sentence().left(4 + random.bounded(4)));
        const QString unit = source.unit(city);
        r.setValue(Field::Department, unit);
        r.setValue(Field::ContactMail, u"t%1@example.edu.cn"_qs.arg(i));
        r.setValue(Field::ContactAddress, city + u"学府路%1号"_qs.arg(1 + random.bounded(300)));
        r.setValue(Field::PostCode, QString::number(650000 + random.bounded(9999)));
        r.setValue(Field::ContactTelArea, u"0871"_qs);
        r.setValue(Field::ContactTelHome, QString::number(60000000 + random.bounded(9999999)));
        r.setValue(Field::ContactTelDepartmet, QString::number(60000000 + random.bounded(9999999)));
        r.setValue(Field::ContactMobile, u"13%1"_qs.arg(100000000 + random.bounded(899999999)));
        TableGrid& actors = r.table(Field::MainActor);
        for (int row = 1, rows = 2 + random.bounded(8); row <= rows; ++row) {
            const QStringList cells{source.personName(),
                                    random.bounded(2) ? u"男"_qs : u"女"_qs,
                                    QString::number(25 + random.bounded(35)),
                                    u"中学一级教师"_qs,
                                    u"教研组长"_qs,
                                    source.title().left(6),
                                    random.bounded(3) ? unit : source.unit(city)};
            for (int c = 0; c < actors.columns(); ++c)
                actors.setCell(row, c, cells[c]);
        }
        for (Field t : {Field::Production, Field::ResearchedProject, Field::ExpectProduction,
                        Field::FinallyProduction}) {
            TableGrid& table = r.table(t);
            for (int row = 1, rows = std::min(table.rows(), 1 + random.bounded(4)); row <= rows; ++row)
                for (int c = 0; c < table.columns(); ++c)
                    table.setCell(row, c, source.sentence().left(2 + random.bounded(10)));
        }
        r.setValue(Field::ProjectReasoning, source.text(1500 + random.bounded(2300)));
        r.setValue(Field::ProjectAnalyze, source.text(800 + random.bounded(1800)));
        r.setValue(Field::OutlayPromises, source.text(120 + random.bounded(200)));
        r.setValue(Field::OutlayDepartment, unit);
        r.setValue(Field::OutlayAddress, city + u"学府路%1号"_qs.arg(1 + random.bounded(300)));
        r.setValue(Field::OutlayPostcode, QString::number(650000 + random.bounded(9999)));
        r.setValue(Field::OutlayBank,
                   city + u"农村商业银行"_qs + kCounties.mid(2 * random.bounded(8), 2) + u"支行"_qs);
        r.setValue(Field::OutlayAccounts, QString::number(6200000000LL + random.bounded(99999999)));
        for (Field f : {Field::tuijian1, Field::tuijian2, Field::danweiyijian, Field::jiaoyujuyijian})
            r.setValue(f, source.text(100 + random.bounded(200)));

        // Some incomplete, some the same leader again, some near-copies of an earlier one.
        if (random.bounded(10) == 0) {
            r.setValue(Field::KeyWord, QString());
            r.setValue(Field::ProjectAnalyze, QString());
            round.incomplete.push_back(i);
        }
        if (i > 0 && random.bounded(30) == 0) {
            const int other = random.bounded(i);
            const ApplicationRecord& o = round.applications[std::size_t(other)];
            for (Field f : {Field::Presider, Field::IDcard, Field::Department})
                r.setValue(f, o.value(f));
            round.sameLeader.emplace_back(other, i);
        } else if (i > 1) {
            plantCopy(round, source, r, i, n);
        }
        if (random.bounded(50) == 0)
            round.broken.push_back(i);
        round.applications.push_back(std::move(r));
    }
    return round;
}

std::vector<RosterEntry> makeRoster(Round& round, int experts, int reviewers, quint32 seed)
{
    TextSource source(seed);
    QRandomGenerator& random = source.random();
    const QStringList subjects = choiceItems(Field::SubjectClass);
    const qsizetype applications = qsizetype(round.applications.size());
    // Enough room for every application, unevenly spread: some experts take many, some few.
    const double average = double(reviewers) * double(applications) / double(std::max(experts, 1));
    std::vector<RosterEntry> roster;
    for (int e = 0; e < experts; ++e) {
        const ApplicationRecord& someone = round.applications[std::size_t(random.bounded(int(applications)))];
        RosterEntry x;
        x.name = source.personName() + QString(kGiven[random.bounded(int(kGiven.size()))]);
        if (random.bounded(3) == 0) { // from a university
            x.unit = kUniversities[random.bounded(int(std::size(kUniversities)))];
            x.city = provinceCities().first();
        } else { // from an applicant's unit: conflicts as in a province
            x.unit = someone.value(Field::Department);
            x.city = someone.value(Field::BelongCity);
        }
        QStringList mine;
        for (int k = 0, n = 1 + random.bounded(3); k < n; ++k)
            if (const QString s = subjects[random.bounded(int(subjects.size()))]; !mine.contains(s))
                mine.append(s);
        x.subjects = mine.join(u"、"_qs);
        x.maxLoad = int(std::ceil(average * (1.3 + random.bounded(70) / 100.0)));
        if (random.bounded(10) == 0)
            x.avoid =
                round.applications[std::size_t(random.bounded(int(applications)))].value(Field::Department);
        x.contact = u"13%1"_qs.arg(100000000 + random.bounded(899999999));
        // Now and then an expert who is also a participant, or who signed a recommendation.
        if (random.bounded(50) == 0) {
            const TableGrid& actors = someone.table(Field::MainActor);
            if (!actors.cell(1, 0).isEmpty())
                x.name = actors.cell(1, 0);
        } else if (random.bounded(50) == 0) {
            ApplicationRecord& a = round.applications[std::size_t(random.bounded(int(applications)))];
            a.setValue(Field::tuijian1, a.value(Field::tuijian1) + u"\r\n推荐人："_qs + x.name);
        }
        roster.push_back(std::move(x));
    }
    return roster;
}

} // namespace shenbao::bench
