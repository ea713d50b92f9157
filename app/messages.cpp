#include "app/messages.h"

namespace shenbao::appmsg {

QString helpMissing()
{
    return QStringLiteral("程序目录下没有找到帮助文档help.doc，请上网下载帮助文档！");
}

QString saveBeforeClosing()
{
    return QStringLiteral("退出前先保存编辑的文档吗？！");
}

QString saveCaption()
{
    return QStringLiteral("请输入要保存的文件名：");
}

QString openCaption()
{
    return QStringLiteral("请选择需要打开的项目文件");
}

QString documentFilter()
{
    return QStringLiteral("XDX数据交换文件");
}

QString generatingSheet()
{
    return QStringLiteral("正在生成第%p页");
}

QString printingSheet()
{
    return QStringLiteral("正在打印第%p页");
}

QString reportFilter()
{
    return QStringLiteral("PDF 报表文件");
}

QString saveReportCaption()
{
    return QStringLiteral("保存报表");
}

QString openReportCaption()
{
    return QStringLiteral("打开报表");
}

QString cannotOpenReport(const QString& shown, const QString& why)
{
    return QStringLiteral("无法打开报表文件“%1”：%2").arg(shown, why);
}

QString notAReport()
{
    return QStringLiteral("这不是一个可以显示的 PDF 报表");
}

QString noPdfViewer()
{
    return QStringLiteral("没有可以打开 PDF 文件的程序");
}

QString printJobName()
{
    return QStringLiteral("报表打印");
}

QString printerNotReady()
{
    return QStringLiteral("无法开始打印：打印机没有准备好");
}

QString printPageFailed(int sheet)
{
    return QStringLiteral("打印第%1页时出错").arg(sheet);
}

} // namespace shenbao::appmsg
