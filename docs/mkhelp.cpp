// Turns the help source (docs/help.txt) into the help document: RTF, which word processors open
// under the name help.doc. Lines: "# " title, "## " and "### " headings, "- " list items, other
// lines paragraphs; blank lines are ignored.
#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace {

QByteArray rtfText(QStringView text)
{
    QByteArray out;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += char(u);
        } else if (u < 0x80) {
            out += char(u);
        } else {
            // \uN takes a signed 16-bit number; "?" is the fallback for readers without Unicode.
            out += "\\u" + QByteArray::number(qint16(u)) + '?';
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkhelp help.txt help.doc\n");
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "mkhelp: cannot read %s\n", argv[1]);
        return 1;
    }
    const QStringList lines = QString::fromUtf8(in.readAll()).split(u'\n');

    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1\n"
                     "{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}{\\f1\\fnil\\fcharset134 SimHei;}}\n"
                     "{\\info{\\title " +
                     rtfText(u"澄岚省教育科学规划课题立项申请填写程序 使用帮助") +
                     "}}\n"
                     "\\paperw11906\\paperh16838\\margl1440\\margr1440\\margt1440\\margb1440\n";
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(u"### "))
            rtf += "\\pard\\sb160\\sa80\\keepn\\f1\\fs24\\b " + rtfText(line.mid(4)) + "\\b0\\par\n";
        else if (line.startsWith(u"## "))
            rtf += "\\pard\\sb280\\sa120\\keepn\\f1\\fs28\\b " + rtfText(line.mid(3)) + "\\b0\\par\n";
        else if (line.startsWith(u"# "))
            rtf += "\\pard\\qc\\sb240\\sa360\\f1\\fs36\\b " + rtfText(line.mid(2)) + "\\b0\\par\n";
        else if (line.startsWith(u"- "))
            rtf += "\\pard\\li720\\fi-360\\sa60\\f0\\fs22 \\u8226?\\tab " + rtfText(line.mid(2)) + "\\par\n";
        else
            rtf += "\\pard\\fi440\\sa120\\sl360\\slmult1\\f0\\fs22 " + rtfText(line) + "\\par\n";
    }
    rtf += "}\n";

    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly) || out.write(rtf) != rtf.size() || !out.flush()) {
        std::fprintf(stderr, "mkhelp: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
