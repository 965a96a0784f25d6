#include "platform/DataScreen.h"

#include "common/Dialogs.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

namespace kv {

DataScreen::DataScreen(Connection& db, const QString& objectName, const QString& caption, QWidget* parent)
    : QDialog(parent), db_(db), keys_(new ScreenKeys(this, ScreenKeys::EnterWhereNamed))
{
    setObjectName(objectName);
    setWindowTitle(caption);
    setCaptionName(this, caption);
    keys_->escape = [this] {
        // A grid's cell being typed into takes its Esc first (the view drops the cell's text).
        QWidget* focus = QApplication::focusWidget();
        for (QWidget* w = focus ? focus->parentWidget() : nullptr; w; w = w->parentWidget())
            if (qobject_cast<QAbstractItemView*>(w))
                return false;
        return cancelEdits();
    };
}

DataScreen::~DataScreen()
{
    // The controls go before the datasets they show.
    deleteChildWidgets(this);
}

void DataScreen::setCaptionName(QWidget* w, const QString& caption)
{
    w->setAccessibleName(QString(caption).remove(QLatin1Char('&')).remove(QLatin1Char(':')).trimmed());
}

Dataset& DataScreen::addTable(const QString& objectName, const QString& table, Rows rows)
{
    owned_.push_back(std::make_unique<Dataset>(db_));
    Dataset& ds = *owned_.back();
    ds.setObjectName(objectName);
    ds.setTableName(table);
    addDataset(ds, rows);
    return ds;
}

void DataScreen::addDataset(Dataset& ds, Rows rows) { datasets_.push_back({&ds, rows}); }

bool DataScreen::openTables()
{
    return guarded([this] {
        for (const Entry& e : datasets_)
            if (!e.ds->active())
                e.ds->Open();
    });
}

bool DataScreen::settleRow(Dataset& ds)
{
    if (!ds.active() || !ds.isEditing())
        return true;
    if (!userChanged(ds))
        return guarded([&ds] { ds.Cancel(); });  // only the defaults of a new row: nothing to keep
    switch (dialogs().yesNoCancel(saveChangesText())) {
    case Reply::Yes:
        return guarded([&ds] {
            updateRecord(ds);
            ds.Post();
        });
    case Reply::No:
        return guarded([&ds] { ds.Cancel(); });
    case Reply::Cancel:
        break;
    }
    return false;
}

bool DataScreen::postRow(Dataset& ds)
{
    if (!ds.active() || !ds.isEditing())
        return true;
    return guarded([&ds] {
        if (userChanged(ds)) {
            updateRecord(ds);
            ds.Post();
        } else {
            ds.Cancel();
        }
    });
}

bool DataScreen::settleRows()
{
    // Details before their masters: posting a master may move it and take its details along.
    for (auto it = datasets_.rbegin(); it != datasets_.rend(); ++it)
        if (it->rows == Rows::Edited && !settleRow(*it->ds))
            return false;
    return true;
}

bool DataScreen::cancelEdits()
{
    bool cancelled = false;
    for (auto it = datasets_.rbegin(); it != datasets_.rend(); ++it) {
        Dataset& ds = *it->ds;
        if (it->rows == Rows::Edited && ds.active() && ds.isEditing()) {
            guarded([&ds] { ds.Cancel(); });
            cancelled = true;
        }
    }
    return cancelled;
}

void DataScreen::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    openTables();
}

void DataScreen::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier && keys_->escape && keys_->escape()) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void DataScreen::done(int r)
{
    if (!settleRows())
        return;
    for (auto it = datasets_.rbegin(); it != datasets_.rend(); ++it)
        it->ds->Close();
    QDialog::done(r);
}

// ---------------------------------------------------------------- controls

DbEdit* DataScreen::edit(Dataset& ds, const QString& objectName, const QString& field, QWidget* parent)
{
    auto* e = new DbEdit(ds, field, parent ? parent : this);
    e->setObjectName(objectName);
    return e;
}

DbGrid* DataScreen::grid(Dataset& ds, const QString& objectName, const QString& caption,
                         const QVector<GridColumn>& columns, QWidget* parent)
{
    auto* g = named(new DbGrid(ds, parent ? parent : this), objectName, caption);
    g->setColumns(columns);
    return g;
}

DbNavigator* DataScreen::navigator(Dataset& ds, QWidget* parent)
{
    return new DbNavigator(ds, parent ? parent : this);  // named DBNavigator1, "Navegador"
}

QPushButton* DataScreen::button(const QString& objectName, const QString& caption, QWidget* parent)
{
    auto* b = named(new QPushButton(caption, parent ? parent : this), objectName, caption);
    // Enter in a box moves on or writes its text; it never presses a button behind the user's back.
    b->setAutoDefault(false);
    return b;
}

QStatusBar* DataScreen::statusBar(QWidget* parent)
{
    auto* bar = new QStatusBar(parent ? parent : this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    return bar;
}

QStatusBar* DataScreen::processStatusBar(QBoxLayout* into, QLabel*& proceso, QLabel*& progress)
{
    QStatusBar* bar = statusBar();
    proceso = new QLabel(QStringLiteral("Proceso"), bar);
    proceso->setObjectName(QStringLiteral("Panel1"));
    progress = new QLabel(QStringLiteral("..."), bar);
    progress->setObjectName(QStringLiteral("Panel2"));
    bar->addWidget(proceso);
    bar->addWidget(progress, 1);
    into->addWidget(bar);
    return bar;
}

}  // namespace kv
