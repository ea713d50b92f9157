// xdxtool similar: applications that copy each other, found across a round without comparing
// every pair in full: each file sketched once, only the pairs whose sketches agree compared.
#include "check/similarity.h"
#include "cli/commands.h"
#include "cli/inputs.h"
#include "cli/messages.h"
#include "cli/similar.h"
#include "record/textrules.h"
#include "xdx/xdxfile.h"
#include "xdx/xdxjson.h"

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace shenbao::cli {
namespace {

struct Indexed
{
    DocumentResult document;
    SimilarityEntry entry;
};

// A piece of the search, in the order of its output: a family, or a candidate pair.
struct Piece
{
    int a = 0, b = 0;
    int family = -1; // into the index's families, or -1 for a pair
};

// Every pair two findings stand for: a family's members with each other, and each member of one
// side's family with each of the other's. Passages are not placed for these.
std::vector<SimilarFinding> allPairsOf(const SimilarityIndex& index, const std::vector<SimilarFinding>& found)
{
    std::vector<std::vector<int>> familyOf(std::size_t(index.size()));
    for (const std::vector<int>& f : index.families())
        familyOf[std::size_t(f.front())] = f;
    const auto membersOf = [&](int r) { return familyOf[std::size_t(r)].empty() ? std::vector<int>{r} : familyOf[std::size_t(r)]; };
    std::vector<SimilarFinding> pairs;
    for (const SimilarFinding& f : found) {
        Similarity same;
        if (f.isFamily())
            same = index.compare(f.members[0], f.members[1]);
        const std::vector<int> left = f.isFamily() ? f.members : membersOf(f.a);
        const std::vector<int> right = f.isFamily() ? f.members : membersOf(f.b);
        for (const int x : left)
            for (const int y : right)
                if (f.isFamily() ? x < y : true)
                    pairs.push_back({std::min(x, y), std::max(x, y), {}, f.isFamily() ? same : f.similarity});
    }
    for (SimilarFinding& p : pairs)
        for (TextSimilarity& t : p.similarity.texts)
            t.first.clear();
    std::sort(pairs.begin(), pairs.end(), [](const SimilarFinding& x, const SimilarFinding& y) {
        return std::pair{x.a, x.b} < std::pair{y.a, y.b};
    });
    return pairs;
}

} // namespace

SimilarityIndex indexFiles(Invocation& invocation, const QStringList& files, Progress& progress, Tally* tally)
{
    std::vector<SimilarityEntry> entries;
    entries.reserve(std::size_t(files.size()));
    *tally = forEachDocument<Indexed>(
        invocation, files,
        [](const QString& file, qsizetype) {
            // Only the texts are wanted: no check.
            static constexpr Field kWanted[] = {Field::ProjectName, kComparedTexts[0], kComparedTexts[1]};
            const OpenResult opened = openXdxFile(file, kWanted);
            Indexed x{documentResult(opened, std::nullopt, Needs::Document), {}};
            if (openStatus(opened) == OpenStatus::Loaded)
                x.entry = similarityEntryOf(opened->record);
            return x;
        },
        [&](qsizetype, const QString&, Indexed& x) { entries.push_back(std::move(x.entry)); }, progress);
    return SimilarityIndex(std::move(entries));
}

void similarFindings(const SimilarityIndex& index, int jobs, bool allPairs,
                     const std::function<bool(SimilarFinding&)>& deliver)
{
    std::vector<Piece> pieces;
    for (std::size_t f = 0; f < index.families().size(); ++f)
        pieces.push_back({index.families()[f][0], index.families()[f][1], int(f)});
    for (const auto& [a, b] : index.candidates())
        pieces.push_back({a, b, -1});
    std::sort(pieces.begin(), pieces.end(), [](const Piece& x, const Piece& y) { return std::pair{x.a, x.b} < std::pair{y.a, y.b}; });

    std::vector<SimilarFinding> found; // with allPairs: each expanded once all are known
    bool going = true;
    forEachInOrder<std::optional<SimilarFinding>>(
        qsizetype(pieces.size()), jobs,
        [&](qsizetype k) -> std::optional<SimilarFinding> {
            const Piece& p = pieces[std::size_t(k)];
            if (p.family >= 0)
                return SimilarFinding{p.a, p.b, index.families()[std::size_t(p.family)], {}};
            Similarity s = index.compare(p.a, p.b);
            if (!s.reported())
                return std::nullopt;
            if (!allPairs)
                placePassages(s, index.entry(p.a), index.entry(p.b));
            return SimilarFinding{p.a, p.b, {}, std::move(s)};
        },
        [&](qsizetype, std::optional<SimilarFinding>& f) {
            if (!f)
                return true;
            if (allPairs) {
                found.push_back(std::move(*f));
                return true;
            }
            return going = deliver(*f);
        });
    if (!allPairs || !going)
        return;
    for (SimilarFinding& p : allPairsOf(index, found))
        if (!deliver(p))
            return;
}

namespace {

QString textLabel(const TextSimilarity& t)
{
    return t.field == t.fieldB ? fieldName(t.field) : fieldName(t.field) + u'/' + fieldName(t.fieldB);
}

QString findingLine(const SimilarFinding& f, const QStringList& files)
{
    if (f.isFamily()) {
        QStringList members;
        for (const int m : f.members)
            members.append(shownPath(files[m]));
        return msg::similarFamily(members);
    }
    QStringList texts;
    for (const TextSimilarity& t : f.similarity.texts) {
        QStringList first;
        for (const SharedPassage& p : t.first)
            first.append(msg::sharedPassage(p.atA + 1, p.atB + 1, p.characters, visibleControls(p.text)));
        texts.append(msg::similarText(textLabel(t), t.score, t.passages, first));
    }
    const QString a = shownPath(files[f.a]), b = shownPath(files[f.b]);
    return f.similarity.similar() ? msg::similarPair(a, b, f.similarity.score, texts)
                                  : msg::longPassagePair(a, b, f.similarity.longest, texts);
}

QString findingJson(const SimilarFinding& f, const QStringList& files)
{
    QString line = u"{\"kind\": "_s;
    if (f.isFamily()) {
        line += u"\"family\", \"a\": "_s + jsonString(shownPath(files[f.a])) + u", \"b\": "_s +
                jsonString(shownPath(files[f.b])) + u", \"members\": ["_s;
        for (std::size_t m = 0; m < f.members.size(); ++m)
            line += (m ? u", "_s : QString()) + jsonString(shownPath(files[f.members[m]]));
        return line + u"]}"_s;
    }
    const Similarity& s = f.similarity;
    line += (s.similar() ? u"\"similar\""_s : u"\"passage\""_s) + u", \"a\": "_s + jsonString(shownPath(files[f.a])) +
            u", \"b\": "_s + jsonString(shownPath(files[f.b])) + u", \"score\": "_s + QString::number(s.score, 'f', 3) +
            u", \"longest\": "_s + QString::number(s.longest) + u", \"texts\": ["_s;
    for (std::size_t t = 0; t < s.texts.size(); ++t) {
        const TextSimilarity& x = s.texts[t];
        line += (t ? u", {"_s : u"{"_s) + u"\"field\": "_s + jsonString(fieldName(x.field)) + u", \"fieldB\": "_s +
                jsonString(fieldName(x.fieldB)) + u", \"score\": "_s + QString::number(x.score, 'f', 3) +
                u", \"passages\": "_s + QString::number(x.passages) + u", \"first\": ["_s;
        for (std::size_t k = 0; k < x.first.size(); ++k)
            line += (k ? u", {"_s : u"{"_s) + u"\"a\": "_s + QString::number(x.first[k].atA) + u", \"b\": "_s +
                    QString::number(x.first[k].atB) + u", \"characters\": "_s + QString::number(x.first[k].characters) +
                    u", \"text\": "_s + jsonString(x.first[k].text) + u'}';
        line += u"]}"_s;
    }
    return line + u"]}"_s;
}

} // namespace

int similarCommand(Invocation& invocation)
{
    const std::optional<QStringList> inputs = invocation.files();
    if (!inputs)
        return invocation.status();
    const QStringList& files = *inputs;
    Progress progress(invocation.err(), files.size());
    Tally tally;
    const SimilarityIndex index = indexFiles(invocation, files, progress, &tally);
    if (tally.outputFailed)
        return Failure;

    QTextStream& out = invocation.out();
    const bool json = invocation.isSet(u"json");
    if (json)
        out << '[';
    qsizetype similar = 0, passages = 0, families = 0, inFamilies = 0, written = 0;
    similarFindings(index, invocation.jobs(), invocation.isSet(u"all-pairs"), [&](const SimilarFinding& f) {
        if (json)
            out << (written ? ",\n  " : "\n  ") << findingJson(f, files);
        else
            out << findingLine(f, files) << '\n';
        ++written;
        if (f.isFamily())
            ++families, inFamilies += qsizetype(f.members.size());
        else if (f.similarity.similar())
            ++similar;
        else
            ++passages;
        return !outputLost(invocation, tally);
    });
    if (json)
        out << "\n]\n";
    out.flush();
    if (outputLost(invocation, tally))
        return Failure;
    progress.write(msg::similarSummary(files.size(), similar, passages, families, inFamilies));
    const int status = tally.exitStatus(false);
    return status == Ok && written > 0 ? int(Found) : status;
}

} // namespace shenbao::cli
