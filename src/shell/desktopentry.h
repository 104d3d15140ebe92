#pragma once
#include <QList>
#include <QString>

// Reading and writing freedesktop desktop entries and the other key files of the desktop
// (mimeapps.list). QSettings takes ";" lists and "\" escapes for its own, so the shop reads
// these files itself and changes only the lines it owns.
namespace DesktopEntry {

// One argument of an Exec line, "%" doubled. An argument with a character the desktop reserves
// (a blank, a quote, "\", "$", "~", ...) or an empty one goes in double quotes, with ", `, $
// and \ escaped inside them, then the whole escaped once more as a string value ("\" becomes "\\").
QString QuoteExecArgument(const QString& arg);

// The program the desktop's entries start: this executable, or another one (tests; "" for this).
QString Program();
void SetProgram(const QString& path);

// A key file held as its lines, so a rewrite keeps comments, other groups and other keys.
class KeyFile {
public:
    // Lines of the file at path; a missing or unreadable file reads as empty.
    static KeyFile read(const QString& path);
    static KeyFile fromText(const QString& text);

    // The raw value of key in group, "" when missing (escapes are not resolved).
    QString value(const QString& group, const QString& key) const;
    bool contains(const QString& group, const QString& key) const;
    // Sets key in group, appending the group or the key when missing.
    void setValue(const QString& group, const QString& key, const QString& value);

    QString text() const;
    // Replaces the file atomically; "" on success, else what went wrong.
    QString write(const QString& path) const;

private:
    // The line of key in group, -1 when missing.
    qsizetype find(const QString& group, const QString& key) const;
    QList<QString> lines_;
};

// Replaces the file at path atomically with bytes, making its folder; "" on success, else what
// went wrong.
QString WriteFile(const QString& path, const QByteArray& bytes);

// The entries of a ";"-separated list value (an empty last entry dropped).
QList<QString> ListValue(const QString& value);

} // namespace DesktopEntry
