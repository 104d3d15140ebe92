// A whole send to a real SMTP server on loopback (aiosmtpd), the design's send beside it: its
// waits were time-bound, about ten of 3 to 4 s each, 30 to 40 s for one mail.
#include "mail/wsksock.h"
#include "platform/clock.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start("/usr/bin/python3", {QStringLiteral(QUORL_SOURCE_DIR "/tests/support/smtp_server.py"), "--log",
                                      dir.filePath("log")});
    QByteArray line;
    QDeadlineTimer deadline(20000);
    while (!line.contains('\n') && !deadline.hasExpired() && server.state() != QProcess::NotRunning) {
        server.waitForReadyRead(500);
        line += server.readAllStandardOutput();
    }
    if (!line.startsWith("PORT ")) {
        std::fprintf(stderr, "the SMTP server (python3-aiosmtpd) did not come up\n");
        return 1;
    }
    WSKSOCK::Relay relay;
    relay.host = "127.0.0.1";
    relay.port = quint16(line.mid(5).trimmed().toUInt());

    QString body;
    for (int i = 0; i < 200; ++i)
        body += "a line of art, number " + QString::number(i) + "\r\n";
    const WSKSOCK::Mail mail{"bench@shop.quorl.example", "makers@quorl.example", "bench", body};

    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        WSKSOCK::Failure failure;
        if (!WSKSOCK::SendMail(mail, relay, &failure)) {
            std::fprintf(stderr, "send failed: %s\n", qPrintable(WSKSOCK::StepText(failure.step)));
            return 1;
        }
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("whole send to a loopback SMTP server, %d runs: median %.1f ms, worst %.1f ms "
                "(the design: 30000 to 40000 ms)\n",
                runs, ms[ms.size() / 2], ms.back());
    server.kill();
    server.waitForFinished(5000);
    return 0;
}
