#pragma once

#include "files/expected.h"
#include "files/files.h"

#include <QByteArray>
#include <QString>

#include <functional>

#include <xlsxwriter.h>

// A workbook the office writes with libxlsxwriter, put in place whole: libxlsxwriter wants a
// path of its own, so the workbook is made in a private folder and then copied where it goes.

namespace shenbao::office {

// fill adds the sheets to the workbook; why not, when it cannot.
FileResult<void> writeXlsx(const QString& out,
                           const std::function<Expected<void, QString>(lxw_workbook*)>& fill);

// Text as a cell holds it.
inline QByteArray cellBytes(const QString& text)
{
    return text.toUtf8();
}

} // namespace shenbao::office
