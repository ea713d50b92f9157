#include "cli/pdfjoin.h"

#include "cli/messages.h"
#include "files/files.h"

#include <QIODevice>
#include <algorithm>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <memory>
#include <qpdf/InputSource.hh>
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

// A part read through the file layer, seeking as qpdf asks.
class DeviceInputSource : public InputSource
{
public:
    DeviceInputSource(std::unique_ptr<QIODevice> device, std::string name)
        : m_device(std::move(device)), m_name(std::move(name))
    {
    }

    qpdf_offset_t findAndSkipNextEOL() override
    {
        char buffer[4096];
        for (;;) {
            const qpdf_offset_t at = tell();
            const size_t n = read(buffer, sizeof buffer);
            if (n == 0)
                return tell();
            const char* end = buffer + n;
            const char* eol = std::find_if(static_cast<const char*>(buffer), end, [](char c) { return c == '\r' || c == '\n'; });
            if (eol == end)
                continue;
            const qpdf_offset_t result = at + (eol - buffer);
            const char* past = std::find_if(eol, end, [](char c) { return c != '\r' && c != '\n'; });
            seek(at + (past - buffer), SEEK_SET);
            if (past == end) { // the line ends may go on in the next piece
                char c = 0;
                while (read(&c, 1) == 1)
                    if (c != '\r' && c != '\n') {
                        unreadCh(c);
                        break;
                    }
            }
            return result;
        }
    }
    std::string const& getName() const override { return m_name; }
    qpdf_offset_t tell() override { return m_device->pos(); }
    void seek(qpdf_offset_t offset, int whence) override
    {
        const qint64 to = whence == SEEK_SET ? offset : whence == SEEK_CUR ? m_device->pos() + offset : m_device->size() + offset;
        if (to < 0 || !m_device->seek(to))
            throw std::runtime_error(m_name + ": seek failed");
    }
    void rewind() override { seek(0, SEEK_SET); }
    size_t read(char* buffer, size_t length) override
    {
        last_offset = tell();
        const qint64 n = m_device->read(buffer, qint64(length));
        return n < 0 ? 0 : size_t(n);
    }
    void unreadCh(char) override { seek(-1, SEEK_CUR); }

private:
    std::unique_ptr<QIODevice> m_device;
    std::string m_name;
};

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
            FileResult<std::unique_ptr<QIODevice>> file = openRegularFile(part, std::numeric_limits<qint64>::max());
            if (!file) {
                *error = file.error().why();
                return false;
            }
            auto& in = inputs.emplace_back(std::make_unique<QPDF>());
            in->processInputSource(std::make_shared<DeviceInputSource>(std::move(file).value(), part.toStdString()));
            for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(*in).getAllPages())
                pages.addPage(page, false);
        }
        if (inputs.empty()) {
            *error = msg::nothingToPrint();
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
