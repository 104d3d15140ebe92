#include "transcript.h"

#include <chrono>

bool Transcript::open(const QString& path)
{
    file_.setFileName(path);
    return file_.open(QIODevice::WriteOnly | QIODevice::Append);
}

void Transcript::write(const QByteArray& room, const QByteArray& message)
{
    if (!file_.isOpen())
        return;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
    QByteArray line = QByteArray::number(micros / 1000000) + '.'
                      + QByteArray::number(micros % 1000000).rightJustified(6, '0');
    line += '\t' + room + '\t' + message.toHex() + '\n';
    file_.write(line);
    file_.flush();
}
