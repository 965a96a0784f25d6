#include "app/UntUsuarios.h"

#include "app/UntInforme.h"
#include "app/UntPos.h"
#include "common/Dialogs.h"
#include "data/SignOnGuard.h"
#include "einvoice/PosDocument.h"
#include "platform/DbChoices.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "platform/DialogParts.h"
#include "report/ListReport.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>

namespace kv {

namespace {

// The node's mark (its icon index) is kept beside the program index the node was copied with.
constexpr int MarkRole = Qt::UserRole + 20;

// The permission string holds room for this many program-table rows after the root.
constexpr int kOpcionesSize = 200;

bool isMarkKey(int key) { return key == Qt::Key_Space || key == Qt::Key_Insert || key == Qt::Key_Delete; }

// Depth-first walk of a tree, in the order the nodes appear on screen.
void forEachNode(QTreeWidget* tree, const std::function<void(QTreeWidgetItem*)>& visit)
{
    std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* n) {
        visit(n);
        for (int c = 0; c < n->childCount(); ++c)
            walk(n->child(c));
    };
    for (int t = 0; t < tree->topLevelItemCount(); ++t)
        walk(tree->topLevelItem(t));
}

}  // namespace

// ---------------------------------------------------------------- marks

QString TFrmUsuarios::modeText(Mode m)
{
    switch (m) {
    case Navegar: return QStringLiteral("Navegar");
    case Creando: return QStringLiteral("Creando");
    case Modificando: return QStringLiteral("Modificando");
    case Eliminando: return QStringLiteral("Eliminando");
    }
    return QString();
}

bool TFrmUsuarios::isAdministratorName(const QString& nombre)
{
    static const QStringList names = {QStringLiteral("Administrador"), QStringLiteral("ADMINISTRADOR"),
                                      QStringLiteral("Admin"), QStringLiteral("ADMIN")};
    return names.contains(nombre);
}

int TFrmUsuarios::mark(const QTreeWidgetItem* node)
{
    const QVariant v = node ? node->data(0, MarkRole) : QVariant();
    return v.isValid() ? v.toInt() : NoProgram;
}

QIcon TFrmUsuarios::markIcon(int mark)
{
    static const QList<QIcon> icons = [] {
        QList<QIcon> out;
        for (int m = NotGranted; m <= NoProgram; ++m) {
            QPixmap pm(16, 16);
            pm.fill(Qt::transparent);
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing);
            if (m == NoProgram) {
                // neutral: a grey dot
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(140, 140, 140));
                p.drawEllipse(QRectF(5, 5, 6, 6));
            } else {
                p.setPen(QPen(QColor(60, 60, 60), 1.2));
                p.setBrush(Qt::white);
                p.drawRect(QRectF(2.5, 2.5, 11, 11));
                if (m == Granted) {
                    p.setPen(QPen(QColor(0, 120, 40), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                    const QPointF tick[] = {{4.5, 8.5}, {7, 11}, {12, 4.5}};
                    p.drawPolyline(tick, 3);
                }
            }
            p.end();
            out.append(QIcon(pm));
        }
        return out;
    }();
    return icons.value(mark < NotGranted || mark > NoProgram ? NoProgram : mark);
}

void TFrmUsuarios::setMark(QTreeWidgetItem* node, int m)
{
    node->setData(0, MarkRole, m);
    node->setIcon(0, markIcon(m));
}

QString TFrmUsuarios::markString() const
{
    QString s;
    forEachNode(TrVwMenu, [&s](QTreeWidgetItem* n) {
        if (programIndex(n) >= 0)
            s += QString::number(mark(n));
    });
    return s;
}

// ---------------------------------------------------------------- screen

TFrmUsuarios::TFrmUsuarios(Connection& db, QTreeWidget* programTree, QWidget* parent)
    : DataScreen(db, QStringLiteral("FrmUsuarios"), QStringLiteral("Definición de usuarios"), parent),
      TblUsuarios(db),
      TblMenu(db),
      programTree_(programTree)
{
    TblUsuarios.setObjectName(QStringLiteral("TblUsuarios"));
    TblUsuarios.setTableName(QStringLiteral("USUARIOS"));
    TblUsuarios.setIndexFieldNames(QStringLiteral("NOMBRE"));
    TblUsuarios.OnNewRecord = [this](Dataset& ds) { TblUsuariosNewRecord(ds); };
    TblUsuarios.AfterScroll = [this](Dataset&) {
        if (!saving_)
            CargaPermisosUsuario();
    };
    // Whether the user may still sign on, as the sign-on reads his mark and his expiry date.
    TblUsuarios.addCalcField(QStringLiteral("ESTADO"), FieldType::String, 10);
    TblUsuarios.OnCalcFields = [](Dataset& ds) {
        const QDate today = colombianTime(QDateTime::currentDateTimeUtc()).date();
        ds[QStringLiteral("ESTADO")].setValue(userStateText(
            userState(ds[QStringLiteral("ACTIVO")].value(), ds[QStringLiteral("FECHAVENCIMIENTO")].value(), today)));
    };
    TblMenu.setObjectName(QStringLiteral("TblMenu"));
    TblMenu.setTableName(QStringLiteral("MENU"));
    addDataset(TblUsuarios);
    addDataset(TblMenu, Rows::ReadOnly);

    DBGrid1 = grid(TblUsuarios, QStringLiteral("DBGrid1"), QStringLiteral("Usuarios"),
                   {gridColumn(QStringLiteral("CODIGO"), QStringLiteral("CODIGO"), QString(), 8),
                    gridColumn(QStringLiteral("NOMBRE"), QStringLiteral("NOMBRE"), QString(), 30),
                    gridColumn(QStringLiteral("ACTIVO"), QStringLiteral("ACTIVO"), QString(), 7),
                    gridColumn(QStringLiteral("FECHAHORA"), QStringLiteral("FECHA/HORA"), QString(), 20),
                    gridColumn(QStringLiteral("FECHAVENCIMIENTO"), QStringLiteral("VENCE"), QStringLiteral("dd/mm/yyyy"), 12),
                    gridColumn(QStringLiteral("ESTADO"), QStringLiteral("ESTADO"), QString(), 10)});
    DBGrid1->datasetModel()->setReadOnly(true);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);

    EdtCodigo = edit(TblUsuarios, QStringLiteral("EdtCodigo"), QStringLiteral("CODIGO"));
    EdtNombre = edit(TblUsuarios, QStringLiteral("EdtNombre"), QStringLiteral("NOMBRE"));
    EdtClave = new QLineEdit(this);
    EdtClave->setObjectName(QStringLiteral("EdtClave"));
    EdtConfirmacion = new QLineEdit(this);
    EdtConfirmacion->setObjectName(QStringLiteral("EdtConfirmacion"));
    for (QLineEdit* box : {EdtClave, EdtConfirmacion}) {
        box->setEchoMode(QLineEdit::Password);
        box->setMaxLength(15);
    }
    connect(EdtClave, &QLineEdit::textEdited, this, [this] { claveTyped_ = true; });
    ChkActivo = new DbCheckBox(TblUsuarios, QStringLiteral("ACTIVO"), QStringLiteral("Activo"), QStringLiteral("S"),
                               QStringLiteral("N"), this);
    ChkActivo->setObjectName(QStringLiteral("ChkActivo"));
    ChkActivo->setAccessibleName(QStringLiteral("Activo"));
    // A user made without the mark signs on: he shows as active.
    ChkActivo->setEmptyChecked(true);
    EdtFechaVencimiento = edit(TblUsuarios, QStringLiteral("EdtFechaVencimiento"), QStringLiteral("FECHAVENCIMIENTO"));
    EdtFechaVencimiento->setDisplayFormat(QStringLiteral("dd/mm/yyyy"));
    EdtFechaVencimiento->setInputMask(QStringLiteral("99/99/9999;_"));
    LbEstado = new QLabel(this);
    LbEstado->setObjectName(QStringLiteral("LbEstado"));
    auto* estado = new QLabel(QStringLiteral("Estado"), this);
    LbEstado->setAccessibleName(QStringLiteral("Estado"));
    QFont bold = LbEstado->font();
    bold.setBold(true);
    LbEstado->setFont(bold);

    auto* boxes = new QGridLayout;
    int row = 0;
    auto addRow = [&](const QString& caption, QWidget* w) {
        boxes->addWidget(captionFor(caption, w, this), row, 0);
        boxes->addWidget(w, row, 1);
        ++row;
    };
    addRow(QStringLiteral("Código"), EdtCodigo);
    addRow(QStringLiteral("Nombre"), EdtNombre);
    addRow(QStringLiteral("Clave"), EdtClave);
    addRow(QStringLiteral("Confirmacion"), EdtConfirmacion);
    boxes->addWidget(ChkActivo, row++, 1);
    addRow(QStringLiteral("Fecha Vencimiento"), EdtFechaVencimiento);
    boxes->addWidget(estado, row, 0);
    boxes->addWidget(LbEstado, row++, 1);
    boxes->setRowStretch(row, 1);

    TrVwMenu = programTreeWidget(QStringLiteral("TrVwMenu"), QStringLiteral("Permisos"), this);
    TrVwMenu->setToolTip(QStringLiteral("Espacio: marcar o desmarcar   Insert: conceder   Supr: quitar"));
    TrVwMenu->setSelectionBehavior(QAbstractItemView::SelectRows);
    TrVwMenu->setAllColumnsShowFocus(true);
    TrVwMenu->setMinimumWidth(300);
    connect(TrVwMenu, &QTreeWidget::currentItemChanged, this, &TFrmUsuarios::TrVwMenuChanging);
    connect(TrVwMenu, &QTreeWidget::itemCollapsed, this, &TFrmUsuarios::TrVwMenuCollapsing);
    connect(TrVwMenu, &QTreeWidget::itemExpanded, this, &TFrmUsuarios::TrVwMenuExpanding);

    auto* lower = new QHBoxLayout;
    lower->addLayout(boxes, 1);
    lower->addWidget(TrVwMenu, 1);

    BtnRptUsuarios = button(QStringLiteral("BtnRptUsuarios"), QStringLiteral("Lista Usuarios"), this);
    BtnRptMenu = button(QStringLiteral("BtnRptMenu"), QStringLiteral("Lista Permisos"), this);
    BtnModificar = button(QStringLiteral("BtnModificar"), QStringLiteral("Modificar"), this);
    BtnEliminar = button(QStringLiteral("BtnEliminar"), QStringLiteral("Eliminar"), this);
    BtnInsertar = button(QStringLiteral("BtnInsertar"), QStringLiteral("Insertar "), this);
    BtnGuardar = button(QStringLiteral("BtnGuardar"), QStringLiteral("Guardar"), this);
    BtnCancelar = button(QStringLiteral("BtnCancelar"), QStringLiteral("Cancelar"), this);
    BtnSalir = button(QStringLiteral("BtnSalir"), QStringLiteral("Salir"), this);
    connect(BtnRptUsuarios, &QPushButton::clicked, this, &TFrmUsuarios::BtnRptUsuariosClick);
    connect(BtnRptMenu, &QPushButton::clicked, this, &TFrmUsuarios::BtnRptMenuClick);
    connect(BtnModificar, &QPushButton::clicked, this, &TFrmUsuarios::BtnModificarClick);
    connect(BtnEliminar, &QPushButton::clicked, this, &TFrmUsuarios::BtnEliminarClick);
    connect(BtnInsertar, &QPushButton::clicked, this, &TFrmUsuarios::BtnInsertarClick);
    connect(BtnGuardar, &QPushButton::clicked, this, &TFrmUsuarios::BtnGuardarClick);
    connect(BtnCancelar, &QPushButton::clicked, this, &TFrmUsuarios::BtnCancelarClick);
    connect(BtnSalir, &QPushButton::clicked, this, &TFrmUsuarios::BtnSalirClick);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtnRptUsuarios);
    buttons->addWidget(BtnRptMenu);
    buttons->addStretch();
    for (QPushButton* b : {BtnModificar, BtnEliminar, BtnInsertar, BtnGuardar, BtnCancelar, BtnSalir})
        buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1, 2);
    layout->addLayout(lower, 3);
    layout->addLayout(buttons);

    connect(&TblUsuarios, &Dataset::stateChanged, this, &TFrmUsuarios::updateButtons);
    // FormKeyUp: Enter moves on to the next control everywhere; Esc closes while browsing and acts
    // as "Cancelar" in the other modes.
    keys()->setMode(ScreenKeys::EnterEverywhere);
    keys()->escape = [this] {
        if (mode_ == Navegar)
            return false;  // the dialog's own Esc: closing, by the closing rule
        BtnCancelarClick();
        return true;
    };
    for (QWidget* w : {static_cast<QWidget*>(EdtClave), static_cast<QWidget*>(EdtConfirmacion),
                       static_cast<QWidget*>(TrVwMenu), TrVwMenu->viewport()})
        w->installEventFilter(this);

    setMode(Navegar);
    resize(900, 640);
}

TFrmUsuarios::~TFrmUsuarios()
{
    TblUsuarios.AfterScroll = nullptr;
    deleteChildWidgets(this);
}

void TFrmUsuarios::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);  // FormActivate opens the cursors itself, in its order
    if (!activated_) {
        activated_ = true;
        guarded([this] { FormActivate(); });
    }
}

bool TFrmUsuarios::event(QEvent* e)
{
    // Later activations (coming back from a message box, for one) put the focus in "Nombre", or
    // where the message sent it.
    if (e->type() == QEvent::WindowActivate && activated_ && isVisible()) {
        // The first activation is the one FormActivate ran for, on showing.
        if (activations_++ > 0) {
            QWidget* to = focusAfterMessage_ ? focusAfterMessage_.data() : EdtNombre;
            focusAfterMessage_ = nullptr;
            to->setFocus();
        }
    }
    return DataScreen::event(e);
}

void TFrmUsuarios::FormActivate()
{
    TblMenu.Open();
    TblUsuarios.setFilter(QString());
    TblUsuarios.setIndexFieldNames(QStringLiteral("NOMBRE"));
    if (TblUsuarios.active())
        TblUsuarios.Refresh();
    else
        TblUsuarios.Open();
    TblUsuarios.First();
    CargaPermisosUsuario();
    setMode(Navegar);
    updateButtons();
    EdtCodigo->setFocus();
}

void TFrmUsuarios::setMode(Mode m)
{
    mode_ = m;
    setProperty("tag", int(m));
    LbEstado->setText(modeText(m));
}

void TFrmUsuarios::updateButtons()
{
    const bool editing = TblUsuarios.isEditing();
    BtnEliminar->setEnabled(!editing);
    BtnModificar->setEnabled(!editing);
    BtnInsertar->setEnabled(!editing);
    BtnGuardar->setEnabled(editing);
    BtnCancelar->setEnabled(editing);
}

void TFrmUsuarios::CargaPermisosUsuario()
{
    const bool hasRow = TblUsuarios.active() && !TblUsuarios.IsEmpty();
    const QString clave = hasRow ? TblUsuarios.FieldByName(QStringLiteral("CLAVE")).asString() : QString();
    EdtClave->setText(clave);
    EdtConfirmacion->setText(clave);
    claveTyped_ = false;
    marksChanged_ = false;

    const QSignalBlocker quiet(TrVwMenu);
    TrVwMenu->clear();
    if (programTree_)
        for (int t = 0; t < programTree_->topLevelItemCount(); ++t)
            TrVwMenu->addTopLevelItem(programTree_->topLevelItem(t)->clone());

    QString opciones;
    bool found = false;
    const QVariant codigo = hasRow ? TblUsuarios.FieldByName(QStringLiteral("CODIGO")).value() : QVariant();
    if (!codigo.isNull()) {
        if (TblMenu.active())
            TblMenu.Refresh();
        else
            TblMenu.Open();
        found = TblMenu.Locate(QStringLiteral("CODIGOUSUARIO"), codigo);
        if (found)
            opciones = TblMenu.FieldByName(QStringLiteral("OPCIONES")).asString();
    }
    forEachNode(TrVwMenu, [&](QTreeWidgetItem* n) {
        const int k = programIndex(n);
        if (k < 0) {
            setMark(n, NoProgram);
        } else if (found) {
            // The root has no character of its own.
            const bool denied = k >= 1 && k <= opciones.size() && opciones.at(k - 1) == QLatin1Char('0');
            setMark(n, denied ? NotGranted : Granted);
        } else {
            setMark(n, Granted);
        }
    });
    if (QTreeWidgetItem* root = TrVwMenu->topLevelItem(0)) {
        root->setExpanded(true);
        TrVwMenu->setCurrentItem(root->childCount() ? root->child(0) : root);
    }
}

void TFrmUsuarios::TblUsuariosNewRecord(Dataset& ds)
{
    ds.FieldByName(QStringLiteral("ACTIVO")).setString(QStringLiteral("S"));
    ds.FieldByName(QStringLiteral("FECHAHORA")).setValue(QDateTime::currentDateTime());
    // The code is the key and may not be empty; the next free one is proposed so that the user
    // can start with the name, where the focus goes.
    const QVariant top = db().scalar(QStringLiteral("SELECT MAX(CODIGO) FROM USUARIOS"));
    ds.FieldByName(QStringLiteral("CODIGO")).setInteger(top.isNull() ? 1 : top.toInt() + 1);
}

bool TFrmUsuarios::GuardaUsuario()
{
    // The marks are read before the user row is posted: posting may move the cursor, and a
    // move reloads the tree from what is stored.
    QString opciones = markString().mid(1);
    QVariant codigo;
    const bool ok = guarded([&] {
        updateRecord(TblUsuarios);
        if (!TblUsuarios.isEditing())
            TblUsuarios.Edit();
        Field& clave = TblUsuarios.FieldByName(QStringLiteral("CLAVE"));
        if (claveTyped_ || TblUsuarios.state() == DsState::Insert)
            clave.setString(EdtClave->text());
        codigo = TblUsuarios.FieldByName(QStringLiteral("CODIGO")).value();
        if (isAdministratorName(TblUsuarios.FieldByName(QStringLiteral("NOMBRE")).asString()))
            opciones = QString(kOpcionesSize, QLatin1Char('1'));
        // The user and his permissions are one thing: both are written or neither is.
        Transaction t(db());
        saving_ = true;
        struct Done {
            bool& flag;
            ~Done() { flag = false; }
        } done{saving_};
        TblUsuarios.Post();
        const QVariantMap values{{QStringLiteral("C"), codigo}, {QStringLiteral("O"), opciones}};
        if (db().exec(QStringLiteral("UPDATE MENU SET OPCIONES = :O WHERE CODIGOUSUARIO = :C"), values)
                .numRowsAffected() == 0)
            db().exec(QStringLiteral("INSERT INTO MENU (CODIGOUSUARIO, OPCIONES) VALUES (:C, :O)"), values);
        t.commit();
    });
    if (!ok) {
        // A refused user row stays in edit mode for correction. A row posted and then taken back
        // with the rest of the transaction is shown again as it is stored.
        if (!TblUsuarios.isEditing())
            guarded([this] { TblUsuarios.Refresh(); });
        return false;
    }
    guarded([this] { CargaPermisosUsuario(); });
    return true;
}

void TFrmUsuarios::BtnInsertarClick()
{
    if (!guarded([this] { TblUsuarios.Insert(); }))
        return;
    setMode(Creando);
    // A new user has no permission row yet: every entry shows granted.
    CargaPermisosUsuario();
    EdtClave->clear();
    EdtConfirmacion->clear();
    EdtNombre->setFocus();
}

void TFrmUsuarios::BtnModificarClick()
{
    if (!guarded([this] {
            if (!TblUsuarios.isEditing())
                TblUsuarios.Edit();
        }))
        return;
    setMode(Modificando);
    EdtNombre->setFocus();
}

void TFrmUsuarios::BtnEliminarClick()
{
    if (!TblUsuarios.active() || TblUsuarios.IsEmpty())
        return;
    if (isAdministratorName(TblUsuarios.FieldByName(QStringLiteral("NOMBRE")).asString())) {
        ShowMessage(QStringLiteral("No puede eliminar el Administrador"));
        return;
    }
    setMode(Eliminando);
    if (!dialogs().okCancel(QStringLiteral("¿Desea Eliminar ese Usuario?")))
        return;
    guarded([this] {
        // His permission row goes with him: a user created later with the same code must not
        // inherit his marks.
        Transaction t(db());
        db().exec(QStringLiteral("DELETE FROM MENU WHERE CODIGOUSUARIO = :C"),
                  {{QStringLiteral("C"), TblUsuarios.FieldByName(QStringLiteral("CODIGO")).value()}});
        TblUsuarios.Delete();
        t.commit();
    });
}

void TFrmUsuarios::BtnGuardarClick()
{
    if (!GuardaUsuario())
        return;
    setMode(Navegar);
    updateButtons();
}

void TFrmUsuarios::BtnCancelarClick()
{
    guarded([this] {
        if (TblUsuarios.isEditing())
            TblUsuarios.Cancel();
    });
    setMode(Navegar);
    updateButtons();
    // Marks changed since the last save are dropped with the rest of the row's changes.
    guarded([this] { CargaPermisosUsuario(); });
}

void TFrmUsuarios::BtnSalirClick() { close(); }

bool TFrmUsuarios::settleRows()
{
    if (!TblUsuarios.active() || !TblUsuarios.isEditing())
        return true;
    if (!userChanged(TblUsuarios) && !claveTyped_ && !marksChanged_) {
        BtnCancelarClick();  // nothing typed: only the defaults of a new user, or an untouched edit
        return true;
    }
    switch (dialogs().yesNoCancel(saveChangesText())) {
    case Reply::Yes:
        return GuardaUsuario();
    case Reply::No:
        BtnCancelarClick();
        return true;
    case Reply::Cancel:
        break;
    }
    return false;
}

void TFrmUsuarios::EdtClaveChange()
{
    if (!TblUsuarios.isEditing())
        guarded([this] { TblUsuarios.Edit(); });
}

void TFrmUsuarios::EdtConfirmacionChange()
{
    if (EdtClave->text() == EdtConfirmacion->text())
        return;
    // The focus is on its way elsewhere; it is sent back once that move is over, and when the
    // screen comes back from the message.
    focusAfterMessage_ = EdtClave;
    dialogs().error(QStringLiteral("La clave y la confirmacion son diferentes"));
    QPointer<QLineEdit> clave(EdtClave);
    QTimer::singleShot(0, this, [clave] {
        if (clave)
            clave->setFocus();
    });
}

void TFrmUsuarios::TrVwMenuEnter()
{
    if (!TblUsuarios.active() || TblUsuarios.IsEmpty() || TblUsuarios.isEditing())
        return;
    if (isAdministratorName(TblUsuarios.FieldByName(QStringLiteral("NOMBRE")).asString()))
        return;
    guarded([this] { TblUsuarios.Edit(); });
}

void TFrmUsuarios::TrVwMenuKeyUp(int key)
{
    QTreeWidgetItem* node = TrVwMenu->currentItem();
    if (!node)
        return;
    int value = Granted;
    if (key == Qt::Key_Space)
        value = mark(node) == NotGranted ? Granted : NotGranted;
    else if (key == Qt::Key_Delete)
        value = NotGranted;
    // The entry and everything under it take the same value.
    std::function<void(QTreeWidgetItem*)> apply = [&](QTreeWidgetItem* n) {
        setMark(n, value);
        marksChanged_ = true;
        for (int c = 0; c < n->childCount(); ++c)
            apply(n->child(c));
    };
    apply(node);
}

void TFrmUsuarios::TrVwMenuDblClick()
{
    if (QTreeWidgetItem* node = TrVwMenu->currentItem())
    {
        setMark(node, mark(node) == NotGranted ? Granted : NotGranted);
        marksChanged_ = true;
    }
}

void TFrmUsuarios::TrVwMenuChanging(QTreeWidgetItem* current, QTreeWidgetItem* previous)
{
    // The root is never the chosen entry: its mark is not saved.
    if (current && !current->parent() && current == TrVwMenu->topLevelItem(0)) {
        QTreeWidgetItem* back = previous ? previous : (current->childCount() ? current->child(0) : nullptr);
        if (back) {
            const QSignalBlocker quiet(TrVwMenu);
            TrVwMenu->setCurrentItem(back);
        }
    }
}

void TFrmUsuarios::TrVwMenuCollapsing(QTreeWidgetItem* node)
{
    if (node == TrVwMenu->topLevelItem(0)) {
        const QSignalBlocker quiet(TrVwMenu);
        node->setExpanded(true);
    }
}

void TFrmUsuarios::TrVwMenuExpanding(QTreeWidgetItem* node)
{
    // Opening a group folds every other one, so one group at a time is in view.
    if (!node->parent() || node->parent()->parent())
        return;
    const QSignalBlocker quiet(TrVwMenu);
    QTreeWidgetItem* root = node->parent();
    forEachNode(TrVwMenu, [&](QTreeWidgetItem* n) {
        if (n != root && n != node)
            n->setExpanded(false);
    });
}

bool TFrmUsuarios::eventFilter(QObject* watched, QEvent* event)
{
    const auto type = event->type();

    if (watched == EdtClave && type == QEvent::FocusIn) {
        EdtClaveChange();
        return false;
    }
    if (watched == EdtConfirmacion && type == QEvent::FocusOut) {
        // Only when the user moves to another control of this screen, not when a window comes
        // over it (the message itself, for one).
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (!checkingConfirmation_ && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            isVisible()) {
            checkingConfirmation_ = true;
            EdtConfirmacionChange();
            checkingConfirmation_ = false;
        }
        return false;
    }
    if (watched == TrVwMenu && type == QEvent::FocusIn) {
        TrVwMenuEnter();
        return false;
    }
    if (watched == TrVwMenu->viewport()) {
        if (type == QEvent::MouseButtonPress) {
            auto* m = static_cast<QMouseEvent*>(event);
            if (m->button() == Qt::RightButton) {
                if (QTreeWidgetItem* n = TrVwMenu->itemAt(m->position().toPoint()))
                    TrVwMenu->setCurrentItem(n);
                return true;
            }
        } else if (type == QEvent::MouseButtonDblClick) {
            auto* m = static_cast<QMouseEvent*>(event);
            if (m->button() == Qt::LeftButton) {
                if (QTreeWidgetItem* n = TrVwMenu->itemAt(m->position().toPoint()))
                    TrVwMenu->setCurrentItem(n);
                TrVwMenuDblClick();
            }
        }
        return false;
    }

    if (watched == TrVwMenu && (type == QEvent::KeyPress || type == QEvent::KeyRelease)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!isMarkKey(key->key()))
            return false;
        // The marks change when the key comes up; the tree's own use of these keys (Space
        // searching for an entry) is kept out.
        if (type == QEvent::KeyRelease && !key->isAutoRepeat())
            TrVwMenuKeyUp(key->key());
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- lists

namespace {

std::unique_ptr<Report> listOf(Connection& db, const ListReport& list, const QString& sql)
{
    Dataset rows(db);
    rows.setSql(sql);
    rows.Open();
    return listReport(list, readLetterhead(db), readRows(rows));
}

}  // namespace

std::unique_ptr<Report> TFrmUsuarios::ReporteUsuarios(Connection& db)
{
    return listOf(db,
                  {QStringLiteral("USUARIOS"),
                   {{QStringLiteral("Codigo"), QStringLiteral("CODIGO"), 0, 20, QStringLiteral("#####0"), true},
                    {QStringLiteral("Nombre"), QStringLiteral("NOMBRE"), 24, 70},
                    {QStringLiteral("Activo"), QStringLiteral("ACTIVO"), 98, 15},
                    ListColumn(QStringLiteral("Fecha/Hora"), QStringLiteral("FECHAHORA"), 116, 40)
                        .dates(QStringLiteral("dd/mm/yyyy hh:nn")),
                    ListColumn(QStringLiteral("Vence"), QStringLiteral("FECHAVENCIMIENTO"), 160, 35)
                        .dates(QStringLiteral("dd/mm/yyyy"))}},
                  QStringLiteral("SELECT CODIGO, NOMBRE, ACTIVO, FECHAHORA, FECHAVENCIMIENTO FROM USUARIOS ORDER BY NOMBRE"));
}

std::unique_ptr<Report> TFrmUsuarios::ReporteMenu(Connection& db)
{
    return listOf(db,
                  {QStringLiteral("PERMISOS POR USUARIO"),
                   {{QStringLiteral("Usuario"), QStringLiteral("CODIGOUSUARIO"), 0, 16, QStringLiteral("#####0"), true},
                    {QStringLiteral("Nombre"), QStringLiteral("NOMBRE"), 20, 45},
                    ListColumn(QStringLiteral("Opciones"), QStringLiteral("OPCIONES"), 68, 127.9).wrapped()}},
                  QStringLiteral("SELECT M.CODIGOUSUARIO, U.NOMBRE, M.OPCIONES FROM MENU M "
                                 "LEFT JOIN USUARIOS U ON U.CODIGO = M.CODIGOUSUARIO ORDER BY M.CODIGOUSUARIO"));
}

void TFrmUsuarios::BtnRptUsuariosClick()
{
    std::unique_ptr<Report> r;
    if (guarded([&] { r = ReporteUsuarios(db()); }))
        ShowReport(std::move(r), QStringLiteral("USUARIO"), this);
}

void TFrmUsuarios::BtnRptMenuClick()
{
    std::unique_ptr<Report> r;
    if (guarded([&] { r = ReporteMenu(db()); }))
        ShowReport(std::move(r), QStringLiteral("MENU"), this);
}

}  // namespace kv
