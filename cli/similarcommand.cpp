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
    ToolReport report(invocation, progress);
    const SimilarityIndex index = office::indexFiles(files, invocation.jobs(), invocation.problems(), report, &tally);
    if (tally.outputFailed)
        return Failure;

    QTextStream& out = invocation.out();
    const bool json = invocation.isSet(u"json");
    if (json)
        out << '[';
    qsizetype similar = 0, passages = 0, families = 0, inFamilies = 0, written = 0;
    office::similarFindings(index, invocation.jobs(), invocation.isSet(u"all-pairs"), [&](const SimilarFinding& f) {
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
