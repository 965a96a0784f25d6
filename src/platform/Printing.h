#pragma once
// Sending a rendered report to paper. Both calls honour KORVELA_PRINT_TO: when it names a folder,
// the Document is written there as the next numbered PDF instead, and nothing is shown.
#include "report/Document.h"

class QWidget;

namespace kv {

// Prints on the default printer without asking. A missing printer or a printing failure is shown
// through the general error box; the return value says whether the pages went out.
bool print(const Document& doc);

// Shows the Document in a modal print preview, from which the user may print. False when the
// preview could not be made (the PDF of KORVELA_PRINT_TO could not be written; the general error
// box has said why).
bool preview(const Document& doc, QWidget* parent = nullptr);

}  // namespace kv
