#include "record/applicationrecord.h"
#include "record/fields.h"
#include "record/gbk.h"
#include "record/textrules.h"

#include <QFile>
#include <QTest>

#include <map>

using namespace shenbao;
using namespace Qt::StringLiterals;

class TestRecord : public QObject
{
    Q_OBJECT

private slots:
    void catalogueCoversEveryField();
    void tableHeadersKeepTheirBlanks();
    void gbkByteLength_data();
    void gbkByteLength();
    void fitGbkBytesCutsBetweenWholeCharacters();
    void eduCodeDisplay_data();
    void eduCodeDisplay();
    void eduCodeValue_data();
    void eduCodeValue();
    void choiceLookup();
    void startUpState();
    void writeRules();
    void longTextLines_data();
    void longTextLines();
    void gbkEveryCodeBothWays();
};

void TestRecord::catalogueCoversEveryField()
{
    const auto catalogue = fieldCatalogue();
    QCOMPARE(int(catalogue.size()), kFieldCount);
    QCOMPARE(kFieldCount, 49); // 48 editable fields plus EduCode
    int perKind[5] = {};
    for (int i = 0; i < kFieldCount; ++i) {
        const FieldSpec& spec = catalogue[std::size_t(i)];
        QCOMPARE(int(spec.field), i);
        QCOMPARE(fieldByName(QStringView(spec.name)), std::optional<Field>(spec.field));
        QVERIFY(spec.page >= 1 && spec.page <= 10);
        ++perKind[int(spec.kind)];
        if (spec.kind == FieldKind::Choice)
            QVERIFY(!spec.items.empty());
        if (spec.kind == FieldKind::Table)
            QVERIFY(spec.table);
    }
    QCOMPARE(perKind[int(FieldKind::Text)], 28);
    QCOMPARE(perKind[int(FieldKind::Choice)], 8);
    QCOMPARE(perKind[int(FieldKind::Code)], 1);
    QCOMPARE(perKind[int(FieldKind::Table)], 5);
    QCOMPARE(perKind[int(FieldKind::LongText)], 7);
    // Names are case-sensitive and spelt as the format has them.
    QVERIFY(fieldByName(u"ContactTelDepartmet").has_value());
    QVERIFY(!fieldByName(u"ContactTelDepartment").has_value());
    QVERIFY(!fieldByName(u"projectname").has_value());
    QCOMPARE(fieldSpec(Field::ProjectName).byteLimit, 80);
    QCOMPARE(fieldSpec(Field::ProjectReasoning).byteLimit, 8000);
    QCOMPARE(fieldSpec(Field::danweiyijian).byteLimit, 700);
    QCOMPARE(choiceItems(Field::BelongCity).size(), 15);
    QCOMPARE(choiceItems(Field::SubjectClass).size(), 14);
    QCOMPARE(choiceItems(Field::BelongSystem).size(), 10);
}

void TestRecord::tableHeadersKeepTheirBlanks()
{
    const TableSpec* production = fieldSpec(Field::Production).table;
    QCOMPARE(QString::fromUtf16(production->columns[0].header), QStringLiteral("        成果名称"));
    QCOMPARE(QString::fromUtf16(fieldSpec(Field::MainActor).table->columns[3].header),
             QStringLiteral("   职    称"));
    QCOMPARE(QString::fromUtf16(fieldSpec(Field::FinallyProduction).table->columns[1].header),
             QString(13, u' ') + QStringLiteral("完成时间"));
    const int rows[] = {15, 14, 5, 10, 3};
    const int columns[] = {7, 5, 6, 5, 5};
    for (int i = 0; i < kTableCount; ++i) {
        QCOMPARE(tableRows(kTableFields[i]), rows[i]);
        QCOMPARE(tableColumns(kTableFields[i]), columns[i]);
    }
}

void TestRecord::gbkByteLength_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bytes");
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("ascii") << QStringLiteral("abc 12") << 6;
    QTest::newRow("chinese") << QStringLiteral("教育科学") << 8;
    QTest::newRow("full-width punctuation") << QStringLiteral("（，）") << 6;
    QTest::newRow("crlf counts 2") << QStringLiteral("a\r\nb") << 4;
    QTest::newRow("lone lf counts 2") << QStringLiteral("a\nb") << 4;
    QTest::newRow("paragraph separator counts 2") << (QStringLiteral("a") + QChar::ParagraphSeparator) << 3;
    // Outside GBK: an emoji (a surrogate pair) and a Korean syllable count 2 as one character.
    QTest::newRow("emoji") << QString::fromUtf8("\xF0\x9F\x98\x80") << 2;
    QTest::newRow("hangul") << QString::fromUtf8("\xED\x95\x9C") << 2;
    QTest::newRow("40 chinese") << QString(40, QChar(0x6559)) << 80;
}

void TestRecord::gbkByteLength()
{
    QFETCH(QString, text);
    QFETCH(int, bytes);
    QCOMPARE(shenbao::gbkByteLength(text), bytes);
}

void TestRecord::fitGbkBytesCutsBetweenWholeCharacters()
{
    QCOMPARE(fitGbkBytes(u"教育科学", 5), QStringLiteral("教育"));
    QCOMPARE(fitGbkBytes(u"ab教", 3), QStringLiteral("ab"));
    QCOMPARE(fitGbkBytes(u"a\r\nb", 2), QStringLiteral("a")); // no half line break
    QCOMPARE(fitGbkBytes(u"a\r\nb", 3), QStringLiteral("a\r\n"));
    const QString emoji = QString::fromUtf8("x\xF0\x9F\x98\x80");
    QCOMPARE(fitGbkBytes(emoji, 2), QStringLiteral("x")); // never half a surrogate pair
    QCOMPARE(fitGbkBytes(u"abc", 0), QString());
    QCOMPARE(fitGbkBytes(u"abc", 99), QStringLiteral("abc"));
}

void TestRecord::eduCodeDisplay_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("display");
    QTest::newRow("initial") << QStringLiteral("0000000000") << QStringLiteral("000-000-0000");
    QTest::newRow("empty") << QString() << QStringLiteral("___-___-____");
    QTest::newRow("five digits") << QStringLiteral("12345") << QStringLiteral("123-45_-____");
    QTest::newRow("blank stays") << QStringLiteral("12 4567890") << QStringLiteral("12 -456-7890");
    QTest::newRow("beyond ten") << QStringLiteral("123456789012") << QStringLiteral("123-456-789012");
}

void TestRecord::eduCodeDisplay()
{
    QFETCH(QString, value);
    QFETCH(QString, display);
    QCOMPARE(shenbao::eduCodeDisplay(value), display);
}

void TestRecord::eduCodeValue_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("value");
    QTest::newRow("complete") << QStringLiteral("123-456-7890") << QStringLiteral("1234567890");
    QTest::newRow("trailing run dropped") << QStringLiteral("123-45_-____") << QStringLiteral("12345");
    QTest::newRow("inner gap is a blank") << QStringLiteral("12_-456-7890") << QStringLiteral("12 4567890");
    QTest::newRow("all empty") << QStringLiteral("___-___-____") << QString();
    QTest::newRow("leading gap") << QStringLiteral("_2_-___-____") << QStringLiteral(" 2");
}

void TestRecord::eduCodeValue()
{
    QFETCH(QString, display);
    QFETCH(QString, value);
    QCOMPARE(shenbao::eduCodeValue(display), value);
}

void TestRecord::choiceLookup()
{
    const QStringList cities = choiceItems(Field::BelongCity);
    QCOMPARE(cities.at(0), cities.at(1)); // the capital stands twice
    QCOMPARE(choiceIndex(Field::BelongCity, cities.at(1)), 0);
    QCOMPARE(choiceIndex(Field::BelongCity, cities.at(14)), 14);
    QCOMPARE(choiceIndex(Field::Sex, u"女"), 1);
    QCOMPARE(choiceIndex(Field::Sex, u""), -1);
    QCOMPARE(choiceIndex(Field::Sex, u"女 "), -1); // blanks count
    QCOMPARE(choiceIndex(Field::ResearchClass, u"基础研究"), 0);
    QCOMPARE(provinceCities().size(), 14);
    QCOMPARE(provinceCities().first(), cities.first());
    QCOMPARE(provinceCities().last(), cities.last());
}

void TestRecord::startUpState()
{
    const ApplicationRecord r;
    for (const FieldSpec& spec : fieldCatalogue()) {
        if (spec.kind == FieldKind::Table) {
            const TableGrid& t = r.table(spec.field);
            for (int row = 1; row <= t.rows(); ++row)
                for (int c = 0; c < t.columns(); ++c) {
                    const bool preset =
                        spec.field == Field::FinallyProduction && row == kPresetRow && c == kPresetColumn;
                    QCOMPARE(t.cell(row, c), preset ? QStringLiteral("研究报告") : QString());
                }
        } else if (spec.field == Field::EduCode) {
            QCOMPARE(r.value(spec.field), QStringLiteral("0000000000"));
        } else {
            QVERIFY2(r.value(spec.field).isEmpty(), qPrintable(fieldName(spec.field)));
        }
    }
    QCOMPARE(r.projectId(), QStringLiteral("000000000000000000000000"));
    QVERIFY(!r.isChosen(Field::BelongCity));

    const ApplicationRecord e = ApplicationRecord::empty();
    QVERIFY(e.value(Field::EduCode).isEmpty());
    QVERIFY(e.table(Field::FinallyProduction).cell(1, 3).isEmpty());
    QCOMPARE(e.table(Field::MainActor).rows(), 15);
    QVERIFY(!(e == r));
}

void TestRecord::writeRules()
{
    ApplicationRecord r;
    r.setValue(Field::BelongCity, choiceItems(Field::BelongCity).at(1));
    QCOMPARE(r.value(Field::BelongCity), choiceItems(Field::BelongCity).at(0));
    r.setValue(Field::Sex, QStringLiteral("unknown"));
    QVERIFY(!r.isChosen(Field::Sex));
    r.setValue(Field::EduCode, QStringLiteral("1_3"));
    QCOMPARE(r.value(Field::EduCode), QStringLiteral("1 3")); // as the masked box reads it back
    // Program writes take the whole text, beyond any typing limit.
    const QString longName(100, u'长');
    r.setValue(Field::ProjectName, longName);
    QCOMPARE(r.value(Field::ProjectName), longName);

    TableGrid& t = r.table(Field::MainActor);
    t.setCell(15, 6, QStringLiteral("某校"));
    QCOMPARE(t.row(15).size(), 7);
    QCOMPARE(t.row(15).last(), QStringLiteral("某校"));
    t.setCell(16, 0, QStringLiteral("x")); // out of range is ignored
    t.setCell(1, 7, QStringLiteral("x"));
    QCOMPARE(t.cell(16, 0), QString());
    t.clearRow(15);
    QCOMPARE(t.cell(15, 6), QString());
}

void TestRecord::longTextLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("one line break") << QStringLiteral("\r\n") << QStringList{QString()};
    QTest::newRow("two lines") << QStringLiteral("第一行\r\n第二行")
                               << QStringList{u"第一行"_qs, u"第二行"_qs};
    QTest::newRow("final break adds no line")
        << QStringLiteral("a\r\nb\r\n") << QStringList{u"a"_qs, u"b"_qs};
    QTest::newRow("lone lf") << QStringLiteral("a\nb") << QStringList{u"a"_qs, u"b"_qs};
    QTest::newRow("empty line inside")
        << QStringLiteral("a\r\n\r\nb") << QStringList{u"a"_qs, QString(), u"b"_qs};
}

void TestRecord::longTextLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(shenbao::longTextLines(text), lines);
    QCOMPARE(shenbao::longTextLines(longTextFromLines(lines)), lines);
    QCOMPARE(shenbao::longTextLines(withCrLf(text)), lines);
}

// Every code of the code page, decoded and encoded again, against the table the Linux build
// (ICU) made: "tests/data/gbk-cp936.table", 256 single bytes then 126 x 191 pairs, each the
// character as 16 bits little-endian, 0 for none. SHENBAO_WRITE_GBK_TABLE=FILE writes it anew.
void TestRecord::gbkEveryCodeBothWays()
{
    std::vector<char16_t> table;
    std::vector<QByteArray> codes;
    for (int b = 0; b < 0x100; ++b) {
        table.push_back(gbk::isLeadByte(uchar(b)) ? 0 : gbk::fromByte(uchar(b)));
        codes.push_back(QByteArray(1, char(b)));
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            table.push_back(gbk::fromPair(uchar(lead), uchar(trail)));
            const char pair[2] = {char(lead), char(trail)};
            codes.push_back(QByteArray(pair, 2));
        }
    QByteArray bytes;
    for (const char16_t c : table) {
        bytes.append(char(c & 0xFF));
        bytes.append(char(c >> 8));
    }
    if (const QString out = qEnvironmentVariable("SHENBAO_WRITE_GBK_TABLE"); !out.isEmpty()) {
        QFile file(out);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        QSKIP("table written");
    }
    QFile file(QStringLiteral(SHENBAO_TEST_DATA "/gbk-cp936.table"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray reference = file.readAll();
    QCOMPARE(reference.size(), bytes.size());
    std::map<char16_t, std::vector<QByteArray>> codesOf;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const char16_t want =
            char16_t(uchar(reference[qsizetype(2 * i)]) | uchar(reference[qsizetype(2 * i + 1)]) << 8);
        if (table[i] != want)
            QFAIL(qPrintable(
                u"%1 decodes to U+%2, the table says U+%3"_s.arg(QString::fromLatin1(codes[i].toHex()))
                    .arg(uint(table[i]), 4, 16, QChar(u'0'))
                    .arg(uint(want), 4, 16, QChar(u'0'))));
        if (want)
            codesOf[want].push_back(codes[i]);
    }
    for (int u = 1; u < 0x10000; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF)
            continue;
        char out[2];
        const int n = gbk::toBytes(char16_t(u), out);
        const auto it = codesOf.find(char16_t(u));
        if (it == codesOf.end()) {
            if (n != 0)
                QFAIL(qPrintable(u"U+%1 has no code but encodes"_s.arg(u, 4, 16, QChar(u'0'))));
            continue;
        }
        const QByteArray got(out, n);
        if (std::find(it->second.begin(), it->second.end(), got) == it->second.end())
            QFAIL(qPrintable(u"U+%1 encodes to \"%2\""_s.arg(u, 4, 16, QChar(u'0'))
                                 .arg(QString::fromLatin1(got.toHex()))));
    }
    // Whole texts: a character without a code fails, a bad byte shows as U+FFFD.
    QCOMPARE(gbk::encode(u"教育€"), std::optional<QByteArray>("\xBD\xCC\xD3\xFD\x80"));
    QCOMPARE(gbk::encode(u"a\U0001F600"), std::nullopt);
    QCOMPARE(gbk::decode("\xBD\xCC\x81\x7F\xBD"), u"教\uFFFD\x7F\uFFFD"_s);
}

QTEST_APPLESS_MAIN(TestRecord)
#include "test_record.moc"
