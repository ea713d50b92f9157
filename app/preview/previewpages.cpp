#include "app/preview/previewpages.h"

#include "report/paint.h"
#include "report/pdf.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>

namespace shenbao {

PreviewPages::~PreviewPages() = default;

SheetPages::SheetPages(std::vector<Sheet> sheets, QPageSize paper)
    : m_sheets(std::move(sheets)), m_paper(std::move(paper))
{
}

QSizeF SheetPages::size(int index) const
{
    const Sheet& s = m_sheets.at(std::size_t(index));
    return {s.width, s.height};
}

QImage SheetPages::image(int index, double dpi) const
{
    return sheetImage(m_sheets.at(std::size_t(index)), dpi);
}

void SheetPages::paint(QPainter& painter, int index) const
{
    paintSheet(painter, m_sheets.at(std::size_t(index)));
}

bool SheetPages::save(const QString& path, QString* error) const
{
    return writeReportPdf(m_sheets, path, m_paper, error);
}

} // namespace shenbao
