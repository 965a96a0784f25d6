#include "catalog/UntProductosExcel.h"

#include "common/Dialogs.h"
#include "platform/DialogParts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kv {

TFrmProductosExcel::TFrmProductosExcel(Connection& db, QWidget* parent)
    : DataScreen(db, QStringLiteral("FrmProductosExcel"), QStringLiteral("Excel Movimiento"), parent), QProductos(db, this)
{
    setWindowTitle(QStringLiteral("Excel Movimiento"));
    QProductos.setObjectName(QStringLiteral("QProductos"));
    auto* main = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;

    auto* datos = new QGroupBox(QStringLiteral("Datos a Exportar"), this);
    datos->setObjectName(QStringLiteral("GroupBox1"));
    auto* g = new QGridLayout(datos);
    int n = 0;
    for (const ProductExport::Column& c : ProductExport::columns()) {
        auto* cb = named(new QCheckBox(c.caption, datos), QStringLiteral("CheckBox%1").arg(n + 1), c.caption);
        g->addWidget(cb, n % 7, n / 7);
        CheckBoxes << cb;
        ++n;
    }
    CbPrecios = named(new QCheckBox(QStringLiteral("&Precios"), datos), QStringLiteral("CbPrecios"), QStringLiteral("Precios"));
    g->addWidget(CbPrecios, n % 7, n / 7);
    top->addWidget(datos, 3);

    auto* imprimir = new QGroupBox(QStringLiteral("Imprimir"), this);
    imprimir->setObjectName(QStringLiteral("GroupBox2"));
    auto* r = new QGridLayout(imprimir);
    Edit1 = named(new QLineEdit(QStringLiteral("1"), imprimir), QStringLiteral("Edit1"), QStringLiteral("Desde Producto"));
    Edit2 = named(new QLineEdit(QStringLiteral("999999999"), imprimir), QStringLiteral("Edit2"), QStringLiteral("Hasta Producto"));
    r->addWidget(captionFor(QStringLiteral("&Desde Producto"), Edit1, imprimir), 0, 0);
    r->addWidget(Edit1, 0, 1);
    r->addWidget(captionFor(QStringLiteral("&Hasta Producto"), Edit2, imprimir), 1, 0);
    r->addWidget(Edit2, 1, 1);
    RadioGroup1 = named(new RadioGroup(QStringLiteral("Orden"), {QStringLiteral("Alfabetico"), QStringLiteral("Númerico")}, 1,
                                       imprimir),
                        QStringLiteral("RadioGroup1"), QStringLiteral("Orden"));
    RadioGroup1->setItemIndex(0);
    r->addWidget(RadioGroup1, 2, 0, 1, 2);
    BtnValidar = button(QStringLiteral("BtnValidar"), QStringLiteral("&Validar"), imprimir);
    BtnCopiar = button(QStringLiteral("BtnCopiar"), QStringLiteral("&Copiar a Excel"), imprimir);
    r->addWidget(BtnValidar, 3, 0);
    r->addWidget(BtnCopiar, 3, 1);
    top->addWidget(imprimir, 2);
    main->addLayout(top);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    auto* page = new QWidget(PageControl1);
    page->setObjectName(QStringLiteral("TabSheet1"));
    auto* p = new QVBoxLayout(page);
    // Every column of the list, as the query names it.
    DBGrid1 = named(new DbGrid(QProductos, page), QStringLiteral("DBGrid1"), QStringLiteral("Movimiento Pos"));
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    p->addWidget(DBGrid1);
    PageControl1->addTab(page, QStringLiteral("Movimiento Pos"));
    main->addWidget(PageControl1, 1);

    StatusBar1 = processStatusBar(main, Panel1, Panel2);

    connect(BtnValidar, &QPushButton::clicked, this, &TFrmProductosExcel::BtnValidarClick);
    connect(BtnCopiar, &QPushButton::clicked, this, &TFrmProductosExcel::BtnCopiarClick);
    resize(900, 620);
}

TFrmProductosExcel::~TFrmProductosExcel() { deleteChildWidgets(this); }

QCheckBox* TFrmProductosExcel::checkBox(const QString& caption) const
{
    for (QCheckBox* cb : CheckBoxes)
        if (cb->text() == caption)
            return cb;
    return caption == QLatin1String("Precios") ? CbPrecios : nullptr;
}

bool TFrmProductosExcel::choice(ProductExportChoice& c) const
{
    // Product numbers only: the range is compared as numbers and bound, never spliced into SQL.
    static const QRegularExpression whole(QStringLiteral("^\\s*\\d{1,18}\\s*$"));
    if (!whole.match(Edit1->text()).hasMatch() || !whole.match(Edit2->text()).hasMatch()) {
        ShowMessage(QStringLiteral("Los productos Desde y Hasta deben ser números enteros."));
        return false;
    }
    c.desde = Edit1->text().trimmed().toLongLong();
    c.hasta = Edit2->text().trimmed().toLongLong();
    c.alfabetico = RadioGroup1->itemIndex() != 1;
    c.precios = CbPrecios->isChecked();
    c.columns.clear();
    for (QCheckBox* cb : CheckBoxes)
        if (cb->isChecked())
            c.columns << cb->text();
    return true;
}

void TFrmProductosExcel::BtnValidarClick()
{
    ProductExportChoice c;
    if (!choice(c))
        return;
    QProductos.Close();
    QProductos.setSql(ProductExport::sql(c));
    for (auto [name, value] : ProductExport::params(c).asKeyValueRange())
        QProductos.setParam(name, value);
    QProductos.Open();
    validated_ = c;
    hasValidated_ = true;
}

void TFrmProductosExcel::BtnCopiarClick()
{
    // Before any "Validar" the list is made first, from the boxes as they stand.
    if (!hasValidated_) {
        BtnValidarClick();
        if (!hasValidated_)
            return;
    }
    ProductExportChoice c = validated_;
    c.precios = CbPrecios->isChecked();
    const QString saved = exportWorkbook(this, Panel2, QStringLiteral("Productos"), [&](Workbook& wb, const ExportProgress& p) {
        return ProductExport::write(db(), wb, c, p);
    });
    if (!saved.isEmpty())
        lastFile_ = saved;
}

}  // namespace kv
