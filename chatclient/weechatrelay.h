#pragma once
#include "relay.h"

#include <QDir>
#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>

// The relay into a running WeeChat through its fifo plugin's pipe. A line is one write to the
// pipe, whole or not at all, so a line is never half sent nor sent twice. Before a batch the
// relay asks WeeChat, through the same pipe, to touch a file from the target buffer; the file
// appears only when the buffer exists and WeeChat reads the pipe.
class WeeChatRelay : public Relay {
    Q_OBJECT
public:
    // fifo: the pipe, or a folder holding WeeChat's weechat_fifo_* pipes; empty: WeeChat's own
    // folders. buffer: a full buffer name such as irc.libera.#art; empty: WeeChat's current buffer.
    WeeChatRelay(const QString& fifo, const QString& buffer, const IrcPacer& pacer, MsClock clock = {},
                 QObject* parent = nullptr);
    ~WeeChatRelay() override;

    // Where WeeChat keeps its pipe when no path is given.
    static QStringList defaultFolders();
    // How long the buffer's answer may take.
    void setAnswerMs(int ms) { answerMs_ = ms; }

protected:
    QString program() const override { return QStringLiteral("WeeChat"); }
    QString target() const override;
    void look() override;
    void hand(const QByteArray& line) override;
    int budget() const override;

private:
    // Opens a pipe WeeChat reads; the reason in why when there is none.
    bool open(QString* why);
    void close();
    enum class Write { Done, Full, Gone };
    Write write(const QByteArray& bytes);
    void checkAnswer();
    QByteArray prefix() const;

    QString fifo_;
    QString buffer_;
    int fd_ = -1;
    QString openPath_;
    QString answerPath_;
    QTimer answerTimer_;
    QTimer askTimer_;  // a full pipe takes the question a little later
    QElapsedTimer asked_;
    int answerMs_ = 3000;
    quint32 asks_ = 0;
};
