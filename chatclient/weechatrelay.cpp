#include "weechatrelay.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
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

// Lines written past the last confirmed question: what a WeeChat that dies may take with it.
constexpr int kWindow = 16;

// WeeChat's command line splits at blanks and its expressions at ':', '?' and '}': the answer
// files live in a folder whose path has none of them.
bool plainPath(const QString& path)
{
    for (QChar c : path)
        if (!(c.isLetterOrNumber() || c == QLatin1Char('/') || c == QLatin1Char('.') || c == QLatin1Char('_')
              || c == QLatin1Char('-')) || c.unicode() > 127)
            return false;
    return !path.isEmpty();
}

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
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!plainPath(folder))
        folder = QDir::tempPath();
    if (!plainPath(folder))
        folder = QStringLiteral("/tmp");
    const QString base = QDir(folder).filePath(QStringLiteral("quorl-weechat-%1").arg(QCoreApplication::applicationPid()));
    yesPath_ = base + QStringLiteral("-yes");
    noPath_ = base + QStringLiteral("-no");
}

WeeChatRelay::~WeeChatRelay()
{
    close();
    QFile::remove(yesPath_);
    QFile::remove(noPath_);
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
    // What others receive: ":nick!user@host PRIVMSG #channel :text" CR LF, for a nick, user and
    // host as long as networks give, and a channel named by the buffer (or a long one). WeeChat
    // splits a longer line itself, through colour codes; this budget keeps it from ever doing so.
    const qsizetype dot = buffer_.indexOf(QLatin1Char('.'), buffer_.indexOf(QLatin1Char('.')) + 1);
    const int channel = dot > 0 ? int(buffer_.mid(dot + 1).toUtf8().size()) : 50;
    return Relay::budgetFor(channel);
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
    QStringList notPipes;
    for (const QString& c : candidates) {
        if (!isFifo(c)) {
            notPipes << c;
            continue;
        }
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
    for (const QString& n : notPipes)
        candidates.removeOne(n);
    // A WeeChat that crashed often leaves many pipes: a few name them all.
    auto some = [](const QStringList& paths) {
        QString s = paths.mid(0, 3).join(QStringLiteral(", "));
        if (paths.size() > 3)
            s += QStringLiteral(" and %1 more").arg(paths.size() - 3);
        return s;
    };
    if (!candidates.isEmpty())
        *why = QStringLiteral("nobody reads %1").arg(some(candidates));
    else if (!notPipes.isEmpty())
        *why = QStringLiteral("%1 is no pipe").arg(some(notPipes));
    else
        *why = where + QStringLiteral("; is its fifo plugin on?");
    return false;
}

void WeeChatRelay::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    asking_ = false;
}

int WeeChatRelay::unread() const
{
    if (fd_ < 0)
        return -1;
    pollfd p{fd_, POLLOUT, 0};
    if (::poll(&p, 1, 0) == 1 && (p.revents & (POLLERR | POLLHUP)))
        return -1;
    int n = 0;
    return ::ioctl(fd_, FIONREAD, &n) == 0 ? n : 0;
}

void WeeChatRelay::tellUnconfirmed()
{
    if (unconfirmed_ > 0)
        emit notice(unconfirmed_ == 1
                        ? QStringLiteral("WeeChat went away; 1 line may not have reached it. It is not sent again.")
                        : QStringLiteral("WeeChat went away; %1 lines may not have reached it. They are not sent again.")
                              .arg(unconfirmed_));
    unconfirmed_ = 0;
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
    tellUnconfirmed();
    return Write::Gone;
}

void WeeChatRelay::look()
{
    if (asking_) {
        const int left = unread();
        if (left < 0) {
            close();
            tellUnconfirmed();
        } else if (left > 0) {
            // WeeChat has not read the last question yet: wait for its answer, ask nothing more.
            asked_.start();
            answerTimer_.start();
            return;
        } else {
            asking_ = false;  // read and not answered: the buffer is missing or exec is off
        }
    }
    QString why;
    if (!open(&why)) {
        tellUnconfirmed();
        return looked(Found::Nothing, why);
    }
    // WeeChat's exec plugin touches a file from the buffer: only an existing buffer runs it, and
    // the answer is "yes" only for a channel with nicks (none when parted or disconnected).
    QFile::remove(yesPath_);
    QFile::remove(noPath_);
    const QByteArray touch = "/exec -bg -nosh touch ";
    const QByteArray ask = prefix() + "/eval ${if:${buffer.local_variables.type}==channel && "
                           "${buffer.nicklist_nicks_count}>0 && x${info:irc_nick,${buffer.local_variables.server}}!=x?"
                           + touch + QFile::encodeName(yesPath_) + ':' + touch + QFile::encodeName(noPath_) + "}\n";
    switch (write(ask)) {
    case Write::Done: break;
    case Write::Full: return askTimer_.start();
    case Write::Gone: return looked(Found::Nothing, QStringLiteral("%1 takes nothing").arg(openPath_));
    }
    ++asks_;
    asking_ = true;
    asked_.start();
    answerTimer_.start();
}

void WeeChatRelay::checkAnswer()
{
    const bool yes = QFileInfo::exists(yesPath_);
    if (yes || QFileInfo::exists(noPath_)) {
        answerTimer_.stop();
        QFile::remove(yesPath_);
        QFile::remove(noPath_);
        asking_ = false;
        unconfirmed_ = 0;
        if (yes)
            return looked(Found::Ready);
        return looked(Found::NoTarget, QStringLiteral("it is no channel WeeChat has joined on a connected server"));
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
    case Write::Done:
        // After a few lines, a question again: a WeeChat that stopped takes no more than these.
        if (++unconfirmed_ >= kWindow)
            forget();
        return handed(Handed::Taken);
    case Write::Full: return handed(Handed::Later);
    case Write::Gone: return handed(Handed::Refused);
    }
}
