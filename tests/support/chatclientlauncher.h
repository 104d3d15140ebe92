#pragma once
#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// Runs the stand-in chat client as its own process on the session bus (the test's private one)
// and reads what arrived in its rooms.
class ChatClientLauncher {
public:
    struct Line {
        double time = 0;
        QByteArray room;
        QByteArray bytes;
    };

    // Layout options such as "--classic"; busName empty: the client's usual name.
    explicit ChatClientLauncher(const QStringList& options = {}, const QString& busName = {});
    ~ChatClientLauncher();

    // Starts the client and waits until it serves on the bus; false (with the reason in
    // error()) when it does not come up.
    bool start();
    void stop();
    // Stops the process in its tracks (it stays on the bus but answers nothing) and lets it go on.
    void freeze();
    void thaw();
    QString error() const { return error_; }
    qint64 processId() const { return process_.processId(); }

    QList<Line> transcript() const;
    // The client's window tree, one line per window (its debug view).
    QString dump() const;
    // Whether a window is still open, and its enabled flag as the dump shows it.
    bool isWindow(quint32 hwnd) const;
    bool isEnabled(quint32 hwnd) const;
    // What a room shows, as its user reads it, and where each character of one of its lines
    // stands (pixels from the left, then the line's end), from column first on, count of them.
    QString roomText(quint32 room) const;
    QList<double> roomLineX(quint32 room, int line, int first = 0, int count = -1) const;

    static QString program();

private:
    QStringList options_;
    QString busName_;
    QTemporaryDir dir_;
    QProcess process_;
    QString error_;
};
