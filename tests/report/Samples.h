#pragma once
// Small reports of every page kind the shop prints, built on invented data: a till receipt on a
// roll, a half-letter invoice with a logo, a letter listing with groups and totals, and a strip of
// shelf labels. Tests check their Documents; the PDF test draws them.
#include "report/Report.h"

#include <memory>

namespace kvtest {

// The report and the rows it reads, kept alive together.
struct Sample {
    std::unique_ptr<kv::Report> report;
    std::unique_ptr<kv::VectorRowSource> rows;
};

// A receipt 72.76 mm wide on 279.4 mm pages, with `lines` sale lines.
Sample rollReceipt(int lines);
// A half-letter (215.9 x 139.7) invoice with a logo and `lines` lines.
Sample halfLetterInvoice(int lines);
// The same layout on letter paper.
Sample letterInvoice(int lines);
// A letter listing of sales grouped by payment type, with group and grand totals.
Sample letterListing(int rowsPerGroup);
// Shelf labels three across on a 102.4 mm roll, `count` labels.
Sample labels(int count);

// A small PNG picture used as the business logo.
QByteArray logoPng();

}  // namespace kvtest
