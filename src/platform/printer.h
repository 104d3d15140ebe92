#pragma once
#include <QString>

// One print job of text in a given font and size. The shop prints on the default printer; where
// there is none, each job becomes a PDF file. Tests install their own folder for the PDFs.
namespace Printer {

struct Job {
    QString text;
    QString family;
    double pointSize = 12;
};

class Source {
public:
    virtual ~Source() = default;
    // False with the reason in error when the job could not be printed.
    virtual bool print(const Job& job, QString* error) = 0;
    // The PDF file the last job became; "" when it went to a printer.
    virtual QString lastPdf() const { return {}; }
};

// The default printer, or PDF files "macro print N.pdf" (the next free N) in pdfFolder
// (the program folder's output folder when empty) when there is no printer or forcePdf is set.
class SystemPrinter : public Source {
public:
    explicit SystemPrinter(const QString& pdfFolder = {}, bool forcePdf = false);
    bool print(const Job& job, QString* error) override;
    // Where the last job went: a printer name or a PDF file.
    QString lastDestination() const { return last_; }
    QString lastPdf() const override { return pdf_ ? last_ : QString(); }

private:
    QString pdfFolder_;
    bool forcePdf_;
    QString last_;
    bool pdf_ = false;
};

// True when the file is a PDF written to its end (its last bytes hold the end-of-file mark).
bool WholePdf(const QString& file);

void install(Source* source);
Source& current();

inline bool print(const Job& job, QString* error) { return current().print(job, error); }

} // namespace Printer
