#pragma once
#include "relay.h"

#include <QDir>
#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>

// The relay into a running WeeChat through its fifo plugin's pipe. A line is one write to the
// pipe, whole or not at all, so a line is never half sent nor sent twice. Before a batch, and
// after each few lines, the relay asks WeeChat through the same pipe to touch one of two files
// from the target buffer: "yes" only when the buffer is a channel with people in it (joined, on a
// connected server), "no" else. A pipe WeeChat reads in order, so a "yes" also confirms every
// line written before the question.
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
    // Bytes written and not yet read by WeeChat; -1 when the pipe lost its reader.
    int unread() const;
    // WeeChat went away with lines whose fate nobody knows: the room hears how many.
    void tellUnconfirmed();

    QString fifo_;
    QString buffer_;
    int fd_ = -1;
    QString openPath_;
    QString yesPath_;
    QString noPath_;
    bool asking_ = false;    // a question is in the pipe, not answered yet
    int unconfirmed_ = 0;    // lines written since the last "yes"
    QTimer answerTimer_;
    QTimer askTimer_;  // a full pipe takes the question a little later
    QElapsedTimer asked_;
    int answerMs_ = 3000;
    quint32 asks_ = 0;
};
