// make_round N SEED FOLDER [EXPERTS]: a generated round in FOLDER/inbox (N applications, some
// broken, incomplete, the same leader twice, near-copies), and FOLDER/planted.tsv saying which;
// with EXPERTS, a roster of that many in FOLDER/roster.csv for five reviewers an application.
#include "bench/roundgen.h"

#include "xdx/xdxfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4 && args.size() != 5) {
        std::fprintf(stderr, "usage: make_round N SEED FOLDER [EXPERTS]\n");
        return 2;
    }
    const int n = args[1].toInt();
    const QDir folder(args[3]);
    folder.mkpath(QStringLiteral("inbox"));
    shenbao::bench::Round round = shenbao::bench::makeRound(n, args[2].toUInt());
    if (args.size() == 5) {
        QFile roster(folder.filePath(QStringLiteral("roster.csv")));
        roster.open(QIODevice::WriteOnly);
        QTextStream out(&roster);
        out << "\xEF\xBB\xBF"
            << QStringLiteral("姓名,单位,所在市（州）,学科分类,最多评审数,回避单位,联系方式\n");
        for (const auto& x : shenbao::bench::makeRoster(round, args[4].toInt(), 5, args[2].toUInt() + 1))
            out << x.name << ',' << x.unit << ',' << x.city << ',' << x.subjects << ',' << x.maxLoad << ','
                << x.avoid << ',' << x.contact << '\n';
    }
    const auto name = [&](int i) {
        return folder.filePath(QStringLiteral("inbox/%1-%2.xdx")
                                   .arg(i + 1, 5, 10, QChar(u'0'))
                                   .arg(round.applications[std::size_t(i)].value(shenbao::Field::Presider)));
    };
    for (int i = 0; i < n; ++i) {
        QByteArray bytes = shenbao::xdxBytes(round.applications[std::size_t(i)], {});
        if (std::find(round.broken.begin(), round.broken.end(), i) != round.broken.end())
            bytes.truncate(bytes.size() / 2);
        QFile f(name(i));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name(i)));
            return 2;
        }
    }
    QFile planted(folder.filePath(QStringLiteral("planted.tsv")));
    planted.open(QIODevice::WriteOnly);
    QTextStream out(&planted);
    for (const auto& p : round.planted)
        out << shenbao::bench::copyKindName(p.kind) << '\t' << name(p.original) << '\t' << name(p.copy)
            << '\t' << p.share << '\n';
    for (const auto& [a, b] : round.sameLeader)
        out << "same-leader\t" << name(a) << '\t' << name(b) << '\n';
    for (int i : round.broken)
        out << "broken\t" << name(i) << '\n';
    std::printf(
        "%d applications in %s: %zu planted copies, %zu with the same leader, %zu broken, %zu incomplete\n",
        n, qPrintable(folder.filePath(QStringLiteral("inbox"))), round.planted.size(),
        round.sameLeader.size(), round.broken.size(), round.incomplete.size());
    return 0;
}
