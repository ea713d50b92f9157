#include "app/messages.h"

#include "session/drafts.h"

#include "app/interaction.h"
#include "check/anonymity.h"
#include "record/fields.h"

#include <QLocale>

#include <algorithm>

namespace shenbao::appmsg {

QString helpMissing()
{
    return QStringLiteral("程序目录下没有找到帮助文档help.doc，请上网下载帮助文档！");
}

QString helpNotOpened(const QString& shown)
{
    return QStringLiteral("这台电脑上没有能打开 %1 的程序；帮助的内容显示在程序自己的窗口中。").arg(shown);
}

QString helpTitle()
{
    return QStringLiteral("帮助");
}

QString scrollTabsLeft()
{
    return QStringLiteral("向左滚动页签");
}

QString scrollTabsRight()
{
    return QStringLiteral("向右滚动页签");
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

QString printJobName()
{
    return QStringLiteral("报表打印");
}

QString noPrinter()
{
    return QStringLiteral("这台电脑没有安装打印机，无法打印。\r\n"
                          "可以用预览窗口的“保存”把报表存成 PDF 文件，再在有打印机的电脑上打开并打印。");
}

QString printerNotReady()
{
    return QStringLiteral("无法开始打印：打印机没有准备好");
}

QString printPageFailed(int sheet)
{
    return QStringLiteral("打印第%1页时出错").arg(sheet);
}

QString withKeys(const QString& hint, const QStringList& keys)
{
    return QStringLiteral("%1（%2）").arg(hint, keys.join(QStringLiteral(" 或 ")));
}

QString keysOf(const QStringList& keys)
{
    return QStringLiteral("快捷键 %1").arg(keys.join(QStringLiteral(" 或 ")));
}

QString room(int usedBytes, int limitBytes, bool places)
{
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    if (places)
        return QStringLiteral("已用 %1 / %2 位，还可输入 %3 位")
            .arg(chinese.toString(usedBytes), chinese.toString(limitBytes),
                 chinese.toString(std::max(0, limitBytes - usedBytes)));
    // Two bytes a Chinese character: what is used counts a letter as half, rounded up; what is
    // left counts only whole Chinese characters.
    return QStringLiteral("已用 %1 / %2 字，还可输入 %3 字")
        .arg(chinese.toString((usedBytes + 1) / 2), chinese.toString(limitBytes / 2),
             chinese.toString(std::max(0, limitBytes - usedBytes) / 2));
}

QString errorListSummary(qsizetype entries)
{
    return entries ? QStringLiteral("还有 %1 项未填写完整").arg(entries) : QStringLiteral("已填写完整");
}

QString roomCounterName()
{
    return QStringLiteral("还可输入的字数");
}

QString textLimit(int limitBytes)
{
    return QStringLiteral("限%1字以内").arg(limitBytes / 2);
}

QString pasteCut(int lost)
{
    return QStringLiteral("粘贴的文字超出限制，已截去 %1 字").arg(lost);
}

QString typingCut(int lost)
{
    return QStringLiteral("输入的文字超出限制，已截去 %1 字").arg(lost);
}

QString limitReached()
{
    return QStringLiteral("已达到字数限制，不能再输入");
}

QString untitled()
{
    return QStringLiteral("未命名");
}

namespace {

QString shownTime(const QDateTime& t)
{
    return QLocale(QLocale::Chinese, QLocale::China).toString(t, QStringLiteral("yyyy年M月d日 HH:mm:ss"));
}

} // namespace

QString recoveryOffer(const RecoveryOffer& offer)
{
    QString text =
        QStringLiteral(
            "上次关闭窗口（或程序意外退出）时还有没有保存的修改，程序为它们留下了一份恢复副本。\n\n"
            "文档：%1\n副本写于：%2\n")
            .arg(offer.document.isEmpty() ? untitled() : offer.document, shownTime(offer.written));
    if (offer.documentChanged.isValid())
        text += QStringLiteral("注意：文档在副本写出以后又被修改过（文档写于：%1），副本可能比文档旧。\n")
                    .arg(shownTime(offer.documentChanged));
    return text +
           QStringLiteral("\n“恢复”把副本的内容填回窗口，之后请保存。\n“留待以后”不动它，下次启动时再问。\n"
                          "“丢弃”不再询问，副本在下面的文件夹中保留 %1 天，可以用“打 开”读取：\n%2")
               .arg(QString::number(Drafts::kKeptDays), offer.drafts);
}

QString recoveryRestore()
{
    return QStringLiteral("恢复");
}

QString recoveryLater()
{
    return QStringLiteral("留待以后");
}

QString recoveryDiscard()
{
    return QStringLiteral("丢弃");
}

QString recoveryUnreadable(const QString& why, const QString& keptAt)
{
    return QStringLiteral("恢复副本无法读取，没有恢复：%1\r\n副本保留在 %2").arg(why, keptAt);
}

QString recoveryNotDiscarded(const QString& why)
{
    return QStringLiteral("恢复副本无法移入“未保存的草稿”，仍留在原处，下次启动时再问：%1").arg(why);
}

QString draftKept(const QString& draft, const QString& folder)
{
    return QStringLiteral("没有保存的修改留作草稿“%1”，保留 %2 天（在 %3）。")
        .arg(draft, QString::number(Drafts::kKeptDays), folder);
}

QString draftsKeptOnClose(const QStringList& drafts, const QString& folder)
{
    return QStringLiteral("上次关闭窗口时没有保存的修改留作草稿“%1”，保留 %2 天（在 %3）。")
        .arg(drafts.join(QStringLiteral("”“")), QString::number(Drafts::kKeptDays), folder);
}

QString replacedKept(const QString& file, const QString& draft, const QString& folder)
{
    return QStringLiteral("%1 原来的内容留作草稿“%2”，保留 %3 天（在 %4）。")
        .arg(file, draft, QString::number(Drafts::kKeptDays), folder);
}

QString heldElsewhere()
{
    return QStringLiteral("另一个窗口中这个文档还有没有保存的修改；在那里保存会覆盖这里的保存。");
}

QString recoveryFailed(const QString& why)
{
    return QStringLiteral(
               "无法写出恢复副本（%1）。程序照常工作，但在保存以前，意外退出会丢失修改；请及时保存。")
        .arg(why);
}

namespace {

QString captionOf(Field f)
{
    QString c = QString::fromUtf16(fieldSpec(f).caption).trimmed();
    while (c.endsWith(u'：'))
        c.chop(1);
    return c;
}

QString sourceOf(const AnonymityHit& hit)
{
    if (hit.source == Field::MainActor)
        return hit.unit ? QStringLiteral("第 %1 位主要参加者的工作单位").arg(hit.sourceRow)
                        : QStringLiteral("第 %1 位主要参加者的姓名").arg(hit.sourceRow);
    return captionOf(hit.source);
}

} // namespace

QString anonymityTitle()
{
    return QStringLiteral("活页中可能写出的姓名和单位");
}

QString anonymityHeading(qsizetype total)
{
    return QStringLiteral(
               "活页（课题名称、设计论证、可行性分析）必须匿名、匿单位。下面 %1 处文字与申请书中写的"
               "姓名或单位相同，请改写；双击一处可以转到那里。")
        .arg(total);
}

QString anonymityHit(const AnonymityHit& hit)
{
    QString words = hit.text;
    words.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\n', u' ').replace(u'\r', u' ');
    return QStringLiteral("%1 第 %2 行：“%3”（%4）%5%6")
        .arg(captionOf(hit.field))
        .arg(hit.line)
        .arg(words, sourceOf(hit), hit.context,
             hit.weak ? QStringLiteral("（两个字的姓名，可能只是普通词语）") : QString());
}

QString moreAnonymityHits(qsizetype more)
{
    return QStringLiteral("另有 %1 处没有列出").arg(more);
}

QString anonymityNotice(qsizetype total)
{
    return QStringLiteral("活页有 %1 处写出了姓名或单位").arg(total);
}

QString anonymityPreview(const AnonymityFindings& findings)
{
    constexpr std::size_t kShown = 5;
    QStringList lines{
        QStringLiteral("活页（课题名称、设计论证、可行性分析）必须匿名、匿单位。下面的文字与申请书中写的姓名"
                       "或单位相同，请在打印前改写（共 %1 处）：")
            .arg(findings.total)};
    for (std::size_t i = 0; i < findings.hits.size() && i < kShown; ++i)
        lines.append(QStringLiteral("· ") + anonymityHit(findings.hits[i]));
    if (findings.total > qsizetype(std::min(findings.hits.size(), kShown)))
        lines.append(moreAnonymityHits(findings.total - qsizetype(std::min(findings.hits.size(), kShown))));
    return lines.join(u'\n');
}

} // namespace shenbao::appmsg
