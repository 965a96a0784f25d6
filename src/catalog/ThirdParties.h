#pragma once
// What the third party screens share: reading a NIT typed by a person, the checks before a third
// party is deleted, names by NIT, and the way a creation dialog posts its row when it closes.
#include "data/Dataset.h"

#include <QString>

class QDialog;

namespace kv {

// A NIT or cédula as typed: digits only, no dots, letters or blanks inside (blanks around are
// ignored), and not zero. Raises ConversionError with a message saying so.
double NitFromText(const QString& text);
bool IsNitText(const QString& text);

// Field check for PROVEEDORES.NIT: a whole number above zero (an empty NIT is left to the
// required-field check of the post).
void CheckNitValue(Field& f, const QVariant& value);

// Why the third party cannot be deleted, or an empty text when nothing refers to it: a supplier
// with purchase orders, or a customer of sales, orders or stock movements, would leave those
// documents pointing at nobody.
QString ThirdPartyInUse(Connection& c, double nit);
// The refusal texts.
QString SupplierHasOrdersText();
QString ThirdPartyHasDocumentsText();

// NOMBRE of the third party, "" when there is none.
QString ThirdPartyName(Connection& c, double nit);

// Posts the row of a dialog that saves when it closes (there is no cancel). On a refusal the
// database's or the conversion's text is shown and the user is asked whether to leave without
// saving; answering No keeps the dialog open with the row still being edited. Returns true when
// the dialog may close.
bool PostBeforeClosing(Dataset& ds);
QString LeaveWithoutSavingText();

}  // namespace kv
