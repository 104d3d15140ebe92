#include "desktoptools.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QList>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <utility>

namespace DesktopTools {

namespace {

// A tool that hangs is stopped after this long; the caches are then left as they were.
constexpr int kToolBoundMs = 10000;

using Job = std::pair<QString, QStringList>;

class Queue : public QObject {
public:
    Queue()
    {
        // Killed by the shop's exit, a tool would leave the caches unbuilt until the next change.
        connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { wait(kToolBoundMs); });
    }

    void add(const Job& job)
    {
        if (!waiting_.contains(job))
            waiting_ << job;
        next();
    }

    bool wait(int ms)
    {
        const QDeadlineTimer until(ms);
        while (running_) {
            if (until.hasExpired())
                return false;
            // Its finished signal starts the next one.
            if (!running_->waitForFinished(int(std::max<qint64>(1, until.remainingTime()))) && running_ &&
                running_->state() == QProcess::NotRunning)
                done();
        }
        return true;
    }

private:
    void next()
    {
        while (!running_ && !waiting_.isEmpty()) {
            const auto [tool, args] = waiting_.takeFirst();
            const QString program = QStandardPaths::findExecutable(tool);
            if (program.isEmpty())
                continue;
            auto* p = new QProcess(this);
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p->setStandardOutputFile(QProcess::nullDevice());
            connect(p, &QProcess::finished, this, [this, p] {
                if (running_ == p)
                    done();
            });
            connect(p, &QProcess::errorOccurred, this, [this, p](QProcess::ProcessError e) {
                if (e == QProcess::FailedToStart && running_ == p)
                    done();
            });
            QTimer::singleShot(kToolBoundMs, p, [p] { p->kill(); });
            running_ = p;
            p->start(program, args);
        }
    }

    void done()
    {
        running_->deleteLater();
        running_ = nullptr;
        next();
    }

    QList<Job> waiting_;
    QPointer<QProcess> running_;
};

Queue* queue()
{
    static QPointer<Queue> q;
    if (!q && QCoreApplication::instance()) {
        q = new Queue;
        q->setParent(QCoreApplication::instance());
    }
    return q;
}

} // namespace

void Run(const QString& tool, const QStringList& args)
{
    // Without an application there is nothing to run it beside; the files stay for the desktop.
    if (Queue* q = queue())
        q->add({tool, args});
}

bool WaitForAll(int ms)
{
    Queue* q = queue();
    return !q || q->wait(ms);
}

} // namespace DesktopTools
