// xdxtool similar: applications that copy each other, found across a round without comparing
// every pair in full: each file sketched once, only the pairs whose sketches agree compared.
#include "cli/commands.h"
#include "cli/inputs.h"
#include "cli/messages.h"
#include "office/similar.h"
#include "record/textrules.h"
#include "xdx/xdxjson.h"

using namespace Qt::StringLiterals;

namespace shenbao::cli {
using office::SimilarFinding;

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

JsonLine findingJson(const SimilarFinding& f, const QStringList& files)
{
    JsonLine line;
    line.beginObject();
    if (f.isFamily()) {
        line.field(u"kind", u"family").field(u"a", shownPath(files[f.a])).field(u"b", shownPath(files[f.b]));
        line.key(u"members").beginArray();
        for (const int m : f.members)
            line.value(shownPath(files[m]));
        return line.endArray().endObject();
    }
    const Similarity& s = f.similarity;
    line.field(u"kind", s.similar() ? u"similar" : u"passage")
        .field(u"a", shownPath(files[f.a]))
        .field(u"b", shownPath(files[f.b]))
        .field(u"score", s.score, 3)
        .field(u"longest", s.longest)
        .key(u"texts")
        .beginArray();
    for (const TextSimilarity& x : s.texts) {
        line.beginObject()
            .field(u"field", fieldName(x.field))
            .field(u"fieldB", fieldName(x.fieldB))
            .field(u"score", x.score, 3)
            .field(u"passages", x.passages)
            .key(u"first")
            .beginArray();
        for (const SharedPassage& p : x.first)
            line.beginObject()
                .field(u"a", qint64(p.atA))
                .field(u"b", qint64(p.atB))
                .field(u"characters", p.characters)
                .field(u"text", p.text)
                .endObject();
        line.endArray().endObject();
    }
    return line.endArray().endObject();
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
    ToolReport report(invocation, progress);
    const SimilarityIndex index =
        office::indexFiles(files, invocation.jobs(), invocation.problems(), report, &tally);
    if (tally.outputFailed)
        return Failure;

    QTextStream& out = invocation.out();
    std::optional<JsonListOut<QTextStream>> list;
    if (invocation.isSet(u"json"))
        list.emplace(out);
    qsizetype similar = 0, passages = 0, families = 0, inFamilies = 0, written = 0;
    office::similarFindings(index, invocation.jobs(), invocation.isSet(u"all-pairs"),
                            [&](const SimilarFinding& f) {
                                if (list)
                                    list->add(findingJson(f, files));
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
    if (list)
        list->finish();
    out.flush();
    if (outputLost(invocation, tally))
        return Failure;
    progress.write(msg::similarSummary(files.size(), similar, passages, families, inFamilies));
    const int status = tally.exitStatus(false);
    return status == Ok && written > 0 ? int(Found) : status;
}

} // namespace shenbao::cli
