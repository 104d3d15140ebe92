#pragma once
#include <QString>

struct FilterTarget;

// Filter files: a header line whose text up to the first ":" names the filter, then one rule a
// line (lines end in CR LF or LF), find text "!>" replacement, applied in file order, each to the result of the ones before.
namespace Filters32 {

// A filter file larger than this is not taken for one (filters are a few rules).
constexpr qint64 kMaxFilterBytes = 4 * 1024 * 1024;

// The whole file as text; "" with the reason in error when it is missing, unreadable, not a
// plain file (a FIFO would block the reader), larger than kMaxFilterBytes, or binary.
QString ReadFilterFile(const QString& path, QString* error = nullptr);

// The text before the first ":" of the file; "" when it has none or cannot be read.
QString GetFilterName(const QString& path);
// The name the chooser lists for a filter file: its name, or the file name where the filter has
// none that reads on one row (no ":", an unreadable file, a name over several lines, only blanks).
// Two blanks stay two blanks: the chooser leaves such entries out.
QString ListedName(const QString& path);

// The longest text a rule may leave: a macro the shop can still save and open again (the macro
// file limit, less the CR LF a macro file ends with). A rule that doubles a letter would
// otherwise fill the memory in a few dozen lines.
constexpr qsizetype kMaxResult = 16 * 1024 * 1024 - 2;

// Applies the rules of a filter's content (header line included) to text. Lines without "!>"
// and rules with an empty find text are skipped. Returns the number of rules applied, or -1
// when a rule would leave more than limit characters: then text is as it was and error names
// that rule.
int ApplyFilterRules(const QString& content, QString& text, QString* error = nullptr,
                     qsizetype limit = kMaxResult);

// "BLANKFILE" when the file is empty or cannot be read, "TOOLARGE" when a rule passed
// kMaxResult, "NORULE" when the file holds no rule (text unchanged in all three, the reason in
// error when there is more to say), else "" with the rules applied to text.
QString ApplyFilterFile(const QString& path, QString& text, QString* error = nullptr);
// The same on the text of a window (the macro editor), rewritten once when the rules changed it.
QString ApplyFilterFile(const QString& path, const FilterTarget& box, QString* error = nullptr);

} // namespace Filters32
