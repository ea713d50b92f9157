#pragma once

#include <QString>
#include <QStringList>

// Every text this layer puts before a user: the boxes of open and save, and what a JSON file
// gets wrong. shown is a path as the user sees it (native separators).

namespace shenbao {

QString rejectedMessage(); // "您选择的文档不是用本申报系统生成的"

namespace xdxmsg {

QString saveRefused();
QString notSingleText();
QString cannotRead(const QString& shown, const QString& why);
QString cannotSave(const QString& shown, const QString& why);
QString unreadableAfterWriting(const QString& reason);
QString cannotEditEncoding(const QString& encoding);
QString cannotEditInPlace();
QString cannotEditPassbyForm();

QString jsonSyntax(qint64 offset, const QString& why);
QString jsonNotObject();
QString jsonWantBool();
QString jsonWantString();
QString jsonUnknownKey();
QString jsonWantRows();
QString jsonTooManyRows(int most, qsizetype given);
QString jsonRowNotArray(qsizetype row);
QString jsonTooManyColumns(qsizetype row, int most, qsizetype given);
QString jsonCellNotString(qsizetype row, qsizetype column);
QString jsonNotAChoice(const QString& text, const QStringList& choices);

} // namespace xdxmsg
} // namespace shenbao
