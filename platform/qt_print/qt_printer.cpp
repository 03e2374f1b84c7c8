#include "platform/qt_print/qt_printer.h"

#include <QFontMetricsF>
#include <QPrinterInfo>
#include <QString>
#include <algorithm>
#include <fstream>

namespace quendro {
namespace {

QString qt(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// A PDF file is whole when it ends with its end-of-file mark; a full disk
// leaves it short of it, though the painter ends without a complaint.
bool wholePdf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in) return false;
    std::streamoff size = in.tellg();
    std::streamoff tail = std::min<std::streamoff>(size, 64);
    std::string end(static_cast<size_t>(tail), '\0');
    in.seekg(size - tail);
    in.read(end.data(), tail);
    return in && end.find("%%EOF") != std::string::npos;
}

}  // namespace

std::unique_ptr<QtPrinter> QtPrinter::systemOrPdf(std::filesystem::path pdfWhenNoPrinter) {
    bool noPrinter = QPrinterInfo::defaultPrinter().isNull();
    return std::unique_ptr<QtPrinter>(
        new QtPrinter(noPrinter ? std::move(pdfWhenNoPrinter) : std::filesystem::path()));
}

std::unique_ptr<QtPrinter> QtPrinter::pdf(std::filesystem::path file) {
    return std::unique_ptr<QtPrinter>(new QtPrinter(std::move(file)));
}

QtPrinter::QtPrinter(std::filesystem::path pdfFile) : pdfFile_(std::move(pdfFile)) {}

void QtPrinter::start() {
    started_ = true;
    failed_ = false;
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!pdfFile_.empty()) {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(QString::fromStdString(pdfFile_.string()));
    }
    printer_->setResolution(1440);  // one device unit is one twip
    printer_->setFullPage(false);
    if (!painter_.begin(printer_.get())) {
        failed_ = true;
        return;
    }
    painter_.setFont(font_);
}

void QtPrinter::setFont(std::u16string_view name, double points) {
    font_ = QFont(qt(name));
    font_.setPointSizeF(points);
    font_.setStyleStrategy(QFont::PreferMatch);
    if (started_ && !failed_) painter_.setFont(font_);
}

double QtPrinter::lineHeight() const {
    return QFontMetricsF(font_, printer_.get()).height();
}

void QtPrinter::print(std::u16string_view text) {
    if (!started_) start();
    if (failed_) return;
    // A line that would begin below the printable area begins on a new page.
    double pageHeight = printer_->pageRect(QPrinter::DevicePixel).height();
    if (y_ + lineHeight() > pageHeight) {
        printer_->newPage();
        y_ = 0;
    }
    QFontMetricsF metrics(font_, printer_.get());
    QString item = qt(text);
    painter_.drawText(QPointF(x_, y_ + metrics.ascent()), item);
    x_ += metrics.horizontalAdvance(item);
}

void QtPrinter::endLine() {
    x_ = 0;
    y_ += started_ && !failed_ ? lineHeight() : 0;
}

namespace {

std::u16string pdfPathWords(const std::u16string& shownAs, const std::filesystem::path& file) {
    std::u16string where = QString::fromStdString(file.string()).toStdU16String();
    return shownAs.empty() ? where : shownAs + u" (" + where + u")";
}

}  // namespace

Printer::Outcome QtPrinter::endDoc() {
    Outcome outcome;
    if (!started_) return outcome;
    started_ = false;
    x_ = 0;
    y_ = 0;
    if (failed_) {
        outcome.ok = false;
        outcome.word = pdfFile_.empty()
                           ? u"印刷できませんでした: プリンタを使えません"
                           : u"印刷できませんでした: " + pdfPathWords(pdfShownAs_, pdfFile_);
        return outcome;
    }
    bool ended = painter_.end();
    if (!ended || (!pdfFile_.empty() && !wholePdf(pdfFile_))) {
        outcome.ok = false;
        outcome.word = pdfFile_.empty()
                           ? u"印刷できませんでした: 印刷を終えられません"
                           : u"印刷できませんでした: PDF を保存できません: " +
                                 QString::fromStdString(pdfFile_.string()).toStdU16String();
        return outcome;
    }
    if (!pdfFile_.empty()) {
        outcome.word =
            u"プリンタがないため PDF に保存しました: " + pdfPathWords(pdfShownAs_, pdfFile_);
    }
    return outcome;
}

}  // namespace quendro
