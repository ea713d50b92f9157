// xdxtool anonymity: the loose leaves go to the reviewers without the applicant's name or unit.
#include "cli/inputs.h"
#include "cli/messages.h"
#include "cli/xdxtool.h"
#include "record/textrules.h"
#include "session/session.h"
#include "xdx/xdxjson.h"

#include <algorithm>
#include <vector>

namespace shenbao::cli {
namespace {

// What the loose leaves print (Page14: ProjectName and ProjectReasoning; Page15: ProjectAnalyze).
constexpr Field kSearched[] = {Field::ProjectName, Field::ProjectReasoning, Field::ProjectAnalyze};
constexpr int kContext = 10;
constexpr int kNameColumn = 0, kUnitColumn = 6;

struct Needle
{
    QString text;
    QString source; // where the application gives it
};

struct Hit
{
    Field field;
    QString text;
    QString source;
    QString context;
};

struct Scanned
{
    QString message; // the document could not be read
    std::vector<Hit> hits;
};

void addNeedle(std::vector<Needle>& needles, const QString& text, const QString& source)
{
    const QString t = text.simplified();
    // One character names nobody for sure, and would be found everywhere.
    if (t.size() < 2)
        return;
    for (const Needle& n : needles)
        if (n.text.compare(t, Qt::CaseInsensitive) == 0)
            return;
    needles.push_back({t, source});
}

// A unit, and the unit without the city the application names (BelongCity: "岚川市", or "岚川").
void addUnit(std::vector<Needle>& needles, const QString& unit, const QString& source, const QString& city)
{
    const QString u = unit.simplified();
    addNeedle(needles, u, source);
    QString bare = city.simplified();
    for (const QString& prefix : {bare, bare.endsWith(u'市') || bare.endsWith(u'州') ? bare.chopped(1) : QString()})
        if (prefix.size() >= 2 && u.startsWith(prefix) && u.size() - prefix.size() >= 4)
            addNeedle(needles, u.mid(prefix.size()), source);
}

std::vector<Needle> needlesOf(const ApplicationRecord& r)
{
    std::vector<Needle> needles;
    const QString city = r.value(Field::BelongCity);
    addNeedle(needles, r.value(Field::Presider), fieldName(Field::Presider));
    const TableGrid& actors = r.table(Field::MainActor);
    for (int row = 1; row <= actors.rows(); ++row)
        addNeedle(needles, actors.cell(row, kNameColumn), msg::participantName(row));
    addUnit(needles, r.value(Field::Department), fieldName(Field::Department), city);
    for (int row = 1; row <= actors.rows(); ++row)
        addUnit(needles, actors.cell(row, kUnitColumn), msg::participantUnit(row), city);
    for (Field f : {Field::OutlayDepartment, Field::OutlayBank, Field::ContactAddress})
        addUnit(needles, r.value(f), fieldName(f), city);
    std::stable_sort(needles.begin(), needles.end(),
                     [](const Needle& a, const Needle& b) { return a.text.size() > b.text.size(); });
    return needles;
}

QString contextOf(const QString& text, qsizetype at, qsizetype length)
{
    const qsizetype from = std::max<qsizetype>(0, at - kContext);
    const qsizetype to = std::min<qsizetype>(text.size(), at + length + kContext);
    QString c = text.mid(from, to - from);
    c.replace(u"\r\n"_qs, u" "_qs).replace(u'\n', u' ');
    return visibleControls((from > 0 ? u"…"_qs : QString()) + c + (to < text.size() ? u"…"_qs : QString()));
}

Scanned scanFile(const QString& file)
{
    const OpenedDocument v = openDocument(file);
    if (v.status != OpenResult::Status::Loaded)
        return {v.message.isEmpty() ? rejectedMessage() : v.message, {}};
    Scanned s;
    const std::vector<Needle> needles = needlesOf(v.record);
    for (Field f : kSearched) {
        const QString text = v.record.value(f);
        // Longest first: a unit found whole is not found again without its city.
        std::vector<std::pair<qsizetype, qsizetype>> taken;
        std::vector<Hit> hits;
        std::vector<qsizetype> at;
        for (const Needle& n : needles)
            for (qsizetype i = text.indexOf(n.text, 0, Qt::CaseInsensitive); i >= 0;
                 i = text.indexOf(n.text, i + n.text.size(), Qt::CaseInsensitive)) {
                const qsizetype end = i + n.text.size();
                if (std::any_of(taken.begin(), taken.end(), [&](auto r) { return r.first <= i && end <= r.second; }))
                    continue;
                taken.emplace_back(i, end);
                hits.push_back({f, text.mid(i, n.text.size()), n.source, contextOf(text, i, n.text.size())});
                at.push_back(i);
            }
        // In the order of the text.
        std::vector<std::size_t> order(hits.size());
        for (std::size_t k = 0; k < order.size(); ++k)
            order[k] = k;
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return at[a] < at[b]; });
        for (std::size_t k : order)
            s.hits.push_back(hits[k]);
    }
    return s;
}

} // namespace

int anonymityCommand(const QStringList& args, Io& io)
{
    QCommandLineParser parser;
    const QCommandLineOption jsonOption(u"json"_qs);
    parser.addOption(jsonOption);
    ManyFiles many;
    int status = Failure;
    const std::optional<QStringList> inputs = many.parse(parser, args, io, u"anonymity"_qs, &status);
    if (!inputs)
        return status;
    const QStringList& files = *inputs;
    const bool json = parser.isSet(jsonOption);
    int worst = Ok;
    qsizetype found = 0, named = 0;
    if (json)
        io.out << '[';
    Progress progress(io.err, files.size());
    forEachInOrder<Scanned>(
        files.size(), many.jobs(parser), [&](qsizetype i) { return scanFile(files[i]); },
        [&](qsizetype i, const Scanned& s) {
            const QString name = visibleControls(files[i]);
            if (!s.message.isEmpty()) {
                progress.write(name + u": "_qs + s.message.split(u"\r\n"_qs, Qt::SkipEmptyParts).join(u' '));
                worst = Failure;
            } else if (!s.hits.empty()) {
                worst = std::max<int>(worst, 1);
                ++named;
                found += qsizetype(s.hits.size());
            }
            if (json) {
                QString line = (i ? u",\n  {\"file\": "_qs : u"\n  {\"file\": "_qs) + jsonString(files[i]);
                line += u", \"message\": "_qs + (s.message.isEmpty() ? u"null"_qs : jsonString(s.message));
                line += u", \"hits\": ["_qs;
                for (std::size_t h = 0; h < s.hits.size(); ++h) {
                    const Hit& hit = s.hits[h];
                    line += (h ? u", {"_qs : u"{"_qs) + u"\"field\": "_qs + jsonString(fieldName(hit.field)) +
                            u", \"text\": "_qs + jsonString(hit.text) + u", \"source\": "_qs + jsonString(hit.source) +
                            u", \"context\": "_qs + jsonString(hit.context) + u'}';
                }
                io.out << line << "]}";
            } else {
                for (const Hit& hit : s.hits)
                    io.out << name << ": " << msg::anonymityHit(fieldName(hit.field), visibleControls(hit.text), hit.source, hit.context)
                           << '\n';
            }
            progress.step(i + 1);
        });
    if (json)
        io.out << "\n]\n";
    progress.write(msg::anonymitySummary(files.size(), named, found));
    return worst;
}

} // namespace shenbao::cli
