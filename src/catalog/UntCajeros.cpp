#include "catalog/UntCajeros.h"

#include "data/SignOnGuard.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

namespace kv {

CatalogList TFrmCajeros::listDescription()
{
    return {QStringLiteral("CAJEROS"), QStringLiteral("POSCAJEROS"), QStringLiteral("CEDULA"), QStringLiteral("NOMBRE"),
            {{QStringLiteral("Cèdula"), QStringLiteral("CEDULA"), 0, 30, QStringLiteral("###,###."), true},
             {QStringLiteral("Nombre"), QStringLiteral("NOMBRE"), 36, 120},
             {QStringLiteral("Nivel"), QStringLiteral("NIVEL"), 160, 20}}};
}

namespace {
CatalogScreenDescription screenDescription()
{
    CatalogScreenDescription s;
    s.objectName = QStringLiteral("FrmCajeros");
    s.caption = QStringLiteral("Cajeros");
    s.titleLabel = QStringLiteral("CAJEROS");
    s.table = QStringLiteral("POSCAJEROS");
    s.datasetName = QStringLiteral("TCajero");
    s.keyField = QStringLiteral("CEDULA");
    s.keyCaption = QStringLiteral("Cèdula  :");
    s.keyPicture = QStringLiteral("###,###.");
    s.secondField = QStringLiteral("NOMBRE");
    s.secondCaption = QStringLiteral("Nombre :");
    s.gridColumns = {gridColumn(QStringLiteral("CEDULA"), QString(), QStringLiteral("###,###."), 14),
                     gridColumn(QStringLiteral("NOMBRE")),
                     gridColumn(QStringLiteral("NIVEL")),
                     gridColumn(QStringLiteral("ESTADO"), QStringLiteral("ESTADO"))};
    s.list = TFrmCajeros::listDescription();
    // Whether he may sign on; cashiers made before the mark have none and are active.
    s.prepareTable = [](Dataset& ds) {
        ds.addCalcField(QStringLiteral("ESTADO"), FieldType::String, 10);
        ds.OnCalcFields = [](Dataset& d) {
            d[QStringLiteral("ESTADO")].setValue(cashierActive(d[QStringLiteral("ACTIVO")].value())
                                                     ? QStringLiteral("Activo")
                                                     : QStringLiteral("Inactivo"));
        };
    };
    return s;
}
}  // namespace

TFrmCajeros::TFrmCajeros(Connection& db, QWidget* parent)
    : CatalogScreen(db, screenDescription(), parent),
      cajas_(addTable(QStringLiteral("TCajas"), QStringLiteral("POSCAJAS"), Rows::ReadOnly)),
      proveedores_(addTable(QStringLiteral("TProveedores"), QStringLiteral("PROVEEDORES"), Rows::ReadOnly))
{
    // The cashier's own third-party row, kept in step with the cashier shown.
    proveedores_.setMasterSource(&table(), QStringLiteral("CEDULA"), QStringLiteral("NIT"));

    DBEdit3 = edit(table(), QStringLiteral("DBEdit3"), QStringLiteral("CLAVE"));
    DBEdit3->setEchoMode(QLineEdit::Password);
    addRow(QStringLiteral("Clave :"), DBEdit3);

    // A cashier who no longer works here is marked inactive rather than deleted: his name stays on
    // the documents and counts he made, and no sign-on lets him in.
    DBCheckBox1 = new DbCheckBox(table(), QStringLiteral("ACTIVO"), QString(), QStringLiteral("S"), QStringLiteral("N"), this);
    DBCheckBox1->setObjectName(QStringLiteral("DBCheckBox1"));
    DBCheckBox1->setEmptyChecked(true);
    addRow(QStringLiteral("Activo :"), DBCheckBox1);

    DBLookupComboBox1 = new DbLookupComboBox(table(), QStringLiteral("CAJA"), cajas_, QStringLiteral("CAJA"),
                                             QStringLiteral("NOMBRE"), this);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    addRow(QStringLiteral("Caja Asignada  :"), DBLookupComboBox1);

    DBRadioGroup1 = new DbRadioGroup(
        table(), QStringLiteral("NIVEL"), QStringLiteral("Nivel de Autonomia"),
        {QStringLiteral("Cajero"), QStringLiteral("Vendedor"), QStringLiteral("Registradora"), QStringLiteral("Supervisor"),
         QStringLiteral("Jefe"), QStringLiteral("Ventas Ambulantes"), QStringLiteral("Hotel"), QStringLiteral("Restaurante")},
        {QStringLiteral("C"), QStringLiteral("V"), QStringLiteral("R"), QStringLiteral("S"), QStringLiteral("J"),
         QStringLiteral("8"), QStringLiteral("1"), QStringLiteral("2")},
        2, this);
    DBRadioGroup1->setObjectName(QStringLiteral("DBRadioGroup1"));
    DBRadioGroup2 = new DbRadioGroup(table(), QStringLiteral("COBRA"), QStringLiteral("Privilegio de Recibir Pago"),
                                     {QStringLiteral("Si"), QStringLiteral("No")},
                                     {QStringLiteral("S"), QStringLiteral("N")}, 1, this);
    DBRadioGroup2->setObjectName(QStringLiteral("DBRadioGroup2"));
    DBRadioGroup3 = new DbRadioGroup(table(), QStringLiteral("IMPRIMIR"), QStringLiteral("Privilegio de Imprision"),
                                     {QStringLiteral("Factura"), QStringLiteral("Recibo Para pago"), QStringLiteral("Ninguno")},
                                     {QStringLiteral("F"), QStringLiteral("R"), QStringLiteral("N")}, 1, this);
    DBRadioGroup3->setObjectName(QStringLiteral("DBRadioGroup3"));
    DBRadioGroup4 = new DbRadioGroup(table(), QStringLiteral("CAMBIAPRECIO"),
                                     QStringLiteral("Privilegio Para Cambiar Precio "),
                                     {QStringLiteral("Si"), QStringLiteral("No")},
                                     {QStringLiteral("S"), QStringLiteral("N")}, 1, this);
    DBRadioGroup4->setObjectName(QStringLiteral("DBRadioGroup4"));
    auto* groups = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(DBRadioGroup1), static_cast<QWidget*>(DBRadioGroup2),
                       static_cast<QWidget*>(DBRadioGroup3), static_cast<QWidget*>(DBRadioGroup4)})
        groups->addWidget(w);
    extras()->addLayout(groups);

    auto* contact = new QGridLayout;
    DBText1 = new DbText(proveedores_, QStringLiteral("DIRECCION"), this);
    DBText1->setObjectName(QStringLiteral("DBText1"));
    DBText2 = new DbText(proveedores_, QStringLiteral("TELEFONO"), this);
    DBText2->setObjectName(QStringLiteral("DBText2"));
    DBText3 = new DbText(proveedores_, QStringLiteral("EMAIL"), this);
    DBText3->setObjectName(QStringLiteral("DBText3"));
    int col = 0;
    for (auto [caption, text] : {std::pair{QStringLiteral("Direcciòn"), DBText1}, std::pair{QStringLiteral("Tèlefonos"), DBText2},
                                 std::pair{QStringLiteral("Email"), DBText3}}) {
        contact->addWidget(captionFor(caption, text, this), 0, col);
        contact->addWidget(text, 1, col);
        contact->setColumnStretch(col, 1);
        ++col;
    }
    extras()->addLayout(contact);

    resize(820, 720);
    openTables();
}

}  // namespace kv
