#include "cli/xdxtool.h"
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
    io.err << "xdxtool " << command << "：" << what << "\n（xdxtool " << command << " --help 显示用法）\n";
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
        return usageError(io, u"check"_qs, u"请给出至少一个 XDX 文件"_qs);

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
    io.err << QStringLiteral("共 %1 个文件：完整 %2，不完整 %3，被拒绝 %4，无法读取 %5\n")
                  .arg(files.size())
                  .arg(complete)
                  .arg(incomplete)
                  .arg(rejected)
                  .arg(failed);
    return worst;
}

int dumpCommand(const QStringList& args, Io& io)
{
    QCommandLineParser parser;
    int status = Failure;
    if (!parseArguments(parser, args, io, u"dump"_qs, &status))
        return status;
    if (parser.positionalArguments().size() != 1)
        return usageError(io, u"dump"_qs, u"请给出一个 XDX 文件"_qs);
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
        return usageError(io, u"build"_qs, u"请给出输入的 JSON 文件和输出的 XDX 文件"_qs);
    const QString& in = files[0];
    const QString& outPath = files[1];

    QByteArray bytes;
    if (in == u"-") {
        QFile input;
        if (!input.open(stdin, QIODevice::ReadOnly)) {
            io.err << in << ": 无法读取：" << input.errorString() << '\n';
            return Failure;
        }
        bytes = input.read(kMaxJsonBytes + 1);
        if (bytes.size() > kMaxJsonBytes) {
            io.err << in << ": 文件太大（超过 64 MiB）\n";
            return Failure;
        }
    } else {
        FileRead read = readRegularFile(in, kMaxJsonBytes);
        switch (read.status) {
        case FileRead::Status::Ok:
            break;
        case FileRead::Status::TooLarge:
            io.err << in << ": 文件太大（超过 64 MiB）\n";
            return Failure;
        case FileRead::Status::NotRegular:
            io.err << in << ": 无法读取：这是" << read.kind << "，不是文件\n";
            return Failure;
        case FileRead::Status::Folder:
            io.err << in << ": 无法读取：这是一个文件夹\n";
            return Failure;
        case FileRead::Status::Missing:
        case FileRead::Status::Failed:
            io.err << in << ": 无法读取：" << read.reason << '\n';
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
    if (errorList.isEmpty())
        io.err << QStringLiteral("已写出 %1：填写完整\n").arg(outPath);
    else
        io.err << QStringLiteral("已写出 %1：还有 %2 项未填写完整（xdxtool check %1 列出）\n")
                      .arg(outPath)
                      .arg(errorList.size());
    return Ok;
}

} // namespace shenbao::cli
