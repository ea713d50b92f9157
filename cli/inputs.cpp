#include "cli/inputs.h"

#include "cli/messages.h"
#include "files/files.h"
#include "record/textrules.h"

#include <QDateTime>

#include <cstdio>
#ifdef Q_OS_WIN
#include <io.h>
#define SHENBAO_ISATTY(fd) _isatty(fd)
#else
#include <unistd.h>
#define SHENBAO_ISATTY(fd) ::isatty(fd)
#endif

using namespace Qt::StringLiterals;

namespace shenbao::cli {

bool outputLost(Invocation& invocation, Tally& tally)
{
    if (invocation.out().status() == QTextStream::Ok)
        return false;
    tally.outputFailed = true;
    return true;
}

Progress::Progress(QTextStream& err, qsizetype total)
    : m_err(err), m_total(total), m_terminal(SHENBAO_ISATTY(2) != 0),
      m_started(QDateTime::currentMSecsSinceEpoch())
{
}

Progress::~Progress()
{
    clear();
}

void Progress::step(qsizetype done)
{
    if (!m_terminal)
        return;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - m_started < 1000 || now - m_drawn < 100)
        return;
    m_drawn = now;
    constexpr int kWidth = 40;
    const int filled = m_total ? int(done * kWidth / m_total) : kWidth;
    m_err << '\r' << '[' << QString(filled, u'#') << QString(kWidth - filled, u'-') << "] " << done << '/'
          << m_total << Qt::flush;
    m_shown = true;
}

void Progress::write(const QString& line)
{
    clear();
    m_err << line << '\n';
    m_drawn = -1; // drawn again at the next step
}

void Progress::clear()
{
    if (!m_shown)
        return;
    m_err << '\r' << QString(60, u' ') << '\r' << Qt::flush;
    m_shown = false;
}

} // namespace shenbao::cli
