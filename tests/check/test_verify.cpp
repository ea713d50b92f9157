#include "../common/fixtures.h"
#include "bench/roundgen.h"
#include "check/anonymity.h"
#include "check/similarity.h"
#include "check/verify.h"
#include "record/fields.h"

#include <QRandomGenerator>
#include <QTest>
#include <algorithm>

using namespace shenbao;
using namespace shenbao::test;

class TestVerify : public QObject
{
    Q_OBJECT

private slots:
    void freshApplicationFailsEveryRuleInOrder();
    void completeApplicationPasses();
    void lengthRules_data();
    void lengthRules();
    void blanksCountAsFilled();
    void tableRuleLooksAtRowOneOnly();
    void lastRuleIsUnconditional();
    void entryPage_data();
    void entryPage();
    void anonymityAgreesWithASlowSearch();
    void anonymityIsCappedNotQuadratic();
    void similarFindsThePlantedCopies();
    void similarSurvivesRewording_data();
    void similarSurvivesRewording();
};

void TestVerify::freshApplicationFailsEveryRuleInOrder()
{
    const QStringList list = verify(ApplicationRecord());
    QCOMPARE(list.size(), 48);
    QCOMPARE(list.first(), u"01、课题名称  未填写"_qs);
    QCOMPARE(list.at(14), u"02、身份证号码  应该为15或者18位"_qs);
    QCOMPARE(list.at(26), u"02、邮政编码  应该为6位"_qs);
    QCOMPARE(list.at(37), u"08、最终研究成果  资料未填写完整"_qs); // the preset alone does not complete the row
    QCOMPARE(list.at(41), u"09、邮政编码  必须为6位"_qs);
    QCOMPARE(list.last(), u"10、市教育局意见  未填写 高校、省直单位可不填"_qs);
    // Every entry is "NN、label  verdict" with NN the page its field lies on, pages never going back.
    int lastPage = 0;
    for (const QString& entry : list) {
        QCOMPARE(entry.at(2), QChar(u'、'));
        QVERIFY2(entry.contains(u"  "_qs), qPrintable(entry));
        QVERIFY(shenbao::entryPage(entry) >= lastPage);
        lastPage = shenbao::entryPage(entry);
    }
    // EduCode is examined by no rule.
    for (const QString& entry : list)
        QVERIFY(!entry.contains(u"教育电子身份证号"_qs));
}

void TestVerify::completeApplicationPasses()
{
    ApplicationRecord r = completeSample();
    QCOMPARE(verify(r), QStringList());
    r.setValue(Field::EduCode, QString()); // EduCode may hold anything
    QCOMPARE(verify(r), QStringList());
}

void TestVerify::lengthRules_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("passes");
    const int id = int(Field::IDcard), post = int(Field::PostCode), outlay = int(Field::OutlayPostcode);
    QTest::newRow("id 15") << id << QString(15, u'1') << true;
    QTest::newRow("id 18 with x") << id << (QString(17, u'1') + u'x') << true;
    QTest::newRow("id 16") << id << QString(16, u'1') << false;
    QTest::newRow("id 17") << id << QString(17, u'1') << false;
    QTest::newRow("id empty") << id << QString() << false;
    QTest::newRow("id 9 chinese = 18 bytes") << id << QString(9, u'一') << true;
    QTest::newRow("post 6 letters") << post << u"abcdef"_qs << true;
    QTest::newRow("post 5") << post << u"12345"_qs << false;
    QTest::newRow("post 7") << post << u"1234567"_qs << false;
    QTest::newRow("post 3 chinese") << post << u"一二三"_qs << true;
    QTest::newRow("outlay post 6") << outlay << u"998321"_qs << true;
    QTest::newRow("outlay post blank 6") << outlay << u"      "_qs << true;
    QTest::newRow("outlay post 0") << outlay << QString() << false;
}

void TestVerify::lengthRules()
{
    QFETCH(int, field);
    QFETCH(QString, value);
    QFETCH(bool, passes);
    ApplicationRecord r = completeSample();
    r.setValue(Field(field), value);
    const QStringList list = verify(r);
    QCOMPARE(list.isEmpty(), passes);
    if (!passes) {
        QCOMPARE(list.size(), 1);
        const QString expected = Field(field) == Field::IDcard     ? u"02、身份证号码  应该为15或者18位"_qs
                                 : Field(field) == Field::PostCode ? u"02、邮政编码  应该为6位"_qs
                                                                   : u"09、邮政编码  必须为6位"_qs;
        QCOMPARE(list.first(), expected);
    }
}

void TestVerify::blanksCountAsFilled()
{
    ApplicationRecord r = completeSample();
    r.setValue(Field::ProjectName, u" "_qs);
    r.setValue(Field::ProjectReasoning, u"\r\n"_qs);
    r.setValue(Field::tuijian2, u"   "_qs);
    r.table(Field::MainActor).setCell(1, 4, u" "_qs);
    QCOMPARE(verify(r), QStringList());
    r.setValue(Field::ProjectName, QString());
    QCOMPARE(verify(r), QStringList{u"01、课题名称  未填写"_qs});
}

void TestVerify::tableRuleLooksAtRowOneOnly()
{
    ApplicationRecord r = completeSample();
    r.table(Field::Production).setCell(2, 0, QString()); // a half-filled later row passes
    r.table(Field::Production).setCell(3, 1, u"x"_qs);
    QCOMPARE(verify(r), QStringList());
    r.table(Field::ResearchedProject).setCell(1, 5, QString()); // the last column is not exempt
    r.table(Field::FinallyProduction).setCell(1, 3, QString()); // nor the preset's column
    QCOMPARE(verify(r), (QStringList{u"05、承担课题  资料未填写完整"_qs, u"08、最终研究成果  资料未填写完整"_qs}));
    ApplicationRecord onlyRow2;
    for (int c = 0; c < 7; ++c)
        onlyRow2.table(Field::MainActor).setCell(2, c, u"x"_qs);
    QVERIFY(verify(onlyRow2).contains(u"03、主要参加者  资料未填写完整"_qs));
}

void TestVerify::lastRuleIsUnconditional()
{
    ApplicationRecord r = completeSample();
    r.setValue(Field::jiaoyujuyijian, QString());
    for (const QString& system : choiceItems(Field::BelongSystem)) {
        r.setValue(Field::BelongSystem, system);
        QCOMPARE(verify(r), QStringList{u"10、市教育局意见  未填写 高校、省直单位可不填"_qs});
    }
}

void TestVerify::entryPage_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("page");
    QTest::newRow("01") << u"01、课题名称  未填写"_qs << 1;
    QTest::newRow("05") << u"05、承担课题  资料未填写完整"_qs << 5;
    QTest::newRow("10") << u"10、单位意见  未填写"_qs << 10;
    QTest::newRow("09, its field's page") << u"09、邮政编码  必须为6位"_qs << 9;
    // The page comes from the rule, not from the digits: an entry no rule gives leads nowhere.
    QTest::newRow("digits of no rule") << u"03、课题名称  未填写"_qs << 0;
    QTest::newRow("garbage") << u"xx"_qs << 0;
}

void TestVerify::entryPage()
{
    QFETCH(QString, entry);
    QFETCH(int, page);
    QCOMPARE(shenbao::entryPage(entry), page);
}

namespace {

// The folding of the search, done the slow way for the few characters the random texts use.
QString slowFold(QChar c)
{
    if (c == u' ' || c == u'\r' || c == u'\n' || c == QChar(0x3000) || c == QChar(0x200B))
        return {};
    if (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E)
        c = QChar(char16_t(c.unicode() - 0xFEE0));
    return c.toLower();
}

// Every place any name occurs in text, folded, less those inside a longer place: every start
// tried against every name.
QList<QPair<qsizetype, qsizetype>> slowSearch(const QString& text, const QStringList& names)
{
    QString folded;
    QList<qsizetype> origin;
    for (qsizetype i = 0; i < text.size(); ++i)
        for (const QChar f : slowFold(text[i]))
            folded += f, origin.append(i);
    struct Found { qsizetype start, end; };
    std::vector<Found> all;
    for (const QString& name : names) {
        QString n;
        for (const QChar c : name)
            n += slowFold(c);
        if (n.size() < 2)
            continue;
        for (qsizetype i = 0; i + n.size() <= folded.size(); ++i)
            if (QStringView(folded).mid(i, n.size()) == n)
                all.push_back({i, i + n.size() - 1});
    }
    QList<QPair<qsizetype, qsizetype>> kept;
    std::sort(all.begin(), all.end(), [](const Found& a, const Found& b) { return a.start < b.start || (a.start == b.start && a.end > b.end); });
    for (const Found& f : all) {
        const bool inside = std::any_of(all.begin(), all.end(), [&](const Found& g) {
            return (g.start < f.start && g.end >= f.end) || (g.start <= f.start && g.end > f.end);
        });
        const QPair<qsizetype, qsizetype> span{origin[f.start], origin[f.end] + 1 - origin[f.start]};
        if (!inside && !kept.contains(span))
            kept.append(span);
    }
    return kept;
}

} // namespace

// Random texts of a few characters, names among them split by blanks and breaks, in both widths:
// the one-pass search finds what trying every place finds.
void TestVerify::anonymityAgreesWithASlowSearch()
{
    QRandomGenerator random(20261210);
    const QString letters = u"林晓岚Aa"_qs, gaps = u" \r\n\u3000\u200b"_qs;
    const auto pick = [&](const QString& from) { return from[random.bounded(int(from.size()))]; };
    int hits = 0, nested = 0;
    for (int round = 0; round < 400; ++round) {
        QString first;
        for (int i = 2 + random.bounded(3); i > 0; --i)
            first += pick(letters);
        // Half the time the second name lies inside the first, as a unit without its city does.
        const qsizetype from = random.bounded(int(first.size()) - 1);
        const QString second = random.bounded(2) ? first.mid(from, 2 + random.bounded(int(first.size() - from) - 1))
                                                 : QString(pick(letters)) + pick(letters);
        // The text: the names, blanks and breaks inside them, full-width letters, and filler.
        QString text;
        for (int piece = random.bounded(8); piece > 0; --piece) {
            const QString name = random.bounded(2) ? first : second;
            for (const QChar c : random.bounded(3) ? name : QString(pick(letters)))
                text += (c == u'A' && random.bounded(2) ? QChar(0xFF21) : c) + QString(random.bounded(4) ? 0 : 1, pick(gaps));
        }
        ApplicationRecord r = ApplicationRecord::empty();
        r.setValue(Field::Presider, first);
        r.table(Field::MainActor).setCell(1, 0, second);
        r.setValue(Field::ProjectAnalyze, text);
        QList<QPair<qsizetype, qsizetype>> found;
        for (const AnonymityHit& h : findNamesInLooseLeaves(r).hits)
            found.append({h.at, h.length});
        const QList<QPair<qsizetype, qsizetype>> expected = slowSearch(text, {first, second});
        QCOMPARE(found, expected);
        hits += int(expected.size());
        nested += second.size() < first.size() && first.contains(second) ? 1 : 0;
    }
    // The walk met what it is for: many places, and names inside names.
    QVERIFY(hits > 400 && nested > 100);
}

// 320,000 repetitions of a name: every one counted, 200 listed.
void TestVerify::anonymityIsCappedNotQuadratic()
{
    ApplicationRecord r = ApplicationRecord::empty();
    r.setValue(Field::Presider, u"林晓岚"_qs);
    r.setValue(Field::ProjectReasoning, u"林晓岚，"_qs.repeated(320000));
    const AnonymityFindings f = findNamesInLooseLeaves(r);
    QCOMPARE(f.total, 320000);
    QCOMPARE(f.hits.size(), std::size_t(200));
    QCOMPARE(f.hits.back().at, 199 * 4);
}

// A generated round: the near-copies found, few pairs beyond them compared, and every pair
// reported one of a planted copy's family (a copy of a copy is like its cousin too).
void TestVerify::similarFindsThePlantedCopies()
{
    const bench::Round round = bench::makeRound(600, 11);
    std::vector<SimilaritySketch> sketches;
    for (const ApplicationRecord& r : round.applications)
        sketches.push_back(sketchOf(r));
    std::vector<int> family(round.applications.size());
    for (std::size_t i = 0; i < family.size(); ++i)
        family[i] = int(i);
    const auto root = [&](int x) {
        while (family[std::size_t(x)] != x)
            x = family[std::size_t(x)];
        return x;
    };
    for (const bench::PlantedPair& p : round.nearCopies)
        family[std::size_t(root(p.copy))] = root(p.original);

    const std::vector<std::pair<int, int>> candidates = similarCandidates(sketches);
    QVERIFY2(candidates.size() < 3 * round.nearCopies.size(), qPrintable(QString::number(candidates.size())));
    std::vector<std::pair<int, int>> reported;
    for (const auto& [a, b] : candidates)
        if (compareApplications(round.applications[std::size_t(a)], round.applications[std::size_t(b)])
                .similar())
            reported.emplace_back(a, b);
    std::size_t found = 0;
    for (const bench::PlantedPair& p : round.nearCopies)
        found += std::count(reported.begin(), reported.end(),
                            std::pair{std::min(p.original, p.copy), std::max(p.original, p.copy)});
    QVERIFY(round.nearCopies.size() >= 20);
    QVERIFY2(double(found) >= 0.95 * double(round.nearCopies.size()),
             qPrintable(u"%1 of %2"_qs.arg(found).arg(round.nearCopies.size())));
    for (const auto& [a, b] : reported)
        QVERIFY2(root(a) == root(b), qPrintable(u"%1 and %2"_qs.arg(a).arg(b)));
}

void TestVerify::similarSurvivesRewording_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<bool>("similar");
    // 0 the text itself; 1 other punctuation, blanks and line breaks, full-width digits; 2 its
    // sentences in reverse order; 3 every third sentence rewritten; 4 another text; 5 too short.
    QTest::newRow("same") << 0 << true;
    QTest::newRow("punctuated otherwise") << 1 << true;
    QTest::newRow("reordered") << 2 << true;
    QTest::newRow("a third rewritten") << 3 << true;
    QTest::newRow("another text") << 4 << false;
    QTest::newRow("too short to judge") << 5 << false;
}

void TestVerify::similarSurvivesRewording()
{
    QFETCH(int, change);
    QFETCH(bool, similar);
    bench::TextSource source(5);
    const QString original = source.text(1500) + u"2026年。"_qs;
    QStringList sentences = original.split(u'。', Qt::SkipEmptyParts);
    QString copy;
    switch (change) {
    case 0:
        copy = original;
        break;
    case 1:
        for (qsizetype i = 0; i < original.size(); ++i) {
            const QChar c = original[i];
            copy += c == u'，'    ? u"; "_qs
                    : c == u'。'  ? u".\n"_qs
                    : c.isDigit() ? QChar(c.unicode() - u'0' + 0xFF10)
                                  : c;
            if (i % 7 == 6)
                copy += u' ';
        }
        break;
    case 2:
        std::reverse(sentences.begin(), sentences.end());
        copy = sentences.join(u'。');
        break;
    case 3:
        for (qsizetype i = 0; i < sentences.size(); i += 3)
            sentences[i] = source.rewrite(sentences[i]);
        copy = sentences.join(u'。');
        break;
    case 4:
        copy = source.text(1500);
        break;
    case 5:
        copy = original.left(12);
        break;
    }
    ApplicationRecord a, b;
    a.setValue(Field::ProjectReasoning, original);
    b.setValue(Field::ProjectReasoning, copy);
    const Similarity s = compareApplications(a, b);
    QCOMPARE(s.similar(), similar);
    // Found by the sketches too, and only then.
    QCOMPARE(!similarCandidates({sketchOf(a), sketchOf(b)}).empty(), similar);
    if (!similar)
        return;
    const TextSimilarity& t = s.texts[1];
    QCOMPARE(t.field, Field::ProjectReasoning);
    QVERIFY(!t.first.empty());
    // Each passage shown points at where it stands in both texts.
    for (const SharedPassage& p : t.first) {
        QVERIFY(original.mid(p.atA).startsWith(p.text));
        QCOMPARE(copy[p.atB], original[p.atA]);
    }
}

QTEST_APPLESS_MAIN(TestVerify)
#include "test_verify.moc"
