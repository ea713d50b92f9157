#include "cli/xdxtool.h"

#include "cli/inputs.h"
#include "cli/messages.h"
#include "files/files.h"
#include "record/textrules.h"
#include "session/session.h"
#include "xdx/passby.h"
#include "xdx/xdxjson.h"

#include <QFile>

namespace shenbao::cli {
namespace {

constexpr qint64 kMaxJsonBytes = 64 * 1024 * 1024;

QString statusName(const OpenedDocument& v)
{
    switch (v.status) {
    case OpenResult::Status::Rejected:
        return QStringLiteral("rejected");
    case OpenResult::Status::Failed:
        return QStringLiteral("error");
    default:
        return v.errorList.isEmpty() ? QStringLiteral("complete") : QStringLiteral("incomplete");
    }
}

// A box's text on one stream line per text line, continuation lines indented, empty ones left out.
QString boxText(const QString& message)
{
    return message.split(u"\r\n"_qs, Qt::SkipEmptyParts).join(u"\n    "_qs);
}

} // namespace

int usageError(Io& io, const QString& command, const QString& what)
{
    io.err << msg::usage(command, what) << '\n';
    return Failure;
}

namespace {

// What check keeps of a document: the lines it prints, not the record.
struct Checked
{
    QString status;
    QString message;
    bool official = false;
    QStringList entries;
};

Checked checkFile(const QString& file)
{
    const OpenedDocument v = openDocument(file);
    return {statusName(v), v.message, v.official, v.errorList};
}

} // namespace

int checkCommand(const QStringList& args, Io& io)
{
    QCommandLineParser parser;
    const QCommandLineOption jsonOption(u"json"_qs);
    parser.addOption(jsonOption);
    ManyFiles many;
    int status = Failure;
    const std::optional<QStringList> inputs = many.parse(parser, args, io, u"check"_qs, &status);
    if (!inputs)
        return status;
    const bool json = parser.isSet(jsonOption);
    const QStringList& files = *inputs;

    const bool prefix = files.size() > 1;
    int worst = Ok;
    int complete = 0, incomplete = 0, rejected = 0, failed = 0;
    if (json)
        io.out << '[';
    Progress progress(io.err, files.size());
    forEachInOrder<Checked>(
        files.size(), many.jobs(parser), [&](qsizetype i) { return checkFile(files[i]); },
        [&](qsizetype i, const Checked& v) {
            const QString& file = files[i];
            if (v.status == u"complete") {
                ++complete;
            } else if (v.status == u"incomplete") {
                ++incomplete;
                worst = std::max<int>(worst, Incomplete);
            } else {
                (v.status == u"rejected" ? rejected : failed)++;
                worst = Failure;
            }
            if (!v.message.isEmpty())
                progress.write(visibleControls(file) + u": "_qs + boxText(v.message));
            if (json) {
                QString line = i ? u",\n  {"_qs : u"\n  {"_qs;
                line += u"\"file\": "_qs + jsonString(file);
                line += u", \"status\": "_qs + jsonString(v.status);
                line += u", \"message\": "_qs + (v.message.isEmpty() ? u"null"_qs : jsonString(v.message));
                line += v.official ? u", \"official\": true"_qs : u", \"official\": false"_qs;
                line += u", \"entries\": ["_qs;
                for (qsizetype e = 0; e < v.entries.size(); ++e)
                    line += (e ? u", "_qs : QString()) + jsonString(v.entries[e]);
                line += u"]}"_qs;
                io.out << line;
            } else {
                for (const QString& entry : v.entries) {
                    if (prefix)
                        io.out << visibleControls(file) << ": ";
                    io.out << entry << '\n';
                }
            }
            progress.step(i + 1);
        });
    if (json)
        io.out << "\n]\n";
    progress.write(msg::checkSummary(files.size(), complete, incomplete, rejected, failed));
    return worst;
}

namespace {

struct Dumped
{
    QString line;  // the record as one line of JSON, with "file" first
    QString error; // the box the window would show
};

// recordToJson's object on one line: its line breaks are layout only (texts escape theirs).
Dumped dumpLine(const QString& file)
{
    const OpenedDocument v = openDocument(file);
    if (!v.message.isEmpty())
        return {{}, visibleControls(file) + u": "_qs + boxText(v.message)};
    const QString json = QString::fromUtf8(recordToJson(v.record, v.official));
    QStringList parts = json.split(u'\n', Qt::SkipEmptyParts);
    for (QString& part : parts)
        part = part.trimmed();
    QString line = parts.join(u' ');
    line.replace(0, 1, u"{\"file\": "_qs + jsonString(file) + u","_qs);
    return {line, {}};
}

} // namespace

int dumpCommand(const QStringList& args, Io& io)
{
    QCommandLineParser parser;
    const QCommandLineOption jsonlOption(u"jsonl"_qs);
    parser.addOption(jsonlOption);
    ManyFiles many;
    many.addTo(parser);
    int status = Failure;
    if (!parseArguments(parser, args, io, u"dump"_qs, &status))
        return status;
    if (!parser.isSet(jsonlOption)) {
        if (parser.positionalArguments().size() != 1)
            return usageError(io, u"dump"_qs, msg::wantOneFile());
        const QString file = parser.positionalArguments().constFirst();
        const OpenedDocument v = openDocument(file);
        if (!v.message.isEmpty()) {
            io.err << visibleControls(file) << ": " << boxText(v.message) << '\n';
            return Failure;
        }
        io.out << QString::fromUtf8(recordToJson(v.record, v.official));
        return Ok;
    }
    // Many files: one JSON object a line, in input order.
    const std::optional<QStringList> inputs = many.files(parser, io, u"dump"_qs, &status);
    if (!inputs)
        return status;
    const QStringList& files = *inputs;
    int worst = Ok;
    Progress progress(io.err, files.size());
    forEachInOrder<Dumped>(files.size(), many.jobs(parser), [&](qsizetype i) { return dumpLine(files[i]); },
                           [&](qsizetype i, const Dumped& d) {
                               if (d.error.isEmpty()) {
                                   io.out << d.line << '\n';
                               } else {
                                   progress.write(d.error);
                                   worst = Failure;
                               }
                               progress.step(i + 1);
                           });
    return worst;
}

int buildCommand(const QStringList& args, Io& io)
{
    QCommandLineParser parser;
    int status = Failure;
    if (!parseArguments(parser, args, io, u"build"_qs, &status))
        return status;
    const QStringList files = parser.positionalArguments();
    if (files.size() != 2)
        return usageError(io, u"build"_qs, msg::wantJsonAndXdx());
    const QString& in = files[0];
    const QString& outPath = files[1];

    QByteArray bytes;
    if (in == u"-") {
        QFile input;
        if (!input.open(stdin, QIODevice::ReadOnly)) {
            io.err << in << ": " << msg::cannotRead(input.errorString()) << '\n';
            return Failure;
        }
        bytes = input.read(kMaxJsonBytes + 1);
        if (bytes.size() > kMaxJsonBytes) {
            FileRead tooLarge;
            tooLarge.status = FileRead::Status::TooLarge;
            tooLarge.limit = kMaxJsonBytes;
            io.err << in << ": " << msg::cannotRead(tooLarge.why()) << '\n';
            return Failure;
        }
    } else {
        FileRead read = readRegularFile(in, kMaxJsonBytes);
        if (read.status != FileRead::Status::Ok) {
            io.err << in << ": " << msg::cannotRead(read.why()) << '\n';
            return Failure;
        }
        bytes = std::move(read.bytes);
    }
    const JsonRecord parsed = recordFromJson(bytes);
    if (!parsed.ok) {
        io.err << in << ": " << parsed.error << '\n';
        return Failure;
    }
    const PreparedSave save = prepareSave(parsed.record);
    if (!save.refusal.isEmpty()) {
        io.err << save.refusal << '\n';
        return Refused;
    }
    const WriteResult written = saveXdxFile(outPath, save.record, save.errorList);
    if (!written.ok) {
        io.err << written.error << '\n';
        return Failure;
    }
    const QStringList& errorList = save.errorList;
    io.err << msg::built(outPath, errorList.size()) << '\n';
    return Ok;
}

namespace {

struct Marked
{
    QString done;  // what was done, for standard output
    QString error; // why not, for standard error
};

Marked markFile(const QString& file, bool official)
{
    constexpr qint64 kMaxDocumentBytes = qint64(64) << 20;
    const FileRead read = readRegularFile(file, kMaxDocumentBytes);
    if (read.status != FileRead::Status::Ok)
        return {{}, msg::cannotRead(read.why())};
    const PassbyEdit edit = withPassby(read.bytes, official);
    if (!edit.error.isEmpty())
        return {{}, boxText(edit.error)};
    if (!edit.changed)
        return {msg::alreadyMarked(official), {}};
    const FileWrite written = replaceFile(file, edit.bytes);
    if (!written.ok)
        return {{}, msg::cannotWrite(written.reason)};
    return {msg::marked(official), {}};
}

} // namespace

int officialCommand(const QStringList& args, Io& io)
{
    QCommandLineParser parser;
    const QCommandLineOption revokeOption(u"revoke"_qs);
    parser.addOption(revokeOption);
    ManyFiles many;
    int status = Failure;
    const std::optional<QStringList> inputs = many.parse(parser, args, io, u"official"_qs, &status);
    if (!inputs)
        return status;
    const QStringList& files = *inputs;
    const bool official = !parser.isSet(revokeOption);
    int worst = Ok;
    Progress progress(io.err, files.size());
    forEachInOrder<Marked>(
        files.size(), many.jobs(parser), [&](qsizetype i) { return markFile(files[i], official); },
        [&](qsizetype i, const Marked& m) {
            const QString name = visibleControls(files[i]);
            if (m.error.isEmpty()) {
                io.out << name << ": " << m.done << '\n';
            } else {
                progress.write(name + u": "_qs + m.error);
                worst = Failure;
            }
            progress.step(i + 1);
        });
    return worst;
}

} // namespace shenbao::cli
