#pragma once
// Full third party maintenance ("TERCEROS "): customers, suppliers, patients and referring
// professionals, with a navigator, a NIT search box, a read-only grid and four tabs. Opened modally
// by the customer search's button "Crear Terceros":
//
//     TFrmCrearTerceros dlg(db, this);
//     dlg.exec();
//
// A third party that purchase orders, sales, orders or stock movements refer to is not deleted.
#include "platform/DataScreen.h"

#include <QHash>

class QGridLayout;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;

namespace kv {

class TFrmCrearTerceros : public DataScreen {
    Q_OBJECT
public:
    explicit TFrmCrearTerceros(Connection& db, QWidget* parent = nullptr);
    ~TFrmCrearTerceros() override;

    Dataset TbProveedores;

    DbNavigator* DBNavigator1;
    QLineEdit* EditBuscar;  // group "Registro"
    QGroupBox* GroupImprimir;
    DbGrid* DBGrid1;
    QTabWidget* PageControl1;
    QWidget* TabGenerales;
    QWidget* TabClienteProveedor;
    QWidget* TabVentas;
    QWidget* TabDirecciones;
    DbMemo* DBMemoNOTA;

    DbEdit* edit(const QString& column) const { return edits_.value(column.toUpper()); }
    DbRadioGroup* radio(const QString& column) const { return radios_.value(column.toUpper()); }

public slots:
    void EditBuscarChange();
    void DBNavigator1Click();
    void PageControl1Change(int index);
    void FechaNacimientoDblClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    DbEdit* addEdit(QGridLayout* grid, int row, int col, const QString& caption, const QString& column, int span = 1);
    DbRadioGroup* addRadio(QGridLayout* grid, int row, int col, const QString& caption, const QString& column,
                           const QStringList& items, const QStringList& values, int columns = 2);
    void TbProveedoresBeforeDelete();
    void TbProveedoresCalcFields();
    QString nameOf(double nit);

    QHash<QString, DbEdit*> edits_;
    QHash<QString, DbRadioGroup*> radios_;
    QHash<qint64, QString> names_;  // referrers' names, read once while the screen is open
};

}  // namespace kv
