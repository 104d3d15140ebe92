#include "printer.h"

#include "platform/progfolder.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStorageInfo>
#include <QTextDocument>

namespace Printer {

namespace {
Source* installed = nullptr;

// Why a PDF could not be written into its folder, for the message.
QString pdfProblem(const QString& file)
{
    const QString folder = QFileInfo(file).absolutePath();
    const QStorageInfo disk(folder);
    if (disk.isValid() && disk.isReady() && disk.bytesAvailable() < 64 * 1024)
        return "the disk holding " + folder + " is full";
    if (disk.isReadOnly() || !QFileInfo(folder).isWritable())
        return "the folder " + folder + " cannot be written to";
    return "writing the file failed";
}

QString nextPdfName(const QString& folder)
{
    for (int n = 1;; ++n) {
        const QString name = folder + QStringLiteral("/macro print %1.pdf").arg(n);
        if (!QFileInfo::exists(name))
            return name;
    }
}
}

SystemPrinter::SystemPrinter(const QString& pdfFolder, bool forcePdf)
    : pdfFolder_(pdfFolder), forcePdf_(forcePdf)
{
}

bool SystemPrinter::print(const Job& job, QString* error)
{
    QPrinter printer(QPrinter::HighResolution);
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (forcePdf_ || info.isNull()) {
        const QString folder = pdfFolder_.isEmpty() ? ProgramFolder::file("output") : pdfFolder_;
        if (!QFileInfo(folder).isDir()) {
            if (error)
                *error = "There is no printer, and the folder " + folder + " for a PDF copy is missing.";
            return false;
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(nextPdfName(folder));
        last_ = printer.outputFileName();
        pdf_ = true;
    } else {
        printer.setPrinterName(info.printerName());
        last_ = info.printerName();
        pdf_ = false;
    }
    printer.setDocName("macro");

    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&printer);
    QFont font(job.family);
    font.setPointSizeF(job.pointSize > 0 ? job.pointSize : 12);
    doc.setDefaultFont(font);
    QString text = job.text;
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    doc.setPlainText(text);
    // A document with a page size prints as laid out, without page numbers of its own.
    doc.setPageSize(printer.pageRect(QPrinter::DevicePixel).size());

    QPainter painter;
    if (!painter.begin(&printer)) {
        if (error)
            *error = pdf_ ? "The PDF file " + last_ + " could not be written: " + pdfProblem(last_) + "."
                          : "The printer " + last_ + " could not be opened.";
        if (pdf_)
            QFile::remove(last_);
        return false;
    }
    const QSizeF page = doc.pageSize();
    const int pages = doc.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            printer.newPage();
        painter.save();
        painter.translate(0, -page.height() * i);
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.clip = QRectF(0, page.height() * i, page.width(), page.height());
        painter.setClipRect(ctx.clip);
        doc.documentLayout()->draw(&painter, ctx);
        painter.restore();
    }
    const bool ended = painter.end();
    // The PDF writer does not report a write that fell short: a full disk leaves an empty or
    // cut file behind that looks like a copy. A whole PDF ends with its end-of-file mark.
    if (pdf_ && !(ended && WholePdf(last_))) {
        if (error)
            *error = "The PDF file " + last_ + " could not be written whole: " + pdfProblem(last_) + ".";
        QFile::remove(last_); // the name was free before this job, the part is no copy
        return false;
    }
    if (!ended) {
        if (error)
            *error = "The print job for " + last_ + " could not be finished.";
        return false;
    }
    return true;
}

bool WholePdf(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly) || f.size() < 64)
        return false;
    // The mark sits in the last bytes, maybe followed by a line end.
    if (!f.seek(f.size() - 32))
        return false;
    return f.read(32).contains("%%EOF");
}

void install(Source* source) { installed = source; }

Source& current()
{
    static SystemPrinter system;
    return installed ? *installed : system;
}

} // namespace Printer
