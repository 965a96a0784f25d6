#pragma once
// Finding a sale document of the parameter row in force by its number, as the other registers'
// screens do when a table or a typed number names one that another station may have just started
// or closed.
#include "print/InvoicePrinting.h"

#include <optional>

namespace kv {

class TDmVentas;

// Whether the document is closed (collected or voided); nothing when there is no such document.
// Read from the database, never from a cursor.
std::optional<bool> documentClosed(TDmVentas& dm, const SaleDocumentKey& key);
// The same for the document with that number under the parameter row in force.
std::optional<bool> documentClosed(TDmVentas& dm, int numero);


}  // namespace kv
