#pragma once
// The main window: sign-on, the module tree cut down to the signed-on user's permissions, the
// dispatcher call, and the business name and NIT in the caption and the status bar.
//
// The program tree is built by CargaArbolProgramas, which any screen can use on its own tree (the
// users screen copies the full tree, the program table screen shows it); each node keeps the
// 0-based position of its PROGRAMASPOS row, which is what a user's permission string is indexed by.
#include <QIcon>
#include <QMainWindow>
#include <QString>

class QAction;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace kv {

class Dataset;
class DbMemo;
class TDMGeneral;

// What a program tree node carries besides its text (DESCRIPCION without trailing blanks).
enum ProgramTreeRole {
    ProgramIndexRole = Qt::UserRole + 1,  // int: 0-based position of the node's row in table order
    ImageIndexRole,                       // int: INDIMAGEN
    SelectedImageRole,                    // int: INDSELECION
};

// The deepest level a program table row may have.
inline constexpr int kMaxProgramLevel = 10;

// The image list of the program trees, and a node's icon made of its two indexes (the second is
// shown while the node is selected). Indexes outside the list give no icon.
const QList<QIcon>& programImages();
QIcon programIcon(int image, int selectedImage);

// The node's program index (its row's 0-based position), -1 for an item that is not a node.
int programIndex(const QTreeWidgetItem* item);

// Fills the tree from the program table, walking it in NUMEROPROGRAMA order. The table is meant
// to list the tree depth-first: the first row is the root (NIVEL 0) and every later row has a
// level from 1 to 10, at most one deeper than the row before it. A table that breaks the rule
// still gives a tree: a later level-0 row hangs under the root, a row whose parent level is
// missing hangs under the nearest shallower node of the current branch, and levels above 10 are
// taken as 10.
void CargaArbolProgramas(QTreeWidget* tree, Dataset& programas);
void CargaArbolProgramas(QTreeWidget* tree);  // on DMGeneral->TblProgramas

// A tree for the programs as the screens show it: one column, no header, not editable, and no
// expand buttons (branches open with a double click or the arrow keys).
QTreeWidget* programTreeWidget(const QString& objectName, const QString& accessibleName, QWidget* parent);

// Removes, depth-first, every node whose character in the permission string (MENU.OPCIONES,
// character k for the row at position k, counting both from 1) is "0", with its whole subtree.
// The root has no character; positions past the end of the string keep their nodes.
void AplicaPermisos(QTreeWidget* tree, const QString& opciones);

class TFrmPos : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrmPos(TDMGeneral& dm, QWidget* parent = nullptr);
    ~TFrmPos() override;

    // Menu bar
    QAction* Entrar1;        // "&Entrar"
    QAction* Seguridades;    // "&Seguridades", for the administrators only
    QAction* Acercade1;      // "&Acerca de "
    QAction* Salir1;         // "&Salir"
    QAction* OpcindeMenus1;  // "&Opción de Menus", for "Administrador" only

    QWidget* PnlPrincipal;   // the tree and the information pane, shown after a sign-on
    QTreeWidget* MenuModulo; // the user's module tree
    QTreeWidget* TreeBase;   // the whole program tree, never shown; the users screen copies it
    DbMemo* DBMemo1;         // OBSERVACION of the chosen program, read-only
    QLabel* Panel2;          // status bar: business name and NIT

    // NOMBRE + "  Nit : " + NIT of REGISTRO, as last built.
    QString statusText() const { return status_; }

public slots:
    void FormActivate();
    void Entrar1Click();
    void CargaMenuUsuario();
    void MenuModuloClick();
    void MenuModuloDblClick();
    void SeguridadesClick();
    void OpcindeMenus1Click();
    void Acercade1Click();
    void Salir1Click();

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void MenuModuloCollapsing(QTreeWidgetItem* item);
    // Positions TblProgramas on the first row whose DESCRIPCION is the current node's text.
    bool locateCurrentProgram();
    void backFromModal();

    TDMGeneral& dm_;
    QString status_;
    bool skipActivation_ = false;
};

// The program's main window.
extern TFrmPos* FrmPos;

}  // namespace kv
