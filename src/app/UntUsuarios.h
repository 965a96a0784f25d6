#pragma once
// The users screen "Definición de usuarios": the back-office users (USUARIOS) and what each may
// open from the module tree (MENU.OPCIONES).
//
// Permissions are edited on a copy of the main window's complete program tree. Each entry shows
// its mark as its icon: an empty box (not granted), a checked box (granted), or a neutral mark
// for a node without a program index. Saving a user writes one character per program-table row
// after the root, "0" or "1", in table order; the main window removes the "0" entries, with
// everything under them, at the user's next sign-on.
#include "platform/DataScreen.h"

#include <QIcon>
#include <QPointer>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kv {

class DbCheckBox;
class Report;

class TFrmUsuarios : public DataScreen {
    Q_OBJECT
public:
    enum Mode { Navegar = 0, Creando = 1, Modificando = 2, Eliminando = 3 };
    enum Mark { NotGranted = 0, Granted = 1, NoProgram = 2 };

    // programTree is the main window's complete program tree (TreeBase), which the screen copies
    // for every user it shows.
    TFrmUsuarios(Connection& db, QTreeWidget* programTree, QWidget* parent = nullptr);
    ~TFrmUsuarios() override;

    Dataset TblUsuarios;  // the screen's own cursors
    Dataset TblMenu;

    DbGrid* DBGrid1;
    DbEdit* EdtCodigo;
    DbEdit* EdtNombre;
    QLineEdit* EdtClave;         // not bound: written into CLAVE on saving
    QLineEdit* EdtConfirmacion;  // not bound: only compared with "Clave"
    DbCheckBox* ChkActivo;
    DbEdit* EdtFechaVencimiento;
    QLabel* LbEstado;
    QTreeWidget* TrVwMenu;
    QPushButton* BtnRptUsuarios;  // the user list, "USUARIO"
    QPushButton* BtnRptMenu;      // the permission list, "MENU"
    QPushButton* BtnModificar;
    QPushButton* BtnEliminar;
    QPushButton* BtnInsertar;
    QPushButton* BtnGuardar;
    QPushButton* BtnCancelar;
    QPushButton* BtnSalir;

    Mode mode() const { return mode_; }
    static QString modeText(Mode m);

    // Names that always get every permission and can never be deleted.
    static bool isAdministratorName(const QString& nombre);
    // The mark a tree node shows (its icon index), and the icon of each mark.
    static int mark(const QTreeWidgetItem* node);
    static QIcon markIcon(int mark);
    // The marks of the tree, one digit per node with a program index, depth-first, the root's
    // first; OPCIONES is this without its first character.
    QString markString() const;

    // The two lists the report buttons hand to the output dialog, read from the database now.
    static std::unique_ptr<Report> ReporteUsuarios(Connection& db);
    static std::unique_ptr<Report> ReporteMenu(Connection& db);

public slots:
    void FormActivate();
    void CargaPermisosUsuario();
    // Writes the user row and then its permission string, in one transaction. The text of
    // "Clave" is stored for a new user and when the user typed a new password; otherwise the
    // stored password stays as it is (the box holds fewer characters than a password may have).
    // Returns false when the database refused the user row; nothing is written then.
    bool GuardaUsuario();
    void BtnInsertarClick();
    void BtnModificarClick();
    void BtnEliminarClick();
    void BtnGuardarClick();
    void BtnCancelarClick();
    void BtnSalirClick();
    void BtnRptUsuariosClick();
    void BtnRptMenuClick();

protected:
    void showEvent(QShowEvent* e) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // FormClose: a user changed in the middle of "Modificando" or "Creando" is saved, dropped or
    // kept on screen as the user answers; a refused save keeps the screen open.
    bool settleRows() override;

private:
    void TblUsuariosNewRecord(Dataset& ds);
    void EdtClaveChange();
    void EdtConfirmacionChange();
    void TrVwMenuEnter();
    // Space, Insert and Delete: the selected entry and its whole subtree.
    void TrVwMenuKeyUp(int key);
    void TrVwMenuDblClick();
    void TrVwMenuChanging(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    void TrVwMenuCollapsing(QTreeWidgetItem* node);
    void TrVwMenuExpanding(QTreeWidgetItem* node);
    void setMode(Mode m);
    void updateButtons();
    static void setMark(QTreeWidgetItem* node, int mark);
    QTreeWidget* programTree_;
    Mode mode_ = Navegar;
    bool activated_ = false;
    int activations_ = 0;
    bool saving_ = false;       // the user row is being posted: no reload of the tree meanwhile
    bool checkingConfirmation_ = false;
    bool claveTyped_ = false;   // a new password was typed into "Clave"
    bool marksChanged_ = false; // marks changed in the tree since the user was loaded
    QPointer<QWidget> focusAfterMessage_;
};

}  // namespace kv
