#include "cli/xdxtool.h"

#include "cli/messages.h"
#include "files/files.h"
#include "record/textrules.h"
#include "session/session.h"
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

int checkCommand(const QStringList& args, Io& io)
{
    QCommandLineParser parser;
    const QCommandLineOption jsonOption(u"json"_qs);
    parser.addOption(jsonOption);
    int status = Failure;
    if (!parseArguments(parser, args, io, u"check"_qs, &status))
        return status;
    const bool json = parser.isSet(jsonOption);
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return usageError(io, u"check"_qs, msg::wantFiles());

    const bool prefix = files.size() > 1;
    int worst = Ok;
    int complete = 0, incomplete = 0, rejected = 0, failed = 0;
    QString jsonOut = u"["_qs;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString& file = files[i];
        const OpenedDocument v = openDocument(file);
        const QString status = statusName(v);
        if (status == u"complete") {
            ++complete;
        } else if (status == u"incomplete") {
            ++incomplete;
            worst = std::max<int>(worst, Incomplete);
        } else {
            (status == u"rejected" ? rejected : failed)++;
            worst = Failure;
        }
        if (!v.message.isEmpty())
            io.err << visibleControls(file) << ": " << boxText(v.message) << '\n';
        if (json) {
            jsonOut += i ? u",\n  {"_qs : u"\n  {"_qs;
            jsonOut += u"\"file\": "_qs;
            jsonOut += jsonString(file);
            jsonOut += u", \"status\": "_qs;
            jsonOut += jsonString(status);
            jsonOut += u", \"message\": "_qs;
            if (v.message.isEmpty())
                jsonOut += u"null"_qs;
            else
                jsonOut += jsonString(v.message);
            jsonOut += v.official ? u", \"official\": true"_qs : u", \"official\": false"_qs;
            jsonOut += u", \"entries\": ["_qs;
            for (qsizetype e = 0; e < v.errorList.size(); ++e) {
                if (e)
                    jsonOut += u", "_qs;
                jsonOut += jsonString(v.errorList[e]);
            }
            jsonOut += u"]}"_qs;
        } else {
            for (const QString& entry : v.errorList) {
                if (prefix)
                    io.out << visibleControls(file) << ": ";
                io.out << entry << '\n';
            }
        }
    }
    if (json)
        io.out << jsonOut << (files.isEmpty() ? "]\n" : "\n]\n");
    io.err << msg::checkSummary(files.size(), complete, incomplete, rejected, failed) << '\n';
    return worst;
}

int dumpCommand(const QStringList& args, Io& io)
{
    QCommandLineParser parser;
    int status = Failure;
    if (!parseArguments(parser, args, io, u"dump"_qs, &status))
        return status;
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

} // namespace shenbao::cli
