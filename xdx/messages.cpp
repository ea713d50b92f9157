#include "xdx/messages.h"

namespace shenbao {

QString rejectedMessage()
{
    return QStringLiteral("您选择的文档不是用本申报系统生成的");
}

namespace xdxmsg {

QString saveRefused()
{
    return QStringLiteral("“课题名称”  和  “主持人”  必须填写！");
}

QString notSingleText()
{
    return QStringLiteral("Element does not contain a single text node");
}

QString cannotRead(const QString& shown, const QString& why)
{
    return QStringLiteral("无法读取文件“%1”：%2").arg(shown, why);
}

QString cannotSave(const QString& shown, const QString& why)
{
    return QStringLiteral("无法保存文件“%1”：%2").arg(shown, why);
}

QString unreadableAfterWriting(const QString& reason)
{
    return QStringLiteral("写出的文档无法再次读取：") + reason;
}

QString cannotEditEncoding(const QString& encoding)
{
    return QStringLiteral("文档的编码“%1”不能逐字节修改").arg(encoding);
}

QString cannotEditInPlace()
{
    return QStringLiteral("无法只改动 PASSBY 而不改动文档的其他内容");
}

QString cannotEditPassbyForm()
{
    return QStringLiteral(
        "PASSBY 带有属性，或者不是纯文字（CDATA、注释、元素），只改它的文字会改动更多内容，因此不改");
}

QString jsonSyntax(qint64 offset, const QString& why)
{
    return QStringLiteral("JSON 格式错误（第 %1 个字节处）：%2").arg(offset).arg(why);
}

QString jsonNotObject()
{
    return QStringLiteral("JSON 的最外层必须是一个对象 {…}");
}

QString jsonWantBool()
{
    return QStringLiteral("应为 true 或 false");
}

QString jsonWantString()
{
    return QStringLiteral("应为字符串");
}

QString jsonUnknownKey()
{
    return QStringLiteral("未知的键（键名区分大小写）");
}

QString jsonWantRows()
{
    return QStringLiteral("应为由行组成的数组");
}

QString jsonTooManyRows(int most, qsizetype given)
{
    return QStringLiteral("最多 %1 行，给出了 %2 行").arg(most).arg(given);
}

QString jsonRowNotArray(qsizetype row)
{
    return QStringLiteral("第 %1 行应为字符串数组").arg(row);
}

QString jsonTooManyColumns(qsizetype row, int most, qsizetype given)
{
    return QStringLiteral("第 %1 行最多 %2 列，给出了 %3 列").arg(row).arg(most).arg(given);
}

QString jsonCellNotString(qsizetype row, qsizetype column)
{
    return QStringLiteral("第 %1 行第 %2 列应为字符串").arg(row).arg(column);
}

QString jsonNotAChoice(const QString& text, const QStringList& choices)
{
    return QStringLiteral("“%1”不是本字段的选项（可选：%2）").arg(text, choices.join(u"、"));
}

} // namespace xdxmsg
} // namespace shenbao
