#include "roomlog.h"

#include <QAbstractTextDocumentLayout>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include <algorithm>

namespace {
QString droppedNotice(qsizetype keepBytes)
{
    return QStringLiteral("*** Older messages were dropped: a room keeps its last %1 of messages.")
        .arg(keepBytes >= (1 << 20) ? QStringLiteral("%1 MB").arg(keepBytes >> 20)
                                    : QStringLiteral("%1 bytes").arg(keepBytes));
}
}

RoomLog::RoomLog(qsizetype keepBytes)
    : document_(std::make_unique<QTextDocument>())
    , keepBytes_(keepBytes)
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
    add({Kind::Message, sender, bytes});
}

void RoomLog::plainMessage(const QByteArray& sender, const QByteArray& bytes)
{
    add({Kind::Plain, sender, bytes});
}

void RoomLog::notice(const QString& text)
{
    add({Kind::Notice, {}, text.toUtf8()});
}

void RoomLog::add(Entry entry)
{
    keptBytes_ += entry.sender.size() + entry.bytes.size();
    entries_.push_back(std::move(entry));
    show(entries_.back());
    trim();
}

// Down to three quarters of the bound at once, so a full room does not trim at every message.
void RoomLog::trim()
{
    if (keptBytes_ <= keepBytes_ || entries_.size() < 2)
        return;
    int blocks = 0;
    if (trimmed_) {
        blocks += entries_.front().blocks;
        entries_.pop_front();
    }
    while (keptBytes_ > keepBytes_ / 4 * 3 && entries_.size() > 1) {
        keptBytes_ -= entries_.front().sender.size() + entries_.front().bytes.size();
        blocks += entries_.front().blocks;
        entries_.pop_front();
    }
    QTextCursor cursor(document_.get());
    cursor.setPosition(document_->findBlockByNumber(blocks).position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    // The room says so on its first line.
    trimmed_ = true;
    Entry said{Kind::Notice, {}, droppedNotice(keepBytes_).toUtf8(), 1};
    QTextCharFormat italic;
    italic.setFontItalic(true);
    cursor.movePosition(QTextCursor::Start);
    cursor.insertText(QString::fromUtf8(said.bytes), italic);
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    entries_.push_front(std::move(said));
}

void RoomLog::show(Entry& entry)
{
    const int before = document_->isEmpty() ? 0 : document_->blockCount();
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
    entry.blocks = document_->blockCount() - before;
}

void RoomLog::setFixedWidth(bool fixed)
{
    if (options_.fixedWidth == fixed)
        return;
    options_.fixedWidth = fixed;
    document_->clear();
    RoomRender::prepare(document_.get(), options_);
    for (Entry& e : entries_)
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
