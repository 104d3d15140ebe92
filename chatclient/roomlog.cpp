#include "roomlog.h"

#include <QAbstractTextDocumentLayout>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

RoomLog::RoomLog()
    : document_(std::make_unique<QTextDocument>())
{
    RoomRender::prepare(document_.get(), options_);
}

QString RoomLog::decode(const QByteArray& bytes)
{
    QStringDecoder decoder("windows-1252");
    return decoder.decode(bytes);
}

void RoomLog::message(const QByteArray& sender, const QByteArray& bytes)
{
    entries_.push_back({Kind::Message, sender, bytes});
    show(entries_.back());
}

void RoomLog::plainMessage(const QByteArray& sender, const QByteArray& bytes)
{
    entries_.push_back({Kind::Plain, sender, bytes});
    show(entries_.back());
}

void RoomLog::notice(const QString& text)
{
    entries_.push_back({Kind::Notice, {}, text.toUtf8()});
    show(entries_.back());
}

void RoomLog::show(const Entry& entry)
{
    switch (entry.kind) {
    case Kind::Message:
        RoomRender::appendMessage(document_.get(), decode(entry.sender), decode(entry.bytes), options_);
        break;
    case Kind::Plain:
        RoomRender::appendPlain(document_.get(), decode(entry.sender), decode(entry.bytes));
        break;
    case Kind::Notice:
        RoomRender::appendNotice(document_.get(), QString::fromUtf8(entry.bytes));
        break;
    }
}

void RoomLog::setFixedWidth(bool fixed)
{
    if (options_.fixedWidth == fixed)
        return;
    options_.fixedWidth = fixed;
    document_->clear();
    RoomRender::prepare(document_.get(), options_);
    for (const Entry& e : entries_)
        show(e);
}

QString RoomLog::text() const
{
    return RoomRender::plainText(document_.get());
}

QList<double> RoomLog::lineX(int line, int first, int count) const
{
    QList<double> out;
    const QTextBlock block = document_->findBlockByNumber(line);
    if (!block.isValid())
        return out;
    // Lays the room out up to this line when no view has done so yet.
    document_->documentLayout()->blockBoundingRect(block);
    const QTextLayout* layout = block.layout();
    if (!layout)
        return out;
    const int length = block.length() - 1;
    first = std::clamp(first, 0, length + 1);
    const int last = count < 0 ? length : std::min(length, first + count - 1);
    for (int i = first; i <= last; ++i) {
        const QTextLine l = layout->lineForTextPosition(i);
        out.append(l.isValid() ? l.cursorToX(i) : 0.0);
    }
    return out;
}
