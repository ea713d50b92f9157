#pragma once

#include "files/files.h"
#include "record/applicationrecord.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// The safety net: what the form lets the applicant throw away is kept here instead, for
// kKeptDays days, as ordinary documents named so that a person knows them again
// ("课题名称（主持人）2026-12-11 11.55.xdx"): the edits behind "No" at the close question, a
// recovery copy given up, the edits another document was opened over, and what a save replaced
// in a file that was not the window's own document.

namespace shenbao {

// The folder's name, also what the open dialog's sidebar shows.
QString draftsFolderName(); // "未保存的草稿"

class Drafts
{
public:
    static constexpr int kKeptDays = 30;

    explicit Drafts(const QString& folder);
    QString folder() const { return m_folder; }

    // Keeps record as a draft, named after its title, leader and when; original is where it
    // belongs (empty for a document never saved). The draft's path, or why not.
    FileResult<QString> keep(const ApplicationRecord& record, const QString& original, const QDateTime& when);
    // Keeps bytes (a file's content as it was) as a draft: named after the application they hold,
    // or after the file they came from when they hold none.
    FileResult<QString> keepBytes(const QByteArray& bytes, const QString& original, const QDateTime& when);

    // Whether path lies in the drafts folder.
    bool holds(const QString& path) const;
    // Where a draft belongs: the document it was made from, or empty.
    QString originalOf(const QString& draft) const;

    // The copies an older version set aside in folder, named by a number only: moved in, named
    // for a person.
    void adoptFolder(const QString& folder);

    // Removes the drafts kept more than kKeptDays days before now; how many.
    int removeExpired(const QDateTime& now) const;

    // Drafts kept by a window that closed (and could not say so itself), to be said at the next
    // start: recorded, then taken once.
    void remember(const QString& draft) const;
    QStringList takeRemembered() const;

private:
    FileResult<QString> write(const QByteArray& bytes, const QString& stem, const QString& original);

    QString m_folder;
};

// A file name a person recognises: "课题名称（主持人）2026-12-11 11.55.xdx", without the
// characters no system allows in a name; "未命名" for a draft without a title.
QString draftFileName(const QString& title, const QString& leader, const QDateTime& when);

} // namespace shenbao
