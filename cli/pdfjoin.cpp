#include "cli/pdfjoin.h"

#include "files/files.h"

#include <QIODevice>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <vector>

namespace shenbao::cli {
namespace {

// qpdf's output straight into the device: the joined file is never held in memory.
class DevicePipeline : public Pipeline
{
public:
    explicit DevicePipeline(QIODevice& device) : Pipeline("device", nullptr), m_device(device) {}

    void write(unsigned char const* data, size_t len) override
    {
        if (!m_failed && m_device.write(reinterpret_cast<const char*>(data), qint64(len)) != qint64(len))
            m_failed = true;
    }
    void finish() override {}
    bool failed() const { return m_failed; }

private:
    QIODevice& m_device;
    bool m_failed = false;
};

FILE* openForReading(const QString& path)
{
#ifdef Q_OS_WIN
    return _wfopen(reinterpret_cast<const wchar_t*>(path.utf16()), L"rb");
#else
    return std::fopen(pathToSystem(path).constData(), "rb");
#endif
}

} // namespace

bool joinPdfs(const QStringList& parts, QIODevice& out, QString* error)
{
    try {
        // The parts stay open until the whole is written: qpdf copies their streams lazily.
        std::vector<std::unique_ptr<QPDF>> inputs;
        QPDF joined;
        joined.emptyPDF();
        QPDFPageDocumentHelper pages(joined);
        for (const QString& part : parts) {
            FILE* file = openForReading(part);
            if (!file) {
                *error = QString::fromLocal8Bit(std::strerror(errno));
                return false;
            }
            auto& in = inputs.emplace_back(std::make_unique<QPDF>());
            in->processFile(part.toUtf8().constData(), file, true);
            for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(*in).getAllPages())
                pages.addPage(page, false);
        }
        if (inputs.empty()) {
            *error = QStringLiteral("no part");
            return false;
        }
        if (QPDFObjectHandle info = inputs.front()->getTrailer().getKey("/Info"); info.isDictionary())
            joined.getTrailer().replaceKey("/Info", joined.copyForeignObject(info));
        DevicePipeline sink(out);
        QPDFWriter writer(joined);
        writer.setOutputPipeline(&sink);
        writer.setMinimumPDFVersion(inputs.front()->getPDFVersion());
        // The parts' streams as they are: Qt compressed them already.
        writer.setDecodeLevel(qpdf_dl_none);
        writer.setCompressStreams(false);
        writer.write();
        if (sink.failed()) {
            *error = out.errorString();
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        *error = QString::fromUtf8(e.what());
        return false;
    }
}

} // namespace shenbao::cli
