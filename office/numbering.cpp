#include "office/numbering.h"

#include "files/files.h"
#include "office/messages.h"
#include "office/spreadsheet.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <map>
#include <unordered_map>

using namespace Qt::StringLiterals;

namespace shenbao::office {
namespace {

// A file name longer than this is no file name: such a cell is passed over, never held.
constexpr qsizetype kMaxName = 32768;

QString absoluteClean(const QString& folder, QString name)
{
    name = QDir::fromNativeSeparators(name); // a table written on Windows, read anywhere
    return QDir::cleanPath(QDir::isAbsolutePath(name) ? name : folder + u'/' + name);
}

QString lastPart(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1).toLower();
}

// Finds the files asked about among the names a table gives, and keeps their rows; every other
// row is passed over as soon as it is read.
class Matcher
{
public:
    Matcher(const QString& table, const QStringList& files)
        : m_folder(QFileInfo(table).absolutePath()), m_table(table), m_files(files)
    {
        m_result.rows.assign(std::size_t(files.size()), 0);
        const QString here = QDir::currentPath();
        for (qsizetype i = 0; i < files.size(); ++i) {
            const QString path = absoluteClean(here, files[i]);
            m_byName.emplace(shownPath(path), i);
            m_lastParts.insert(lastPart(shownPath(path)));
            if (const std::optional<FileIdentity> id = fileIdentity(path))
                m_byIdentity.emplace(*id, i);
        }
    }

    // Row row (1 for the first under the heading) names name; false (and error()) to stop.
    bool take(qsizetype row, const QString& name)
    {
        m_result.lastRow = std::max(m_result.lastRow, row);
        if (name.isEmpty())
            return true;
        const QString path = absoluteClean(m_folder, name);
        const QString shown = shownPath(path);
        qsizetype index = -1;
        if (const auto it = m_byName.find(shown); it != m_byName.end()) {
            index = it->second;
        } else if (m_lastParts.contains(lastPart(shown))) { // the same file by another path
            if (const std::optional<FileIdentity> id = fileIdentity(path))
                if (const auto found = m_byIdentity.find(*id); found != m_byIdentity.end())
                    index = found->second;
        }
        if (index < 0)
            return true;
        qsizetype& at = m_result.rows[std::size_t(index)];
        if (at != 0 && at != row) {
            // Named as the spreadsheet numbers them: the heading is its row 1.
            m_error =
                msg::fileInTwoRows(shownPath(m_files[index]), std::min(at, row) + 1, std::max(at, row) + 1);
            return false;
        }
        at = row;
        return true;
    }

    const TableRows& result() const { return m_result; }
    const QString& error() const { return m_error; }

private:
    QString m_folder;
    QString m_table;
    const QStringList& m_files;
    QString m_error;
    std::unordered_map<QString, qsizetype> m_byName;
    QSet<QString> m_lastParts;
    std::map<FileIdentity, qsizetype> m_byIdentity;
    TableRows m_result;
};

} // namespace

Expected<TableRows, QString> roundTableRows(const QString& table, const QStringList& files)
{
    if (!isSpreadsheet(table))
        return unexpected(msg::numberByTable());
    Matcher matcher(table, files);
    const Expected<void, QString> read =
        readSpreadsheetRows(table, 1, kMaxName, [&](qsizetype row, const QStringList& cells) {
            return row == 1 || matcher.take(row - 1, cells.value(0)); // under the heading
        });
    if (!read)
        return unexpected(msg::cannotReadTable(shownPath(table), read.error()));
    if (!matcher.error().isEmpty())
        return unexpected(msg::cannotReadTable(shownPath(table), matcher.error()));
    return matcher.result();
}

Expected<QStringList, QString> namesByTable(const QStringList& files, const QString& table,
                                            const QString& folder)
{
    const Expected<TableRows, QString> rows = roundTableRows(table, files);
    if (!rows)
        return unexpected(rows.error());
    const int width = std::max(4, int(QString::number(rows->lastRow).size()));
    std::map<qsizetype, qsizetype> byRow;
    QStringList outs;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const qsizetype row = rows->rows[std::size_t(i)];
        if (row == 0)
            return unexpected(msg::notInTable(shownPath(files[i]), shownPath(table)));
        if (const auto [it, fresh] = byRow.emplace(row, i); !fresh)
            return unexpected(msg::sameFileTwice(shownPath(files[it->second]), shownPath(files[i])));
        outs.append(folder + u'/' + u"%1.pdf"_s.arg(row, width, 10, QChar(u'0')));
    }
    return outs;
}

} // namespace shenbao::office
