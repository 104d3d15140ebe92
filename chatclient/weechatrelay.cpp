#include "weechatrelay.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isFifo(const QString& path)
{
    struct stat st{};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}

// A pipe write of at most this many bytes is whole or nothing.
constexpr qsizetype kAtomic = PIPE_BUF;

} // namespace

WeeChatRelay::WeeChatRelay(const QString& fifo, const QString& buffer, const IrcPacer& pacer, MsClock clock,
                           QObject* parent)
    : Relay(pacer, std::move(clock), parent)
    , fifo_(fifo)
    , buffer_(buffer)
{
    // A WeeChat that quits closes the pipe's far end; a write must fail, not end this program.
    std::signal(SIGPIPE, SIG_IGN);
    answerTimer_.setInterval(50);
    connect(&answerTimer_, &QTimer::timeout, this, &WeeChatRelay::checkAnswer);
    askTimer_.setSingleShot(true);
    askTimer_.setInterval(200);
    connect(&askTimer_, &QTimer::timeout, this, &WeeChatRelay::look);
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    answerPath_ = QDir(runtime.isEmpty() ? QDir::tempPath() : runtime)
                      .filePath(QStringLiteral("quorl-weechat-%1").arg(QCoreApplication::applicationPid()));
}

WeeChatRelay::~WeeChatRelay()
{
    close();
    QFile::remove(answerPath_);
}

QStringList WeeChatRelay::defaultFolders()
{
    QStringList folders;
    const QString home = QDir::homePath();
    if (const QString w = qEnvironmentVariable("WEECHAT_HOME"); !w.isEmpty())
        folders << w;
    if (const QString r = qEnvironmentVariable("XDG_RUNTIME_DIR"); !r.isEmpty())
        folders << r + QStringLiteral("/weechat");
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME", home + QStringLiteral("/.cache"));
    folders << cache + QStringLiteral("/weechat") << home + QStringLiteral("/.weechat");
    return folders;
}

QString WeeChatRelay::target() const
{
    return buffer_.isEmpty() ? QStringLiteral("the current buffer") : QStringLiteral("buffer %1").arg(buffer_);
}

int WeeChatRelay::budget() const
{
    // What others receive: ":nick!user@host PRIVMSG #channel :text" CR LF, for a nick and host as
    // long as networks give, and a channel named by the buffer (or a long one).
    const qsizetype dot = buffer_.indexOf(QLatin1Char('.'), buffer_.indexOf(QLatin1Char('.')) + 1);
    const int channel = dot > 0 ? int(buffer_.mid(dot + 1).toUtf8().size()) : 50;
    return 512 - (1 + 16 + 2 + 10 + 1 + 63 + 9 + channel + 2 + 2);
}

QByteArray WeeChatRelay::prefix() const
{
    return buffer_.isEmpty() ? QByteArray("*") : buffer_.toUtf8() + " *";
}

bool WeeChatRelay::open(QString* why)
{
    if (fd_ >= 0)
        return true;
    QStringList candidates;
    const QStringList folders = fifo_.isEmpty() ? defaultFolders() : QStringList{fifo_};
    for (const QString& f : folders) {
        if (isFifo(f)) {
            candidates << f;
            continue;
        }
        QDirIterator it(f, {QStringLiteral("weechat_fifo*")}, QDir::System | QDir::Files);
        while (it.hasNext())
            candidates << it.next();
    }
    for (const QString& c : candidates) {
        if (!isFifo(c))
            continue;
        // Without a reader the open fails at once (a pipe left by a WeeChat that crashed).
        const int fd = ::open(QFile::encodeName(c).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            fd_ = fd;
            openPath_ = c;
            return true;
        }
    }
    const QString where = fifo_.isEmpty() ? QStringLiteral("no fifo pipe in %1").arg(folders.join(QStringLiteral(", ")))
                                          : QStringLiteral("no fifo pipe at %1").arg(fifo_);
    // A WeeChat that crashed often leaves many pipes: a few name them all.
    QString stale = candidates.mid(0, 3).join(QStringLiteral(", "));
    if (candidates.size() > 3)
        stale += QStringLiteral(" and %1 more").arg(candidates.size() - 3);
    *why = candidates.isEmpty() ? where + QStringLiteral("; is its fifo plugin on?")
                                : QStringLiteral("nobody reads %1").arg(stale);
    return false;
}

void WeeChatRelay::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

WeeChatRelay::Write WeeChatRelay::write(const QByteArray& bytes)
{
    if (fd_ < 0 || bytes.size() > kAtomic)
        return Write::Gone;
    const ssize_t n = ::write(fd_, bytes.constData(), size_t(bytes.size()));
    if (n == bytes.size())
        return Write::Done;
    if (n < 0 && errno == EAGAIN)
        return Write::Full;
    close();  // WeeChat went away; the next look finds its new pipe
    return Write::Gone;
}

void WeeChatRelay::look()
{
    QString why;
    if (!open(&why))
        return looked(Found::Nothing, why);
    // WeeChat's exec plugin touches the file, from the buffer: only an existing buffer runs it.
    QFile::remove(answerPath_);
    const QByteArray ask = prefix() + "/exec -bg -nosh touch " + QFile::encodeName(answerPath_) + '\n';
    switch (write(ask)) {
    case Write::Done: break;
    case Write::Full: return askTimer_.start();
    case Write::Gone: return looked(Found::Nothing, QStringLiteral("%1 takes nothing").arg(openPath_));
    }
    ++asks_;
    asked_.start();
    answerTimer_.start();
}

void WeeChatRelay::checkAnswer()
{
    if (QFileInfo::exists(answerPath_)) {
        answerTimer_.stop();
        QFile::remove(answerPath_);
        return looked(Found::Ready);
    }
    if (asked_.elapsed() < answerMs_)
        return;
    answerTimer_.stop();
    // The pipe stays open: WeeChat reads it, the buffer is what is missing.
    looked(Found::NoTarget, QStringLiteral("no answer from it within %1 s: the buffer is missing, WeeChat's exec "
                                           "plugin is off, or WeeChat is too busy to read")
                                .arg(answerMs_ / 1000.0));
}

void WeeChatRelay::hand(const QByteArray& line)
{
    // Text starting with a slash would run as a command; doubled, WeeChat sends it as text.
    QByteArray text = line;
    text.replace('\n', ' ').replace('\r', ' ');
    if (text.startsWith('/'))
        text.prepend('/');
    if (text.trimmed().isEmpty())
        return handed(Handed::Taken);
    switch (write(prefix() + text + '\n')) {
    case Write::Done: return handed(Handed::Taken);
    case Write::Full: return handed(Handed::Later);
    case Write::Gone: return handed(Handed::Refused);
    }
}
