#pragma once
#include <QByteArray>
#include <QList>
#include <QRgb>
#include <QString>
#include <QStringList>

// The room's HTML as IRC text. Font colours become the nearest IRC colour, written only where
// the colour a reader sees changes; bold, italic and underline become their toggles; sup and sub
// are dropped; an anchor becomes its text and its address. Every line ends in a reset (\x0F) so
// nothing leaks into the next message.
namespace IrcColors {

enum class Palette {
    Standard,  // colours 0..15, the ones every IRC client knows
    Extended,  // colours 0..98
};

// The RGB value of an IRC colour (0..98).
QRgb rgb(int code);
// The IRC colour closest to rgb as the eye sees it; the lower number wins a tie.
int nearest(QRgb rgb, Palette palette);

// One message (several lines when it holds line breaks) as IRC lines of UTF-8. With budget > 0
// no line is longer than budget bytes: a longer one is split between two characters and the
// continuation starts with the colour and bold that were in force.
QList<QByteArray> fromHtml(const QString& html, Palette palette, int budget = 0);

// Lines of room HTML (pages, a macro's lines) as text to paste into any IRC program: one line
// each, LF between them, the colours as IRC codes. A blank line stays blank.
QString forPaste(const QStringList& lines, Palette palette = Palette::Standard);

// What a reader of IRC text sees, for the room: colour and style codes removed.
QString stripCodes(const QString& text);

} // namespace IrcColors
