#include "../common/fixtures.h"
#include "bench/roundgen.h"
#include "check/anonymity.h"
#include "check/similarity.h"
#include "check/similarityindex.h"
#include "check/verify.h"
#include "record/fields.h"

#include <QRandomGenerator>
#include <QTest>
#include <algorithm>
#include <map>
#include <set>

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
    void similarFindsEveryPlantedCopy();
    void similarMeasure_data();
    void similarMeasure();
};

void TestVerify::freshApplicationFailsEveryRuleInOrder()
{
    const QStringList list = verify(ApplicationRecord());
    QCOMPARE(list.size(), 48);
    QCOMPARE(list.first(), u"01、课题名称  未填写"_qs);
    QCOMPARE(list.at(14), u"02、身份证号码  应该为15或者18位"_qs);
    QCOMPARE(list.at(26), u"02、邮政编码  应该为6位"_qs);
    QCOMPARE(list.at(37),
             u"08、最终研究成果  资料未填写完整"_qs); // the preset alone does not complete the row
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
        const QString expected = Field(field) == Field::IDcard ? u"02、身份证号码  应该为15或者18位"_qs
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
    QCOMPARE(verify(r),
             (QStringList{u"05、承担课题  资料未填写完整"_qs, u"08、最终研究成果  资料未填写完整"_qs}));
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
    struct Found
    {
        qsizetype start, end;
    };
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
    std::sort(all.begin(), all.end(), [](const Found& a, const Found& b) {
        return a.start < b.start || (a.start == b.start && a.end > b.end);
    });
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
        const QString second = random.bounded(2)
                                   ? first.mid(from, 2 + random.bounded(int(first.size() - from) - 1))
                                   : QString(pick(letters)) + pick(letters);
        // The text: the names, blanks and breaks inside them, full-width letters, and filler.
        QString text;
        for (int piece = random.bounded(8); piece > 0; --piece) {
            const QString name = random.bounded(2) ? first : second;
            for (const QChar c : random.bounded(3) ? name : QString(pick(letters)))
                text += (c == u'A' && random.bounded(2) ? QChar(0xFF21) : c) +
                        QString(random.bounded(4) ? 0 : 1, pick(gaps));
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

// A generated round with copies of every kind planted: every one reported, nothing reported
// beyond the planted copies' families (a copy of a copy is like its cousin too), and the index
// misses no pair that comparing every pair in full reports.
void TestVerify::similarFindsEveryPlantedCopy()
{
    const bench::Round round = bench::makeRound(600, 11);
    std::vector<SimilarityEntry> entries;
    for (const ApplicationRecord& r : round.applications)
        entries.push_back(similarityEntryOf(r));
    const SimilarityIndex index(entries);
    std::vector<int> family(round.applications.size());
    for (std::size_t i = 0; i < family.size(); ++i)
        family[i] = int(i);
    const auto root = [&](int x) {
        while (family[std::size_t(x)] != x)
            x = family[std::size_t(x)];
        return x;
    };
    for (const bench::PlantedPair& p : round.planted)
        family[std::size_t(root(p.copy))] = root(p.original);

    // Reported: the families' pairs, and the candidates that compare as reported.
    std::set<std::pair<int, int>> reported;
    const auto members = [&](int r) {
        for (const std::vector<int>& f : index.families())
            if (f.front() == r)
                return f;
        return std::vector<int>{r};
    };
    for (const std::vector<int>& f : index.families())
        for (std::size_t x = 0; x < f.size(); ++x)
            for (std::size_t y = x + 1; y < f.size(); ++y)
                reported.emplace(f[x], f[y]);
    for (const auto& [a, b] : index.candidates())
        if (index.compare(a, b).reported())
            for (const int x : members(a))
                for (const int y : members(b))
                    reported.emplace(std::min(x, y), std::max(x, y));

    std::map<bench::CopyKind, int> planted, found;
    for (const bench::PlantedPair& p : round.planted) {
        ++planted[p.kind];
        found[p.kind] += int(reported.count({std::min(p.original, p.copy), std::max(p.original, p.copy)}));
    }
    for (const bench::CopyKind kind :
         {bench::CopyKind::NearCopy, bench::CopyKind::Coverage, bench::CopyKind::Unequal,
          bench::CopyKind::CrossField, bench::CopyKind::Filler, bench::CopyKind::Passage,
          bench::CopyKind::Interleaved, bench::CopyKind::Family}) {
        QVERIFY2(planted[kind] > 0, qPrintable(bench::copyKindName(kind)));
        QVERIFY2(found[kind] == planted[kind],
                 qPrintable(
                     u"%1: %2 of %3"_qs.arg(bench::copyKindName(kind)).arg(found[kind]).arg(planted[kind])));
    }
    for (const auto& [a, b] : reported)
        QVERIFY2(root(a) == root(b), qPrintable(u"%1 and %2"_qs.arg(a).arg(b)));

    // Every pair of the first applications compared in full: the index found each it reports.
    constexpr int kCompared = 160;
    for (int a = 0; a < kCompared; ++a)
        for (int b = a + 1; b < kCompared; ++b)
            if (compareApplications(entries[std::size_t(a)], entries[std::size_t(b)]).reported())
                QVERIFY2(reported.count({a, b}), qPrintable(u"%1 and %2"_qs.arg(a).arg(b)));
}

void TestVerify::similarMeasure_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<QString>("found"); // "similar", "passage" or nothing
    QTest::newRow("same") << 0 << u"similar"_qs;
    QTest::newRow("punctuated otherwise") << 1 << u"similar"_qs;
    QTest::newRow("reordered") << 2 << u"similar"_qs;
    QTest::newRow("a third rewritten") << 3 << u"similar"_qs;
    QTest::newRow("another text") << 4 << QString();
    QTest::newRow("too short to judge") << 5 << QString();
    QTest::newRow("的 and blanks of other widths every few characters") << 6 << u"similar"_qs;
    QTest::newRow("moved to the other field") << 7 << u"similar"_qs;
    // Measured on the shorter text: a whole text copied into one five times as long.
    QTest::newRow("short text copied whole into a long one") << 8 << u"similar"_qs;
    QTest::newRow("one passage of 200 characters") << 9 << u"passage"_qs;
    QTest::newRow("a passage just short of a long one, 10 per cent") << 10 << QString();
}

void TestVerify::similarMeasure()
{
    QFETCH(int, change);
    QFETCH(QString, found);
    bench::TextSource source(5);
    const QString original = source.text(1500) + u"2026年。"_qs;
    QStringList sentences = original.split(u'。', Qt::SkipEmptyParts);
    Field field = Field::ProjectReasoning;
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
    case 6:
        for (qsizetype i = 0; i < original.size(); ++i)
            copy +=
                original[i] + (i % 3 == 2 ? u"的"_qs : QString()) + (i % 4 == 3 ? u"\u3000"_qs : QString());
        break;
    case 7:
        copy = original;
        field = Field::ProjectAnalyze;
        break;
    case 8: {
        const QString own = source.text(6000);
        copy = own.left(3000) + original + own.mid(3000);
        break;
    }
    case 9:
    case 10: {
        const QString own = source.text(2000);
        // Some 200 (or 140) characters as compared: fillers and punctuation take about a third.
        copy = own.left(1000) + original.mid(300, change == 9 ? 300 : 190) + own.mid(1000);
        break;
    }
    }
    ApplicationRecord a, b;
    a.setValue(Field::ProjectReasoning, original);
    b.setValue(field, copy);
    const Similarity s = compareApplications(a, b);
    QCOMPARE(s.similar(), found == u"similar");
    QCOMPARE(s.reported(), !found.isEmpty());
    // What the measure reports, the index finds: as a family, or a pair to compare.
    const SimilarityIndex index({similarityEntryOf(a), similarityEntryOf(b)});
    if (s.reported())
        QVERIFY(!index.families().empty() || !index.candidates().empty());
    if (found.isEmpty())
        return;
    QCOMPARE(s.fieldB, field);
    const auto t = std::find_if(s.texts.begin(), s.texts.end(), [&](const TextSimilarity& x) {
        return x.fieldB == field && x.field == Field::ProjectReasoning;
    });
    QVERIFY(t != s.texts.end() && !t->first.empty());
    // Each passage shown points at where it stands in both texts.
    for (const SharedPassage& p : t->first) {
        QVERIFY(original.mid(p.atA).startsWith(p.text));
        QCOMPARE(copy[p.atB], original[p.atA]);
    }
}

QTEST_APPLESS_MAIN(TestVerify)
#include "test_verify.moc"
