#include "catalog/UntLineasFacturas.h"

#include "common/Dialogs.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace kv {

namespace {

// The "Tipo" cell: a pick list of the three alignments. The column is one character wide, so the
// chosen text is stored as its first letter.
class TipoDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* box = new QComboBox(parent);
        box->addItems(TFrmLineasFacturas::tipoItems());
        box->setAccessibleName(QStringLiteral("Tipo"));
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* box = static_cast<QComboBox*>(editor);
        const QString stored = index.data(Qt::EditRole).toString().trimmed();
        int at = 0;
        for (int i = 0; i < box->count(); ++i)
            if (!stored.isEmpty() && box->itemText(i).startsWith(stored, Qt::CaseInsensitive))
                at = i;
        box->setCurrentIndex(at);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        model->setData(index, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
    }
};

}  // namespace

DbGrid* TFrmLineasFacturas::linesGrid(Dataset& lines, const QString& name, const QString& caption,
                                      const QString& detailTitle, QWidget* parent)
{
    DbGrid* grid = DataScreen::grid(lines, name, caption,
                                    {gridColumn(QStringLiteral("DETALLE"), detailTitle),
                                     gridColumn(QStringLiteral("TIPO"), QStringLiteral("Tipo"))},
                                    parent);
    grid->setItemDelegateForColumn(1, new TipoDelegate(grid));
    grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    grid->setColumnWidth(1, 110);
    addGridEditingKeys(grid);
    return grid;
}

const QStringList& TFrmLineasFacturas::tipoItems()
{
    static const QStringList items{QStringLiteral("Centrado"), QStringLiteral("Derecha"), QStringLiteral("Izquierda")};
    return items;
}

int TFrmLineasFacturas::nextLinea(Connection& db, const QString& table)
{
    // New lines always go after the existing ones: gaps left by deleted lines are not filled.
    const QVariant max = db.scalar(QStringLiteral("SELECT MAX(LINEA) \nFROM %1").arg(table));
    return (max.isNull() ? 0 : max.toInt()) + 1;
}

TFrmLineasFacturas::TFrmLineasFacturas(Connection& db, QWidget* parent)
    : DataScreen(db, QStringLiteral("FrmLineasFacturas"), QStringLiteral("Linea Facturas"), parent),
      top_(addTable(QStringLiteral("TTop"), QStringLiteral("POSLINEATOP"))),
      bottom_(addTable(QStringLiteral("TBotton"), QStringLiteral("POSLINEABOTTOM"))),
      registro_(addTable(QStringLiteral("TRegistro"), QStringLiteral("REGISTRO")))
{
    top_.setIndexFieldNames(QStringLiteral("LINEA"));
    top_.AfterInsert = [this](Dataset& ds) { TTopAfterInsert(ds); };
    bottom_.setIndexFieldNames(QStringLiteral("LINEA"));
    bottom_.AfterInsert = [this](Dataset& ds) { TBottonAfterInsert(ds); };

    OpenPictureDialog1 = [this] {
        return QFileDialog::getOpenFileName(
            this, QStringLiteral("Carga Logo"), QString(),
            QStringLiteral("Imágenes (*.png *.jpg *.jpeg *.bmp *.gif *.ico);;Todos los archivos (*)"));
    };

    auto* main = new QVBoxLayout(this);
    GroupBox1 = new QGroupBox(QStringLiteral("Lineas Arriba"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* g1 = new QVBoxLayout(GroupBox1);
    DBGrid1 = linesGrid(top_, QStringLiteral("DBGrid1"), QStringLiteral("Lineas Arriba"), QStringLiteral("Deatalle"),
                        GroupBox1);
    g1->addWidget(DBGrid1);
    main->addWidget(GroupBox1, 1);

    GroupBox2 = new QGroupBox(QStringLiteral("Lineas Abajo"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    auto* g2 = new QVBoxLayout(GroupBox2);
    DBGrid2 = linesGrid(bottom_, QStringLiteral("DBGrid2"), QStringLiteral("Lineas Abajo"), QStringLiteral("Deatlle"),
                        GroupBox2);
    g2->addWidget(DBGrid2);
    main->addWidget(GroupBox2, 1);

    GroupBox3 = new QGroupBox(QStringLiteral("Logo"), this);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    auto* g3 = new QHBoxLayout(GroupBox3);
    SpeedButton1 = button(QStringLiteral("SpeedButton1"), QStringLiteral("Carga Logo"), GroupBox3);
    Image1 = new QLabel(GroupBox3);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(QStringLiteral("Logo"));
    Image1->setFixedSize(220, 110);
    Image1->setFrameShape(QFrame::StyledPanel);
    Image1->setScaledContents(true);  // stretched to the box, as the invoices print it
    g3->addWidget(SpeedButton1, 0, Qt::AlignTop);
    g3->addWidget(Image1);
    g3->addStretch(1);
    main->addWidget(GroupBox3);

    connect(SpeedButton1, &QPushButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(&registro_, &Dataset::reset, this, [this] { showLogo(); });
    connect(&registro_, &Dataset::rowChanged, this, [this] { showLogo(); });
    resize(640, 620);
    guarded([this] { FormCreate(); });
}

void TFrmLineasFacturas::FormCreate()
{
    if (openTables())
        showLogo();
}

void TFrmLineasFacturas::TTopAfterInsert(Dataset& ds)
{
    ds.FieldByName(QStringLiteral("LINEA")).setInteger(nextLinea(db(), QStringLiteral("POSLINEATOP")));
}

void TFrmLineasFacturas::TBottonAfterInsert(Dataset& ds)
{
    ds.FieldByName(QStringLiteral("LINEA")).setInteger(nextLinea(db(), QStringLiteral("POSLINEABOTTOM")));
}

void TFrmLineasFacturas::showLogo()
{
    QPixmap pm;
    if (registro_.active() && !registro_.IsEmpty())
        pm.loadFromData(registro_.FieldByName(QStringLiteral("LOGO")).asBytes());
    Image1->setPixmap(pm);
}

void TFrmLineasFacturas::SpeedButton1Click()
{
    const QString file = OpenPictureDialog1 ? OpenPictureDialog1() : QString();
    if (file.isEmpty())
        return;  // cancelled: REGISTRO stays as it was
    // The file goes into the database unchanged, but only when it is a picture the invoices can
    // print; otherwise the previous logo stays and the owner is told why nothing changed.
    QFile f(file);
    QByteArray bytes;
    if (f.open(QIODevice::ReadOnly))
        bytes = f.readAll();
    if (bytes.isEmpty() || QImage::fromData(bytes).isNull()) {
        ShowMessage(QStringLiteral("No se pudo leer una imagen del archivo %1. Se conserva el logo anterior.")
                        .arg(QDir::toNativeSeparators(file)));
        return;
    }
    const bool stored = guarded([this, &bytes] {
        registro_.Edit();
        registro_.FieldByName(QStringLiteral("LOGO")).setValue(bytes);
        registro_.Post();
    });
    if (!stored)
        guarded([this] { registro_.Cancel(); });
    showLogo();
}

}  // namespace kv
