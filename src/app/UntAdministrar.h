#pragma once
// The program table screen "INSERTA MENU": edits PROGRAMASPOS, the table the module tree is built
// from, and previews the tree it gives. The preview is built by the main window's own tree
// builder, so what it shows is what users will get at their next sign-on (before their
// permissions are applied).
#include "platform/DataScreen.h"

class QPushButton;
class QToolButton;
class QTreeWidget;

namespace kv {

class TFrmAdministrar : public DataScreen {
    Q_OBJECT
public:
    explicit TFrmAdministrar(Connection& db, QWidget* parent = nullptr);
    ~TFrmAdministrar() override;

    Dataset TblProgramas;  // the screen's own cursor, in NUMEROPROGRAMA order

    DbGrid* DBGrid1;
    DbNavigator* DBNavigator1;
    DbMemo* DBMemo1;          // OBSERVACION
    QTreeWidget* TreeView1;   // the preview
    QPushButton* Button1;     // "Alimenta menu"
    QToolButton* SpeedButton1;  // "Refresh Menu"

public slots:
    void Button1Click();
    void SpeedButton1Click();

private:
    void FormCreate();
};

}  // namespace kv
