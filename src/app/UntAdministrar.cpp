#include "app/UntAdministrar.h"

#include "app/UntPos.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>

namespace kv {

TFrmAdministrar::TFrmAdministrar(Connection& db, QWidget* parent)
    : DataScreen(db, QStringLiteral("FrmAdministrar"), QStringLiteral("INSERTA MENU"), parent), TblProgramas(db)
{
    TblProgramas.setObjectName(QStringLiteral("TblProgramas"));
    TblProgramas.setTableName(QStringLiteral("PROGRAMASPOS"));
    TblProgramas.setIndexFieldNames(QStringLiteral("NUMEROPROGRAMA"));
    addDataset(TblProgramas);

    DBGrid1 = grid(TblProgramas, QStringLiteral("DBGrid1"), QStringLiteral("Programas"),
                   {gridColumn(QStringLiteral("NUMEROPROGRAMA")), gridColumn(QStringLiteral("DESCRIPCION")),
                    gridColumn(QStringLiteral("OBSERVACION")), gridColumn(QStringLiteral("INDIMAGEN")),
                    gridColumn(QStringLiteral("INDSELECION")), gridColumn(QStringLiteral("NIVEL")),
                    gridColumn(QStringLiteral("PROGRAMA"))});
    addGridEditingKeys(DBGrid1);

    DBNavigator1 = navigator(TblProgramas);

    DBMemo1 = new DbMemo(TblProgramas, QStringLiteral("OBSERVACION"), this);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    DBMemo1->setAccessibleName(QStringLiteral("Observación"));
    DBMemo1->setFixedHeight(90);

    TreeView1 = programTreeWidget(QStringLiteral("TreeView1"), QStringLiteral("Vista del menu"), this);
    TreeView1->setMinimumWidth(260);

    Button1 = button(QStringLiteral("Button1"), QStringLiteral("Alimenta menu"));
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("Refresh Menu"));
    SpeedButton1->setAccessibleName(SpeedButton1->text());
    connect(Button1, &QPushButton::clicked, this, &TFrmAdministrar::Button1Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &TFrmAdministrar::SpeedButton1Click);

    auto* left = new QVBoxLayout;
    left->addWidget(DBNavigator1);
    left->addWidget(DBGrid1, 1);
    left->addWidget(new QLabel(QStringLiteral("Observación"), this));
    left->addWidget(DBMemo1);
    auto* right = new QVBoxLayout;
    right->addWidget(TreeView1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(SpeedButton1);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addLayout(right, 2);

    FormCreate();
    resize(1000, 600);
}

TFrmAdministrar::~TFrmAdministrar() { deleteChildWidgets(this); }

void TFrmAdministrar::FormCreate() { openTables(); }

void TFrmAdministrar::Button1Click()
{
    // A row still being typed belongs in the preview: it is posted first, as leaving it would.
    if (!postRow(TblProgramas))
        return;
    guarded([this] {
        const QVariant here = TblProgramas.IsEmpty() ? QVariant()
                                                     : TblProgramas.FieldByName(QStringLiteral("NUMEROPROGRAMA")).value();
        CargaArbolProgramas(TreeView1, TblProgramas);
        // A preview is not a user's menu: its nodes carry no program index, so no permission
        // string could ever be applied to it.
        std::function<void(QTreeWidgetItem*)> strip = [&](QTreeWidgetItem* n) {
            n->setData(0, ProgramIndexRole, QVariant());
            for (int c = 0; c < n->childCount(); ++c)
                strip(n->child(c));
        };
        for (int t = 0; t < TreeView1->topLevelItemCount(); ++t)
            strip(TreeView1->topLevelItem(t));
        TreeView1->expandAll();
        // The builder walked the cursor; the grid goes back to the row the user was on.
        if (!here.isNull())
            TblProgramas.Locate(QStringLiteral("NUMEROPROGRAMA"), here);
    });
}

void TFrmAdministrar::SpeedButton1Click() { TreeView1->viewport()->update(); }

}  // namespace kv
