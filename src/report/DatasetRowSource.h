#pragma once
// A report fed by a Dataset: the report walks the cursor from its first row to its end, reading
// fields by name, exactly as a printout walks a query. The cursor is opened when it is not yet
// open. Screens that show the same cursor in a grid may wish to DisableControls() around
// rendering, since the report moves the current row.
#include "data/Dataset.h"
#include "report/RowSource.h"

namespace kv {

class DatasetRowSource : public RowSource {
public:
    explicit DatasetRowSource(Dataset& ds) : ds_(ds) {}

    Dataset& dataset() const { return ds_; }

    void first() override;
    void next() override;
    bool eof() const override;
    // Null for a missing field or a NULL value; char(n) fields without their trailing blanks;
    // blobs (a logo) as their bytes.
    QVariant value(const QString& name) const override;
    QStringList fieldNames() const override;

private:
    Dataset& ds_;
};

}  // namespace kv
