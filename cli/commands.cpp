// xdxtool check, dump, build and official.
#include "cli/commands.h"

#include "cli/inputs.h"
#include "cli/messages.h"
#include "files/files.h"
#include "record/textrules.h"
#include "session/session.h"
#include "xdx/passby.h"
#include "xdx/xdxjson.h"

using namespace Qt::StringLiterals;

namespace shenbao::cli {
namespace {

constexpr qint64 kMaxJsonBytes = 64 * 1024 * 1024;

// What check keeps of a document: the lines it prints, not the record.
struct Checked
{
    DocumentResult document;
    bool official = false;
    QStringList entries;
};

} // namespace

int checkCommand(Invocation& invocation)
{
    const std::optional<QStringList> inputs = invocation.files();
    if (!inputs)
        return invocation.status();
    const QStringList& files = *inputs;
    const bool json = invocation.isSet(u"json");
    const bool prefix = files.size() > 1;
    QTextStream& out = invocation.out();
    std::optional<JsonListOut<QTextStream>> list;
    if (json)
        list.emplace(out);
    Progress progress(invocation.err(), files.size());
    const Tally tally = forEachDocument<Checked>(
        invocation, files,
        [](const QString& file, qsizetype) {
            const OpenedDocument v = openDocument(file);
            return Checked{documentResult(v), v.official(), v.errorList.value_or(QStringList())};
        },
        [&](qsizetype, const QString& shown, const Checked& v) {
            if (list) {
                JsonLine line;
                line.beginObject().field(u"file", shown).field(u"status", outcomeKey(v.document.outcome));
                line.key(u"message").textOrNull(v.document.message).field(u"official", v.official);
                line.key(u"entries").beginArray();
                for (const QString& entry : v.entries)
                    line.value(entry);
                list->add(line.endArray().endObject());
                return;
            }
            for (const QString& entry : v.entries) {
                if (prefix)
                    out << shown << ": ";
                out << entry << '\n';
            }
        },
        progress);
    if (list)
        list->finish();
    progress.write(msg::checkSummary(tally.files(), tally[Outcome::Complete], tally[Outcome::Incomplete],
                                     tally[Outcome::Rejected], tally[Outcome::Unreadable]));
    return tally.exitStatus(true);
}

namespace {

struct Dumped
{
    DocumentResult document;
    QString line; // the record as one line of JSON, with "file" first; empty when not read
};

// recordToJson's object on one line: its line breaks are layout only (texts escape theirs).
QString oneLine(const QString& json, const QString& shown)
{
    QStringList parts = json.split(u'\n', Qt::SkipEmptyParts);
    for (QString& part : parts)
        part = part.trimmed();
    QString line = parts.join(u' ');
    line.replace(0, 1, u"{\"file\": "_s + jsonString(shown) + u","_s);
    return line;
}

} // namespace

int dumpCommand(Invocation& invocation)
{
    if (!invocation.isSet(u"jsonl")) {
        if (invocation.positional().size() != 1)
            return invocation.usageError(msg::wantOneFile());
        const QString file = invocation.positional().constFirst();
        const OpenedDocument v = openDocument(file);
        if (!v.message().isEmpty()) {
            invocation.err() << shownPath(file) << ": " << boxLines(documentResult(v).message) << '\n';
            return Failure;
        }
        invocation.out() << QString::fromUtf8(recordToJson(v.record, v.official()));
        return Ok;
    }
    // Many files: one JSON object a line, in input order.
    const std::optional<QStringList> inputs = invocation.files();
    if (!inputs)
        return invocation.status();
    Progress progress(invocation.err(), inputs->size());
    const Tally tally = forEachDocument<Dumped>(
        invocation, *inputs,
        [](const QString& file, qsizetype) {
            const OpenedDocument v = openDocument(file);
            Dumped d{documentResult(v), {}};
            if (v.message().isEmpty())
                d.line = oneLine(QString::fromUtf8(recordToJson(v.record, v.official())), shownPath(file));
            else
                d.document.outcome = Outcome::Unreadable; // no line: a failure of the run
            return d;
        },
        [&](qsizetype, const QString&, const Dumped& d) {
            if (!d.line.isEmpty())
                invocation.out() << d.line << '\n';
        },
        progress);
    return tally.exitStatus(false);
}

int buildCommand(Invocation& invocation)
{
    const QStringList files = invocation.positional();
    if (files.size() != 2)
        return invocation.usageError(msg::wantJsonAndXdx());
    const QString& in = files[0];
    const QString& outPath = files[1];
    QTextStream& err = invocation.err();
    if (in != u"-") {
        const std::optional<FileIdentity> input = fileIdentity(in);
        if (input && input == fileIdentity(outPath))
            return invocation.usageError(msg::outputIsInput(shownPath(outPath)));
    }

    const FileResult<QByteArray> bytes =
        in == u"-" ? readStandardInput(kMaxJsonBytes) : readRegularFile(in, kMaxJsonBytes);
    if (!bytes) {
        err << (in == u"-" ? in : shownPath(in)) << ": " << msg::cannotRead(bytes.error().why()) << '\n';
        return Failure;
    }
    const JsonRecord parsed = recordFromJson(*bytes);
    if (!parsed) {
        err << shownPath(in) << ": " << parsed.error() << '\n';
        return Failure;
    }
    const PreparedSave save = prepareSave(*parsed);
    if (!save.record) {
        err << save.record.error() << '\n';
        return Refused;
    }
    const WriteResult written = saveXdxFile(outPath, *save.record, save.errorList);
    if (!written) {
        err << written.error() << '\n';
        return Failure;
    }
    // Written as the window's save writes: without what XML cannot hold. Say what that was.
    for (const UnwritableCharacters& lost : unwritableCharacters(*save.record))
        err << msg::charactersLeftOut(fieldName(lost.field), lost.characters) << '\n';
    err << msg::built(shownPath(outPath), save.errorList.size()) << '\n';
    return Ok;
}

namespace {

struct Marked
{
    DocumentResult document; // Unreadable with the reason when the file was not changed
    QString done;            // what was done, for standard output
};

Marked markFile(const QString& file, bool official)
{
    constexpr qint64 kMaxDocumentBytes = qint64(64) << 20;
    const auto refused = [](const QString& why) { return Marked{{Outcome::Unreadable, why}, {}}; };
    const FileResult<QByteArray> read = readRegularFile(file, kMaxDocumentBytes);
    if (!read)
        return refused(msg::cannotRead(read.error().why()));
    const Expected<PassbyEdit, QString> edit = withPassby(*read, official);
    if (!edit)
        return refused(edit.error());
    if (!edit->changed)
        return {{}, msg::alreadyMarked(official)};
    const FileResult<void> written = replaceFile(file, edit->bytes);
    if (!written)
        return refused(msg::cannotWrite(written.error().why()));
    return {{}, msg::marked(official)};
}

} // namespace

int officialCommand(Invocation& invocation)
{
    const std::optional<QStringList> inputs = invocation.files();
    if (!inputs)
        return invocation.status();
    const bool official = !invocation.isSet(u"revoke");
    Progress progress(invocation.err(), inputs->size());
    const Tally tally = forEachDocument<Marked>(
        invocation, *inputs, [official](const QString& file, qsizetype) { return markFile(file, official); },
        [&](qsizetype, const QString& shown, const Marked& m) {
            if (!m.done.isEmpty())
                invocation.out() << shown << ": " << m.done << '\n';
        },
        progress);
    return tally.exitStatus(false);
}

} // namespace shenbao::cli
