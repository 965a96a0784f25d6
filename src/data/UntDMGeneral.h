#pragma once
// The general data module: the two database connections of the program and the cursors every
// part of the program shares (users, their menu permissions, the program table, the business
// letterhead and the unit conversions). One instance lives from start-up to the end of the run;
// DMGeneral points to it.
#include "data/Connection.h"
#include "data/Dataset.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <QStringList>

namespace kv {

class TDMGeneral : public QObject {
    Q_OBJECT
public:
    explicit TDMGeneral(QObject* parent = nullptr);
    ~TDMGeneral() override;
    TDMGeneral(const TDMGeneral&) = delete;
    TDMGeneral& operator=(const TDMGeneral&) = delete;

    // Members are declared in this order so that the connections outlive the cursors on them.
    Connection DbPos;    // alias "Korvela": the POS database (line 7 of the location file)
    Connection TavroDb;  // alias "TavroNi": Tavro's accounting database (line 5)
    // The removable database the transfers copy to and from; connected by the sales reports
    // menu on a file the user chooses, never at start-up.
    Connection DbPosz;

    Dataset TblMenu;       // MENU: CODIGOUSUARIO, OPCIONES
    Dataset TblUsuarios;   // USUARIOS; the login leaves it on the signed-on user's row
    Dataset TblProgramas;  // PROGRAMASPOS in NUMEROPROGRAMA order, which is the menu order
    Dataset TbRegistro;    // REGISTRO: the business name and NIT that report headers print
    Dataset Tuc;           // UNIDADCONVERSION, open for the whole run

    // Reads the location file and connects. Returns false when the file does not exist: the
    // message "Falta Instalacion" has been shown and the caller ends the program. A connection
    // that cannot be made is not reported here; the first read through it shows the database's
    // message in the general error box (opening Tuc is that first read for DbPos).
    bool DataModuleCreate(const QString& locationFile);
    // When a connected database lacks tables or columns this program has (it was made by an
    // earlier version), the message that says so and names "korvela-db update"; empty otherwise.
    QString outdatedDatabases();
    // Disconnects DbPos and closes the shared cursors. Runs again harmlessly from the destructor.
    void DataModuleDestroy();

    // The lines of the location file that name the databases, each taken whole as read (line end
    // removed, nothing trimmed); empty when the file is shorter.
    QString accountingLocation() const { return line5_; }
    QString posLocation() const { return line7_; }

    // Where the location file is: "--location FILE" among the program's arguments, else
    // $TAVRO_HOME/DireccionBd.txt, else the installation's fixed place.
    static QString locationFilePath(const QStringList& arguments);
    static QString defaultLocationFile();

private:
    QString line5_, line7_;
};

// The program's one general data module (null before it is created and after it is gone).
extern TDMGeneral* DMGeneral;

// Age in whole years on `today` of a person born on `birth`; a birthday that falls today counts.
int CalculaEdad(const QDate& birth, const QDate& today = QDate::currentDate());

}  // namespace kv
