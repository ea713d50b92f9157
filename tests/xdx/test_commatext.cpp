#include "xdx/commatext.h"

#include <QRandomGenerator>
#include <QTest>

using namespace shenbao;

class TestCommaText : public QObject
{
    Q_OBJECT

private slots:
    void join_data();
    void join();
    void split_data();
    void split();
    void roundTripOverGeneratedLists();
};

void TestCommaText::join_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("text");
    QTest::newRow("no item") << QStringList() << QString();
    QTest::newRow("one empty item") << QStringList{QString()} << u"\"\""_qs;
    QTest::newRow("two empty items") << QStringList{QString(), QString()} << u","_qs;
    QTest::newRow("empty MainActor row") << QStringList(7, QString()) << u",,,,,,"_qs;
    QTest::newRow("plain") << QStringList{u"甲"_qs, u"男"_qs, u"45"_qs} << u"甲,男,45"_qs;
    QTest::newRow("blank quotes") << QStringList{u"某 校"_qs} << u"\"某 校\""_qs;
    QTest::newRow("quote doubled") << QStringList{u"a\"b"_qs} << u"\"a\"\"b\""_qs;
    QTest::newRow("comma quotes") << QStringList{u"a,b"_qs} << u"\"a,b\""_qs;
    QTest::newRow("tab quotes") << QStringList{u"a\tb"_qs} << u"\"a\tb\""_qs;
    QTest::newRow("single blank") << QStringList{u" "_qs} << u"\" \""_qs;
    QTest::newRow("empty between") << QStringList{u"a"_qs, QString(), u"b"_qs} << u"a,,b"_qs;
    QTest::newRow("error list") << QStringList{u"01、课题名称  未填写"_qs, u"02、性别  未填写"_qs}
                                << u"\"01、课题名称  未填写\",\"02、性别  未填写\""_qs;
}

void TestCommaText::join()
{
    QFETCH(QStringList, items);
    QFETCH(QString, text);
    QCOMPARE(JoinCommaText(items), text);
}

void TestCommaText::split_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("empty text") << QString() << QStringList();
    QTest::newRow("only blanks") << u"  \t "_qs << QStringList();
    QTest::newRow("two quotes") << u"\"\""_qs << QStringList{QString()};
    QTest::newRow("one comma") << u","_qs << QStringList{QString(), QString()};
    QTest::newRow("six commas") << u",,,,,,"_qs << QStringList(7, QString());
    QTest::newRow("blank separates") << u"a b"_qs << QStringList{u"a"_qs, u"b"_qs};
    QTest::newRow("comma blank") << u"a, b"_qs << QStringList{u"a"_qs, u"b"_qs};
    QTest::newRow("trailing comma") << u"a,"_qs << QStringList{u"a"_qs, QString()};
    QTest::newRow("comma then blank") << u"a, "_qs << QStringList{u"a"_qs};
    QTest::newRow("doubled quote") << u"\"a\"\"b\""_qs << QStringList{u"a\"b"_qs};
    QTest::newRow("quoted blanks") << u"\"某 校\",x"_qs << QStringList{u"某 校"_qs, u"x"_qs};
    QTest::newRow("item right after quote") << u"\"ab\"cd"_qs << QStringList{u"ab"_qs, u"cd"_qs};
    QTest::newRow("leading blanks skipped") << u"  a,b"_qs << QStringList{u"a"_qs, u"b"_qs};
    QTest::newRow("quote inside unquoted") << u"a\"b"_qs << QStringList{u"a\"b"_qs};
    // Mended: a quoted item without its closing quote takes the rest whole.
    QTest::newRow("unterminated quote") << u"x,\"abc def"_qs << QStringList{u"x"_qs, u"abc def"_qs};
    QTest::newRow("lone quote") << u"\""_qs << QStringList{QString()};
    // A NUL ends the text instead of stalling the scan.
    QTest::newRow("nul ends text") << (u"a,b"_qs + QChar(u'\0') + u",c"_qs) << QStringList{u"a"_qs, u"b"_qs};
    QTest::newRow("nul first") << (QString(QChar(u'\0')) + u"a"_qs) << QStringList();
}

void TestCommaText::split()
{
    QFETCH(QString, text);
    QFETCH(QStringList, items);
    QCOMPARE(SplitCommaText(text), items);
}

void TestCommaText::roundTripOverGeneratedLists()
{
    // Characters that matter to the encoding, plus ordinary and Chinese ones.
    const QString alphabet = u"ab1 ,\"\t\r\n\x01\x1f教育，“”'\\"_qs;
    QRandomGenerator rng(20260315);
    for (int round = 0; round < 5000; ++round) {
        QStringList list;
        const int count = int(rng.bounded(6));
        for (int i = 0; i < count; ++i) {
            QString s;
            const int len = int(rng.bounded(7));
            for (int k = 0; k < len; ++k)
                s += alphabet.at(int(rng.bounded(int(alphabet.size()))));
            list.append(s);
        }
        const QString text = JoinCommaText(list);
        QCOMPARE(SplitCommaText(text), list);
    }
}

QTEST_APPLESS_MAIN(TestCommaText)
#include "test_commatext.moc"
