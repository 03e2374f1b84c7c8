#pragma once

#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <filesystem>
#include <memory>

#include "platform/printer.h"

namespace quendro {

// The printer through Qt Print Support. One device unit is one twip (1440 dpi),
// so positions and the half-width advance of the list font (100 twips at 10 pt)
// stay exact. The system's default printer takes the job; on a machine with no
// printer the job is written as a PDF file instead, so that nothing is lost.
class QtPrinter : public Printer {
  public:
    // Prints on the default printer, or into pdfWhenNoPrinter when there is none.
    static std::unique_ptr<QtPrinter> systemOrPdf(std::filesystem::path pdfWhenNoPrinter);
    // Always writes the job into a PDF file.
    static std::unique_ptr<QtPrinter> pdf(std::filesystem::path file);

    // The program's own path of the PDF file ("c:\quendro\temp\lap_list.pdf"),
    // named on the status line before where the file is on this machine.
    void showPdfPathAs(std::u16string path) { pdfShownAs_ = std::move(path); }

    void setFont(std::u16string_view name, double points) override;
    void setCurrentX(int twips) override { x_ = twips; }
    void setCurrentY(int twips) override { y_ = twips; }
    void print(std::u16string_view text) override;
    void endLine() override;
    Outcome endDoc() override;

  private:
    explicit QtPrinter(std::filesystem::path pdfFile);
    void start();
    double lineHeight() const;

    std::filesystem::path pdfFile_;  // empty: the default printer
    std::u16string pdfShownAs_;
    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
    QFont font_;
    bool started_ = false;
    bool failed_ = false;
    double x_ = 0;
    double y_ = 0;
};

}  // namespace quendro
