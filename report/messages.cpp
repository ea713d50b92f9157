#include "report/messages.h"

#include "report/sheetlayout.h"

namespace shenbao {

QString tooManySheetsMessage()
{
    return QStringLiteral("申请书超过%1页，无法打印：请检查文档中是否有过长的文字或大量空行").arg(kMaxSheets);
}

namespace reportmsg {

QString cannotWritePdf(const QString& why)
{
    return QStringLiteral("无法写出 PDF 文件：%1").arg(why);
}

QString cannotWritePdf(const QString& shown, const QString& why)
{
    return cannotWritePdf(QStringLiteral("“%1”：%2").arg(shown, why));
}

QString noSheets()
{
    return QStringLiteral("没有可输出的页");
}

QString voteResult(bool voteFailed, bool leavesFailed, bool voted)
{
    if (voteFailed)
        return QStringLiteral("未通过");
    if (leavesFailed || !voted)
        return {};
    return QStringLiteral("通过");
}

QString tick()
{
    return QStringLiteral("√");
}

QString approval(bool approved)
{
    return approved ? QStringLiteral("同意立项。") : QStringLiteral("不同意立项。");
}

QString reviewCode(const QString& code)
{
    return QStringLiteral("评审编号：%1").arg(code);
}

} // namespace reportmsg
} // namespace shenbao
