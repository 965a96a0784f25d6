#include "data/UntDMGeneral.h"

#include "common/Dialogs.h"
#include "data/Installation.h"
#include "data/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kv {

TDMGeneral* DMGeneral = nullptr;

TDMGeneral::TDMGeneral(QObject* parent)
    : QObject(parent),
      DbPos(QStringLiteral("Korvela")),
      TavroDb(QStringLiteral("TavroNi")),
      DbPosz(QStringLiteral("KorvelaZ")),
      TblMenu(DbPos),
      TblUsuarios(DbPos),
      TblProgramas(DbPos),
      TbRegistro(DbPos),
      Tuc(DbPos)
{
    setObjectName(QStringLiteral("DMGeneral"));
    TblMenu.setObjectName(QStringLiteral("TblMenu"));
    TblMenu.setTableName(QStringLiteral("MENU"));
    TblUsuarios.setObjectName(QStringLiteral("TblUsuarios"));
    TblUsuarios.setTableName(QStringLiteral("USUARIOS"));
    TblProgramas.setObjectName(QStringLiteral("TblProgramas"));
    TblProgramas.setTableName(QStringLiteral("PROGRAMASPOS"));
    TblProgramas.setIndexFieldNames(QStringLiteral("NUMEROPROGRAMA"));
    TbRegistro.setObjectName(QStringLiteral("TbRegistro"));
    TbRegistro.setTableName(QStringLiteral("REGISTRO"));
    Tuc.setObjectName(QStringLiteral("Tuc"));
    Tuc.setTableName(QStringLiteral("UNIDADCONVERSION"));
    if (!DMGeneral)
        DMGeneral = this;
}

TDMGeneral::~TDMGeneral()
{
    Tuc.Close();
    DataModuleDestroy();
    if (DMGeneral == this)
        DMGeneral = nullptr;
}

namespace {
// The location file belongs to Tavro's installation, which may have written it in UTF-8 or in
// the Windows code page; a path with accents must come out right either way.
QString decodeLine(const QByteArray& bytes)
{
    const QString utf8 = QString::fromUtf8(bytes);
    if (utf8.contains(QChar::ReplacementCharacter))
        return QString::fromLatin1(bytes);
    return utf8;
}
}  // namespace

bool TDMGeneral::DataModuleCreate(const QString& locationFile)
{
    const QFileInfo info(locationFile);
    if (!info.exists() || info.isDir()) {
        ShowMessage(QStringLiteral("Falta Instalacion\n\n"
                                   "No se encontró el archivo de direcciones %1.\n"
                                   "Cree la instalación con \"korvela-db install CARPETA\" (una caja) o "
                                   "\"korvela-db install --server SERVIDOR\" (varias cajas) y abra el programa con "
                                   "\"korvelapos --location CARPETA/DireccionBd.txt\". Los pasos están en "
                                   "/usr/share/doc/korvelapos/README.md.")
                        .arg(QDir::toNativeSeparators(info.absoluteFilePath())));
        return false;
    }

    line5_.clear();
    line7_.clear();
    QFile f(locationFile);
    if (f.open(QIODevice::ReadOnly)) {
        // Every line is read to the end of the file; only 5 and 7 are kept. A line is taken
        // whole, only its line end removed: a database path may well end in a blank.
        int number = 0;
        while (!f.atEnd()) {
            QByteArray line = f.readLine();
            ++number;
            if (line.endsWith('\n'))
                line.chop(1);
            if (line.endsWith('\r'))
                line.chop(1);
            if (number == 5)
                line5_ = decodeLine(line);
            else if (number == 7)
                line7_ = decodeLine(line);
        }
    }

    // An installation on a server keeps its own database user beside the location file.
    QString user, password;
    if (readCredentialsFile(locationFile, &user, &password))
        useDatabaseCredentials(user, password);

    // Failing to connect is not reported now: the first read through the connection tries again
    // and shows the database's own message then.
    if (!line7_.isEmpty()) {
        DbPos.setLocation(line7_);
        DbPos.tryOpen();
    }
    if (!line5_.isEmpty()) {
        TavroDb.setLocation(line5_);
        TavroDb.tryOpen();
    }

    // The unit conversions stay open for the whole run. Being the first read of the POS
    // database, this is where an unreachable database is reported; start-up goes on regardless.
    try {
        Tuc.Open();
    } catch (const Failure& e) {
        dialogs().error(e.text());
    }
    return true;
}

QString TDMGeneral::outdatedDatabases()
{
    QStringList found;
    auto check = [&](Connection& c, QStringList (*missing)(Connection&)) {
        if (!c.isOpen())
            return;
        QStringList parts;
        try {
            parts = missing(c);
        } catch (const Failure&) {
            return;  // an unreadable database has shown its own error already
        }
        if (parts.isEmpty())
            return;
        const QString shown = parts.size() > 6 ? QStringList(parts.mid(0, 6)).join(QStringLiteral(", ")) +
                                                     QStringLiteral(" y %1 más").arg(parts.size() - 6)
                                               : parts.join(QStringLiteral(", "));
        found << QStringLiteral("La base de datos %1 es de una versión anterior del programa (le falta: %2).\n"
                                "Actualícela, conservando todos sus datos, con:\n    korvela-db update %1")
                     .arg(c.location(), shown);
    };
    check(DbPos, missingPosSchema);
    check(TavroDb, missingAccountingSchema);
    return found.join(QStringLiteral("\n\n"));
}

void TDMGeneral::DataModuleDestroy()
{
    TblMenu.Close();
    TblUsuarios.Close();
    TblProgramas.Close();
    TbRegistro.Close();
    DbPos.close();
}

QString TDMGeneral::defaultLocationFile()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\Tavro\\DireccionBd.txt");
#else
    return QStringLiteral("/opt/tavro/DireccionBd.txt");
#endif
}

QString TDMGeneral::locationFilePath(const QStringList& arguments)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--location") && i + 1 < arguments.size())
            return arguments[i + 1];
        if (a.startsWith(QLatin1String("--location=")))
            return a.mid(int(qstrlen("--location=")));
    }
    const QString home = qEnvironmentVariable("TAVRO_HOME");
    if (!home.isEmpty())
        return QDir(home).filePath(QStringLiteral("DireccionBd.txt"));
    return defaultLocationFile();
}

int CalculaEdad(const QDate& birth, const QDate& today)
{
    int years = today.year() - birth.year();
    // "mmdd" texts compare in calendar order, so a birthday later in the year is not reached yet.
    if (today.toString(QStringLiteral("MMdd")) < birth.toString(QStringLiteral("MMdd")))
        --years;
    return years;
}

}  // namespace kv
