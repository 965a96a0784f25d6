#include "catalog/UntCrearTerceros.h"

#include "catalog/ThirdParties.h"
#include "catalog/UntCalendario.h"
#include "common/Dialogs.h"
#include "common/Errors.h"
#include "common/Numbers.h"
#include "platform/DialogParts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kv {

namespace {
const QStringList kSiNo{QStringLiteral("Si"), QStringLiteral("No")};
const QStringList kSN{QStringLiteral("S"), QStringLiteral("N")};
}  // namespace

TFrmCrearTerceros::TFrmCrearTerceros(Connection& db, QWidget* parent)
    : DataScreen(db, QStringLiteral("FrmCrearTerceros"), QStringLiteral("TERCEROS "), parent), TbProveedores(db)
{
    addDataset(TbProveedores);
    resize(980, 720);

    TbProveedores.setObjectName(QStringLiteral("TbProveedores"));
    TbProveedores.setTableName(QStringLiteral("PROVEEDORES"));  // key order, by NIT
    TbProveedores.addCalcField(QStringLiteral("NombrePadre"), FieldType::String, 40);
    TbProveedores.addCalcField(QStringLiteral("NombreAbuelo"), FieldType::String, 60);
    TbProveedores.OnCalcFields = [this](Dataset&) { TbProveedoresCalcFields(); };
    TbProveedores.BeforeDelete = [this](Dataset&) { TbProveedoresBeforeDelete(); };
    TbProveedores.AfterPost = [this](Dataset&) { names_.clear(); };
    TbProveedores.AfterDelete = [this](Dataset&) { names_.clear(); };
    TbProveedores.setPageSize(60);
    TbProveedores.Open();
    Field& nit = TbProveedores.FieldByName(QStringLiteral("NIT"));
    nit.displayLabel = QStringLiteral("Nit");
    nit.OnValidate = CheckNitValue;

    // ---- top bar: navigator, search box, print group
    DBNavigator1 = navigator(TbProveedores);
    QGroupBox* groupRegistro = nullptr;
    EditBuscar = recordSearchBox(groupRegistro, QStringLiteral("Registro"), QStringLiteral("Registro"), &TbProveedores, this);
    groupRegistro->setObjectName(QStringLiteral("GroupRegistro"));
    EditBuscar->setObjectName(QStringLiteral("EditBuscar"));

    // The print controls have no report behind them; they are shown disabled rather than as
    // buttons that do nothing.
    GroupImprimir = new QGroupBox(QStringLiteral("Imprimir"), this);
    GroupImprimir->setObjectName(QStringLiteral("GroupImprimir"));
    auto* btnImprimir = new QPushButton(QStringLiteral("&Imprimir"), GroupImprimir);
    btnImprimir->setObjectName(QStringLiteral("BtnImprimir"));
    btnImprimir->setAutoDefault(false);
    auto* desde = new QLineEdit(QStringLiteral("1"), GroupImprimir);
    desde->setObjectName(QStringLiteral("EditInicial"));
    desde->setToolTip(QStringLiteral("Registro Inicial del Informe"));
    auto* hasta = new QLineEdit(QStringLiteral("999999999"), GroupImprimir);
    hasta->setObjectName(QStringLiteral("EditFinal"));
    hasta->setToolTip(QStringLiteral("Registro Final del Informe"));
    auto* orden = new RadioGroup(QStringLiteral("Orden"), {QStringLiteral("A"), QStringLiteral("#")}, 2, GroupImprimir);
    orden->setObjectName(QStringLiteral("RadioGroupOrden"));
    orden->setItemIndex(0);
    auto* printRow = new QHBoxLayout(GroupImprimir);
    printRow->addWidget(btnImprimir);
    printRow->addWidget(desde);
    printRow->addWidget(hasta);
    printRow->addWidget(orden);
    GroupImprimir->setEnabled(false);

    auto* top = new QHBoxLayout;
    top->addWidget(DBNavigator1);
    top->addWidget(groupRegistro, 1);
    top->addWidget(GroupImprimir);

    // ---- grid
    DBGrid1 = grid(TbProveedores, QStringLiteral("DBGrid1"), QStringLiteral("Terceros"),
                   {{QStringLiteral("NIT"), QStringLiteral("Nit"), QStringLiteral("###,###."), true, 14},
                         {QStringLiteral("DV"), QStringLiteral("Dv"), QString(), true, 3},
                         {QStringLiteral("NOMBRE"), QStringLiteral("Nombre"), QString(), true, 30},
                         {QStringLiteral("DIRECCION"), QStringLiteral("Direccion"), QString(), true, 24},
                         {QStringLiteral("TELEFONO"), QStringLiteral("Telefono"), QString(), true, 13},
                         {QStringLiteral("EMAIL"), QStringLiteral("Email"), QString(), true, 22},
                         {QStringLiteral("AUTERRETENEDOR"), QStringLiteral("Autoretenedor"), QString(), true, 13},
                         {QStringLiteral("ICA"), QStringLiteral("Ica"), QString(), true, 3},
                         {QStringLiteral("NombrePadre"), QStringLiteral("Referencia 1"), QString(), true, 24},
                    {QStringLiteral("NombreAbuelo"), QStringLiteral("Referencia 2"), QString(), true, 24}});
    DBGrid1->datasetModel()->setReadOnly(true);
    DBGrid1->setMinimumHeight(180);

    // ---- tabs
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));

    TabGenerales = new QWidget;
    TabGenerales->setObjectName(QStringLiteral("TabGenerales"));
    {
        auto* g = new QGridLayout(TabGenerales);
        int r = 0;
        addEdit(g, r, 0, QStringLiteral("Nit"), QStringLiteral("NIT"))->setDisplayFormat(QStringLiteral("###,###."));
        addEdit(g, r++, 2, QStringLiteral("Dv"), QStringLiteral("DV"))->setEnabled(false);
        addEdit(g, r++, 0, QStringLiteral("Nombre  :"), QStringLiteral("NOMBRE"), 3);
        addEdit(g, r++, 0, QStringLiteral("Direcciòn  :"), QStringLiteral("DIRECCION"), 3);
        addEdit(g, r, 0, QStringLiteral("Tèlefono  :"), QStringLiteral("TELEFONO"));
        addEdit(g, r++, 2, QStringLiteral("Fax :"), QStringLiteral("FAX"));
        addEdit(g, r++, 0, QStringLiteral("E Mail  :"), QStringLiteral("EMAIL"), 3);
        addEdit(g, r++, 0, QStringLiteral("Contacto :"), QStringLiteral("CONTACTO"), 3);
        addEdit(g, r, 0, QStringLiteral("Ciudad  :"), QStringLiteral("CIUDAD"));
        addEdit(g, r++, 2, QStringLiteral("Pais :"), QStringLiteral("PAIS"));
        addEdit(g, r, 0, QStringLiteral("Cumpleaños:"), QStringLiteral("FECHACUMPLEANOS"));
        DbEdit* fecha = addEdit(g, r++, 2, QStringLiteral("Fecha Nacimiento :"), QStringLiteral("FECHANACIMIENTO"));
        fecha->setDisplayFormat(QStringLiteral("dd mmm yyyy"));
        fecha->setToolTip(QStringLiteral("dd/mm/aaaa; doble click abre el calendario"));
        connect(fecha, &DbEdit::doubleClicked, this, &TFrmCrearTerceros::FechaNacimientoDblClick);
        addRadio(g, r, 0, QStringLiteral("Tipo Tercero"), QStringLiteral("TIPOTERCERO"),
                 {QStringLiteral("Compañia"), QStringLiteral("P. Natural")}, {QStringLiteral("C"), QStringLiteral("P")});
        addRadio(g, r++, 2, QStringLiteral("Clase De Cliente"), QStringLiteral("CLASETERCERO"),
                 {QStringLiteral("Cliente"), QStringLiteral("Proveedor")}, {QStringLiteral("C"), QStringLiteral("P")});
        g->setRowStretch(r, 1);
    }
    PageControl1->addTab(TabGenerales, QStringLiteral("Datos Generales"));

    TabClienteProveedor = new QWidget;
    TabClienteProveedor->setObjectName(QStringLiteral("TabClienteProveedor"));
    {
        auto* g = new QGridLayout(TabClienteProveedor);
        int r = 0;
        addEdit(g, r, 0, QStringLiteral("Cuenta Compra :"), QStringLiteral("CUENTACONTABLEC"));
        addEdit(g, r++, 2, QStringLiteral("Cuenta Venta:"), QStringLiteral("CUENTACONTABLEV"));
        DBMemoNOTA = new DbMemo(TbProveedores, QStringLiteral("NOTA"), TabClienteProveedor);
        DBMemoNOTA->setObjectName(QStringLiteral("DBMemoNOTA"));
        DBMemoNOTA->setAccessibleName(QStringLiteral("Nota :"));
        DBMemoNOTA->setMaximumHeight(70);
        auto* lblNota = new QLabel(QStringLiteral("Nota :"), TabClienteProveedor);
        lblNota->setBuddy(DBMemoNOTA);
        g->addWidget(lblNota, r, 0);
        g->addWidget(DBMemoNOTA, r++, 1, 1, 3);
        addEdit(g, r++, 0, QStringLiteral("Referencia:"), QStringLiteral("PADRE"))
            ->setDisplayFormat(QStringLiteral("###,###."));
        DbEdit* ref1 = addEdit(g, r, 0, QStringLiteral("Referencia 1"), QStringLiteral("NombrePadre"));
        ref1->setReadOnly(true);
        DbEdit* ref2 = addEdit(g, r++, 2, QStringLiteral("Referencia 2"), QStringLiteral("NombreAbuelo"));
        ref2->setReadOnly(true);
        addRadio(g, r, 0, QStringLiteral("Ica ?"), QStringLiteral("ICA"), kSiNo, kSN);
        addRadio(g, r++, 2, QStringLiteral("Autoretenedor ?"), QStringLiteral("AUTERRETENEDOR"), kSiNo, kSN);
        addRadio(g, r++, 0, QStringLiteral("Clase De Cliente"), QStringLiteral("CLASECLIENTE"),
                 {QStringLiteral("General"), QStringLiteral("Gobierno"), QStringLiteral("Concesionarios")},
                 {QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03")}, 3);
        g->setRowStretch(r, 1);
    }
    PageControl1->addTab(TabClienteProveedor, QStringLiteral("Cliente / Proveedor"));

    TabVentas = new QWidget;
    TabVentas->setObjectName(QStringLiteral("TabVentas"));
    {
        auto* g = new QGridLayout(TabVentas);
        int r = 0;
        addEdit(g, r, 0, QStringLiteral("Vendedor  :"), QStringLiteral("VENDEDOR"));
        addEdit(g, r++, 2, QStringLiteral("Cobrador  :"), QStringLiteral("COBRADOR"));
        addEdit(g, r, 0, QStringLiteral("Zona  :"), QStringLiteral("ZONA"));
        addEdit(g, r++, 2, QStringLiteral(" Sub Zona  :"), QStringLiteral("SUBZONA"));
        addEdit(g, r++, 0, QStringLiteral("Cupo  :"), QStringLiteral("CUPO"))->setDisplayFormat(QStringLiteral("###,###.00."));
        addRadio(g, r, 0, QStringLiteral("Condiciòn"), QStringLiteral("CONDICION"),
                 {QStringLiteral("Contado"), QStringLiteral("30 Dias")}, {QStringLiteral("01"), QStringLiteral("30")});
        addRadio(g, r++, 2, QStringLiteral("Bloqueo"), QStringLiteral("BLOQUEO"),
                 {QStringLiteral("Cupo"), QStringLiteral("Mora"), QStringLiteral("Cheques Devueltos")},
                 {QStringLiteral("0"), QStringLiteral("7"), QStringLiteral("A")}, 1);
        g->setRowStretch(r, 1);
    }
    PageControl1->addTab(TabVentas, QStringLiteral("Ventas"));

    // Addresses: the third party's name over a panel of address boxes that no table keeps.
    TabDirecciones = new QWidget;
    TabDirecciones->setObjectName(QStringLiteral("TabDirecciones"));
    {
        auto* g = new QGridLayout(TabDirecciones);
        auto* nombre = new DbEdit(TbProveedores, QStringLiteral("NOMBRE"), TabDirecciones);
        nombre->setObjectName(QStringLiteral("DBEditNOMBREDirecciones"));
        nombre->setAccessibleName(QStringLiteral("Nombre"));
        nombre->setReadOnly(true);
        g->addWidget(nombre, 0, 0, 1, 4);
        const char* const boxes[][2] = {{"Direcciòn", "EditDireccion"}, {"Tèlefono", "EditTelefono"},
                                        {"E Mail", "EditEmail"},         {"Contacto", "EditContacto"},
                                        {"Fax", "EditFax"},              {"Ciudad", "EditCiudad"},
                                        {"Pais", "EditPais"},            {"Numero Direccion", "EditNumero"}};
        for (int i = 0; i < 8; ++i) {
            auto* l = new QLabel(QString::fromUtf8(boxes[i][0]), TabDirecciones);
            auto* e = new QLineEdit(TabDirecciones);
            e->setObjectName(QString::fromLatin1(boxes[i][1]));
            e->setAccessibleName(QString::fromUtf8(boxes[i][0]));
            l->setBuddy(e);
            g->addWidget(l, 1 + i / 2, (i % 2) * 2);
            g->addWidget(e, 1 + i / 2, (i % 2) * 2 + 1);
        }
        g->setRowStretch(5, 1);
    }
    PageControl1->addTab(TabDirecciones, QStringLiteral("Direcciones"));

    auto* lay = new QVBoxLayout(this);
    lay->addLayout(top);
    lay->addWidget(DBGrid1, 1);
    lay->addWidget(PageControl1, 1);

    connect(EditBuscar, &QLineEdit::textChanged, this, &TFrmCrearTerceros::EditBuscarChange);
    connect(DBNavigator1, &DbNavigator::acted, this, &TFrmCrearTerceros::DBNavigator1Click);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TFrmCrearTerceros::PageControl1Change);
}

TFrmCrearTerceros::~TFrmCrearTerceros() { deleteChildWidgets(this); }

DbEdit* TFrmCrearTerceros::addEdit(QGridLayout* grid, int row, int col, const QString& caption, const QString& column,
                                   int span)
{
    auto* e = DataScreen::edit(TbProveedores, QStringLiteral("DBEdit") + column, column, grid->parentWidget());
    grid->addWidget(captionFor(caption, e, grid->parentWidget()), row, col);
    grid->addWidget(e, row, col + 1, 1, span);
    edits_.insert(column.toUpper(), e);
    return e;
}

DbRadioGroup* TFrmCrearTerceros::addRadio(QGridLayout* grid, int row, int col, const QString& caption,
                                          const QString& column, const QStringList& items, const QStringList& values,
                                          int columns)
{
    auto* r = new DbRadioGroup(TbProveedores, column, caption, items, values, columns, grid->parentWidget());
    r->setObjectName(QStringLiteral("DBRadioGroup") + column);
    grid->addWidget(r, row, col, 1, 2);
    radios_.insert(column.toUpper(), r);
    return r;
}

QString TFrmCrearTerceros::nameOf(double nit)
{
    if (nit == 0)
        return QString();
    const qint64 key = qint64(nit);
    auto it = names_.constFind(key);
    if (it != names_.constEnd())
        return *it;
    const QString name = ThirdPartyName(db(), nit);
    names_.insert(key, name);
    return name;
}

void TFrmCrearTerceros::TbProveedoresCalcFields()
{
    // Referrers are few (the dentists), so their names are read once and kept while the screen
    // is open; a page of the grid costs no more than a query per distinct referrer.
    Dataset& t = TbProveedores;
    t.FieldByName(QStringLiteral("NombrePadre")).setValue(nameOf(t.FieldByName(QStringLiteral("PADRE")).asFloat()));
    t.FieldByName(QStringLiteral("NombreAbuelo")).setValue(nameOf(t.FieldByName(QStringLiteral("ABUELO")).asFloat()));
}

void TFrmCrearTerceros::TbProveedoresBeforeDelete()
{
    const QString why = ThirdPartyInUse(db(), TbProveedores.FieldByName(QStringLiteral("NIT")).asFloat());
    if (!why.isEmpty()) {
        ShowMessage(why);
        throw Abort();
    }
}

void TFrmCrearTerceros::EditBuscarChange()
{
    // Moves to the third party whose NIT is exactly the typed number; nothing moves otherwise.
    const QString text = EditBuscar->text().trimmed();
    if (text.isEmpty())
        return;
    // The text is read as a number first, so letters are refused the same way whether the rows
    // happen to be all in memory or not.
    guarded([this, &text] { TbProveedores.Locate(QStringLiteral("NIT"), StrToFloat(text)); });
}

void TFrmCrearTerceros::DBNavigator1Click()
{
    PageControl1->setCurrentWidget(TabGenerales);
    if (TbProveedores.state() == DsState::Insert)
        edit(QStringLiteral("NIT"))->setFocus();
    else if (TbProveedores.state() == DsState::Edit)
        edit(QStringLiteral("NOMBRE"))->setFocus();
}

void TFrmCrearTerceros::PageControl1Change(int index)
{
    if (PageControl1->widget(index) != TabDirecciones)
        return;
    guarded([this] {
        updateRecord(TbProveedores);
        if (TbProveedores.isEditing())
            TbProveedores.Post();
    });
}

void TFrmCrearTerceros::FechaNacimientoDblClick() { pickDateInto(TbProveedores, QStringLiteral("FECHANACIMIENTO")); }

void TFrmCrearTerceros::showEvent(QShowEvent* e)
{
    DataScreen::showEvent(e);
    EditBuscar->setFocus();  // ready to type the NIT looked for
}

}  // namespace kv
