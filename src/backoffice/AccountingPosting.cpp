#include "backoffice/AccountingPosting.h"

#include "data/BulkInsert.h"
#include "data/Schema.h"

#include <QDateTime>
#include <QSet>
#include <QSqlQuery>
#include <cmath>
#include <map>
#include <tuple>
#include <vector>

namespace kv {

namespace {

// Wider accounts than this cannot be stored in the accounting product's voucher lines.
constexpr int kAccountWidth = 15;
constexpr int kDetailWidth = 120;
// How many problems are listed before the rest are only counted.
constexpr int kProblemsShown = 40;

struct VoucherLine {
    int sale = 0;         // index of the sale in the day's list (two companies may share a number)
    int consecutivo = 0;  // the sale's number, for the line's reference
    QString detalle;
    QChar tipo;           // 'D' or 'C'
    QString cuenta;
    double valor = 0;
    QString centro;       // CODIGOCENTROCOSTO
    QVariant nit;
};

struct Sale {
    int index = 0;  // position in the day's list
    QString empresa;
    int consecutivo = 0;
    QVariant cliente;
    bool clienteExiste = false;
    QString nombre, dv, direccion, telefono, email, ica, autorretenedor;
    double neto = 0, descuento = 0;
    QString tipoDePago;
};

QString text(const QVariant& v) { return v.toString().trimmed(); }

// A sale as the messages name it: its number, and its company, since every company numbers its
// own sales from 1.
QString saleName(const Sale& s) { return QStringLiteral("PS-%1 de la empresa %2").arg(s.consecutivo).arg(s.empresa); }

// Collects the problems found, each once, in the order found.
class Problems {
public:
    void add(const QString& p)
    {
        if (!seen_.contains(p)) {
            seen_.insert(p);
            list_ << p;
        }
    }
    bool empty() const { return list_.isEmpty(); }
    QStringList shown() const
    {
        if (list_.size() <= kProblemsShown)
            return list_;
        QStringList l = list_.mid(0, kProblemsShown);
        l << QStringLiteral("... y %1 problemas más.").arg(list_.size() - kProblemsShown);
        return l;
    }

private:
    QSet<QString> seen_;
    QStringList list_;
};

// A concept's amount goes on its own side; a negative one (a return) on the other side, at its
// absolute value, so that a return undoes its sale and the voucher still balances.
void addConcept(std::vector<VoucherLine>& out, const Sale& s, QChar side, const QString& cuenta, double amount,
                const QString& detalle, const QString& centro)
{
    VoucherLine l;
    l.sale = s.index;
    l.consecutivo = s.consecutivo;
    l.tipo = amount < 0 ? (side == QLatin1Char('D') ? QLatin1Char('C') : QLatin1Char('D')) : side;
    l.valor = std::fabs(amount);
    l.cuenta = cuenta;
    l.detalle = detalle.left(kDetailWidth);
    l.centro = centro;
    l.nit = s.cliente;
    out.push_back(l);
}

void checkAccount(Problems& problems, const QString& cuenta, const QString& what)
{
    if (cuenta.isEmpty())
        problems.add(QStringLiteral("Falta la cuenta de %1.").arg(what));
    else if (cuenta.size() > kAccountWidth)
        problems.add(QStringLiteral("La cuenta %1 (%2) tiene más de %3 caracteres: el programa contable no la admite.")
                         .arg(cuenta, what)
                         .arg(kAccountWidth));
}

// One line per account, side and cost centre of each sale, in the order they first appear.
std::vector<VoucherLine> summarise(const std::vector<VoucherLine>& lines)
{
    std::vector<VoucherLine> out;
    std::map<std::tuple<int, QString, QString>, size_t> at;
    for (const VoucherLine& l : lines) {
        // Amounts of one account within a sale are added with their sign, then put on their side.
        const double signedValue = l.tipo == QLatin1Char('D') ? l.valor : -l.valor;
        const auto key = std::make_tuple(l.sale, l.cuenta, l.centro);
        auto it = at.find(key);
        if (it == at.end()) {
            at.emplace(key, out.size());
            VoucherLine first = l;
            first.valor = signedValue;
            out.push_back(first);
        } else {
            VoucherLine& sum = out[it->second];
            sum.valor += signedValue;
            sum.detalle = QStringLiteral("Resumen venta PS-%1").arg(l.consecutivo);
        }
    }
    for (VoucherLine& l : out) {
        l.tipo = l.valor < 0 ? QLatin1Char('C') : QLatin1Char('D');
        l.valor = std::fabs(l.valor);
    }
    return out;
}

}  // namespace

PostingAccounts readPostingAccounts(Connection& pos)
{
    ensureCuentasTavro(pos);
    QSqlQuery q = pos.exec(QStringLiteral("SELECT FIRST 1 VENTASCONTADO, VENTASCREDITO, VENTASCHEQUE, VENTASTDEBITO, "
                                          "IPOCONSUMO, PROPINA, DESCUENTO, EMPRESA FROM CUENTASTAVRO"));
    PostingAccounts a;
    if (pos.next(q)) {
        a.contado = text(q.value(0));
        a.credito = text(q.value(1));
        a.cheque = text(q.value(2));
        a.tdebito = text(q.value(3));
        a.ipoconsumo = text(q.value(4));
        a.propina = text(q.value(5));
        a.descuento = text(q.value(6));
        a.empresa = text(q.value(7));
    }
    return a;
}

bool AccountingPosting::alreadyPosted(const PostingRequest& r)
{
    const PostingAccounts a = readPostingAccounts(pos_);
    return tavro_
               .scalar(QStringLiteral("SELECT COUNT(*) FROM COMPROBANTECONTABLE WHERE CODIGOCOMPANIA = :E AND "
                                      "CODIGOTIPOCOMPROBANTE = :K AND NUMEROCOMPROBANTE = :N"),
                       {{QStringLiteral("E"), a.empresa}, {QStringLiteral("K"), r.tipo}, {QStringLiteral("N"), voucherNumber(r.day)}})
               .toInt() > 0;
}

PostingSummary AccountingPosting::post(const PostingRequest& r, const std::function<bool(int, int)>& progress)
{
    Problems problems;
    const PostingAccounts a = readPostingAccounts(pos_);
    const QString tipo = r.tipo.trimmed();
    // A code longer than a document type's column cannot be one (and the engine would refuse to
    // compare it).
    const TableInfo& documentos = pos_.tableInfo(QStringLiteral("DOCUMENTOS"));
    const bool tipoExists =
        !tipo.isEmpty() && tipo.size() <= documentos.columns.value(documentos.indexOf(QStringLiteral("DOCUMENTO"))).size &&
        pos_.scalar(QStringLiteral("SELECT COUNT(*) FROM DOCUMENTOS WHERE DOCUMENTO = :K"), {{QStringLiteral("K"), tipo}})
                .toInt() > 0;
    if (!tipoExists)
        problems.add(QStringLiteral("El tipo de comprobante \"%1\" no existe en los tipos de documento.").arg(tipo));
    if (a.empresa.isEmpty())
        problems.add(QStringLiteral("Falta la empresa que contabiliza (\"Empresa Contabiliza\" en las cuentas)."));
    if (!tipoExists)
        throw PostingRefused(problems.shown(), false);  // no sales of a type that is none

    // The day's sales and their lines, read in one transaction: both reads see the same committed
    // state, so a sale made meanwhile at a register is either wholly in them or wholly out.
    const QVariantMap period{{QStringLiteral("DESDE"), QDateTime(r.day, QTime(0, 0))},
                             {QStringLiteral("HASTA"), QDateTime(r.day.addDays(1), QTime(0, 0))},
                             {QStringLiteral("K"), tipo}};
    std::vector<Sale> sales;
    // A sale is known by its company and number (the type is the one posted): every company
    // numbers its own sales, so two of them have a sale 1 on the same day.
    std::map<std::pair<QString, int>, size_t> saleAt;
    std::vector<VoucherLine> lines;
    auto payment = [&](const Sale& s) {
        // What the sale was paid with, net of its discount, and the discount itself.
        QString cuenta = a.contado, what = QStringLiteral("\"Ventas de Contado Efectivo\"");
        if (s.tipoDePago == QLatin1String("E") || s.tipoDePago == QLatin1String("k")) {
            cuenta = a.credito;  // the item-entry register's payment window writes credit as "k"
            what = QStringLiteral("\"tarjeta de Credito\"");
        } else if (s.tipoDePago == QLatin1String("H")) {
            cuenta = a.cheque;
            what = QStringLiteral("\"Ventas de Cheque\"");
        } else if (s.tipoDePago == QLatin1String("T") || s.tipoDePago == QLatin1String("t")) {
            cuenta = a.tdebito;
            what = QStringLiteral("\"tarjeta Debito\"");
        }
        checkAccount(problems, cuenta, what);
        const QString detalle = QStringLiteral("Venta A ") + s.nombre;
        addConcept(lines, s, QLatin1Char('D'), cuenta, s.neto - s.descuento, detalle, s.empresa);
        if (s.descuento != 0) {
            checkAccount(problems, a.descuento, QStringLiteral("\"Descuento\""));
            addConcept(lines, s, QLatin1Char('D'), a.descuento, s.descuento, detalle, s.empresa);
        }
    };
    {
        Transaction reading(pos_);
        QSqlQuery q = pos_.exec(
            QStringLiteral("SELECT H.EMPRESA, H.CONSECUTIVO, H.CLIENTE, P.NIT, P.NOMBRE, P.DV, P.DIRECCION, P.TELEFONO, "
                           "P.EMAIL, P.ICA, P.AUTERRETENEDOR, H.NETO, H.DESCUENTO, H.TIPODEPAGO FROM POSMOVIMIENTO H "
                           "LEFT JOIN PROVEEDORES P ON P.NIT = H.CLIENTE WHERE H.FECHA >= :DESDE AND H.FECHA < :HASTA "
                           // Only closed sales are sales: a document still open (a floor seller's
                           // waiting for the paying register, one left unpaid) is not booked, as
                           // the cash count does not count it.
                           "AND H.STATUS = 'I' "
                           // "+ 0": ordered on the plain key the engine walks the whole key
                           // (every year) in order instead of sorting the day's documents.
                           "AND H.DOCUMENTO = :K ORDER BY H.EMPRESA, H.DOCUMENTO, H.CONSECUTIVO + 0"),
            period);
        while (pos_.next(q)) {
            Sale s;
            s.index = int(sales.size());
            s.empresa = text(q.value(0));
            s.consecutivo = q.value(1).toInt();
            s.cliente = q.value(2);
            s.clienteExiste = !q.value(3).isNull();
            s.nombre = text(q.value(4));
            s.dv = text(q.value(5));
            s.direccion = text(q.value(6));
            s.telefono = text(q.value(7));
            s.email = text(q.value(8));
            s.ica = text(q.value(9));
            s.autorretenedor = text(q.value(10));
            s.neto = q.value(11).toDouble();
            s.descuento = q.value(12).toDouble();
            s.tipoDePago = q.value(13).toString().trimmed();
            if (!s.clienteExiste)
                problems.add(QStringLiteral("La venta %1 es de un cliente que no existe (%2).")
                                 .arg(saleName(s))
                                 .arg(QString::number(s.cliente.toDouble(), 'f', 0)));
            saleAt.emplace(std::make_pair(s.empresa, s.consecutivo), sales.size());
            sales.push_back(s);
        }

        // The outer join makes the engine start from the day's headers (their date index) and read
        // their lines by key, instead of walking every line of the table.
        q = pos_.exec(
            QStringLiteral("SELECT H.EMPRESA, D.CONSECUTIVO, D.LINEA, D.PRODUCTO, PR.PRODUCTO, PR.NOMBRE, PR.CUENTACONTABLEV, "
                           "PR.CUENTACONTABLEIVAV, D.SUBTOTAL, D.VALORIVA, D.VALORIPOCONSUMO FROM POSMOVIMIENTO H "
                           "LEFT JOIN POSMOVIMIENTODETALLE D ON D.EMPRESA = H.EMPRESA AND D.DOCUMENTO = H.DOCUMENTO AND "
                           "D.CONSECUTIVO = H.CONSECUTIVO LEFT JOIN PRODUCTOS PR ON PR.PRODUCTO = D.PRODUCTO "
                           "WHERE H.FECHA >= :DESDE AND H.FECHA < :HASTA AND H.DOCUMENTO = :K AND H.STATUS = 'I' AND D.LINEA IS NOT NULL "
                           "ORDER BY H.EMPRESA, H.DOCUMENTO, H.CONSECUTIVO, D.LINEA"),
            period);
        size_t current = sales.size();
        size_t next = 0;  // sales without lines still get their payment line, in order
        while (pos_.next(q)) {
            const auto found = saleAt.find(std::make_pair(text(q.value(0)), q.value(1).toInt()));
            if (found == saleAt.end())
                continue;  // cannot happen within one snapshot; never charge a line to another sale
            const Sale& s = sales[found->second];
            if (found->second != current) {
                for (; next < found->second; ++next)
                    payment(sales[next]);
                payment(s);
                next = found->second + 1;
                current = found->second;
            }
            if (q.value(4).isNull()) {
                problems.add(QStringLiteral("La línea %1 de la venta %2 es de un producto que no existe (%3).")
                                 .arg(q.value(2).toInt())
                                 .arg(saleName(s))
                                 .arg(q.value(3).toInt()));
                continue;
            }
            const QString producto = QStringLiteral("%1 %2").arg(q.value(3).toInt()).arg(text(q.value(5)));
            const QString nombre = text(q.value(5));
            const double subtotal = q.value(8).toDouble(), iva = q.value(9).toDouble(), ipo = q.value(10).toDouble();
            // Revenue goes to the product's sales account (its other account is its inventory).
            if (subtotal != 0) {
                const QString cuenta = text(q.value(6));
                checkAccount(problems, cuenta, QStringLiteral("ventas del producto ") + producto);
                addConcept(lines, s, QLatin1Char('C'), cuenta, subtotal - (iva + ipo), QStringLiteral("Venta De ") + nombre,
                           QStringLiteral("POS"));
            }
            if (ipo != 0) {
                checkAccount(problems, a.ipoconsumo, QStringLiteral("\"Ipoconsumo\""));
                addConcept(lines, s, QLatin1Char('C'), a.ipoconsumo, ipo, QStringLiteral("Ipoconsumo De ") + nombre,
                           QStringLiteral("POS"));
            }
            if (iva != 0) {
                const QString cuenta = text(q.value(7));
                checkAccount(problems, cuenta, QStringLiteral("IVA del producto ") + producto);
                addConcept(lines, s, QLatin1Char('C'), cuenta, iva, QStringLiteral("Iva De ") + nombre, QStringLiteral("POS"));
            }
        }
        for (; next < sales.size(); ++next)
            payment(sales[next]);
        reading.commit();
    }

    // Each sale must balance on its own: one whose total is not the sum of its lines is named, so
    // that it can be found and corrected.
    {
        std::vector<std::pair<double, double>> sides(sales.size());
        for (const VoucherLine& l : lines)
            (l.tipo == QLatin1Char('D') ? sides[l.sale].first : sides[l.sale].second) += l.valor;
        for (const Sale& s : sales)
            if (std::fabs(sides[s.index].first - sides[s.index].second) > 0.005)
                problems.add(QStringLiteral("La venta %1 no cuadra: débitos %2 y créditos %3; revise que su total sea la "
                                            "suma de sus líneas.")
                                 .arg(saleName(s))
                                 .arg(sides[s.index].first, 0, 'f', 2)
                                 .arg(sides[s.index].second, 0, 'f', 2));
    }
    if (r.summarised)
        lines = summarise(lines);
    if (!problems.empty())
        throw PostingRefused(problems.shown(), false);
    if (int(lines.size()) > kMaxLines)
        throw PostingRefused({QStringLiteral("El comprobante del día necesitaría %1 líneas y el programa contable admite "
                                             "%2. Puede contabilizarlo resumido por cuenta y venta.")
                                  .arg(lines.size())
                                  .arg(kMaxLines)},
                             true);

    PostingSummary sum;
    sum.sales = int(sales.size());
    sum.lines = int(lines.size());
    for (const VoucherLine& l : lines)
        (l.tipo == QLatin1Char('D') ? sum.debits : sum.credits) += l.valor;

    // Everything checked: the old voucher goes and the new one is written, in one transaction.
    const int numero = voucherNumber(r.day);
    const QDateTime fecha(r.day, QTime(0, 0));
    const QDateTime ahora = QDateTime::currentDateTime();
    const QVariantMap key{{QStringLiteral("E"), a.empresa}, {QStringLiteral("K"), tipo}, {QStringLiteral("N"), numero}};
    Transaction t(tavro_);
    tavro_.exec(QStringLiteral("DELETE FROM MOVIMIENTOCONTABLE WHERE CODIGOTIPOCOMPROBANTE = :K AND NUMEROCOMPROBANTE = :N "
                               "AND CODIGOCOMPANIA = :E"),
                key);
    tavro_.exec(QStringLiteral("DELETE FROM COMPROBANTECONTABLE WHERE CODIGOTIPOCOMPROBANTE = :K AND NUMEROCOMPROBANTE = "
                               ":N AND CODIGOCOMPANIA = :E"),
                key);
    tavro_.exec(QStringLiteral("INSERT INTO COMPROBANTECONTABLE (CODIGOCOMPANIA, CODIGOTIPOCOMPROBANTE, NUMEROCOMPROBANTE, "
                               "FECHA, VALORDB, VALORCR) VALUES (:E, :K, :N, :F, :DB, :CR)"),
                {{QStringLiteral("E"), a.empresa}, {QStringLiteral("K"), tipo}, {QStringLiteral("N"), numero},
                 {QStringLiteral("F"), fecha}, {QStringLiteral("DB"), sum.debits}, {QStringLiteral("CR"), sum.credits}});

    // The customers the accounting product does not know yet, before their lines.
    {
        QSqlQuery known(tavro_.database());
        known.prepare(QStringLiteral("SELECT COUNT(*) FROM TERCEROS WHERE NIT = ?"));
        BulkInsert terceros(tavro_, QStringLiteral("TERCEROS"),
                            {QStringLiteral("NIT"), QStringLiteral("DV"), QStringLiteral("RAZONSOCIAL"),
                             QStringLiteral("DIRECCION"), QStringLiteral("TELEFONO"), QStringLiteral("EMAIL"),
                             QStringLiteral("SUJETORETENCION"), QStringLiteral("AUTORETENEDOR"),
                             QStringLiteral("CODIGOCIUDAD"), QStringLiteral("FECHAGRABACION")});
        QSet<double> done;
        for (const Sale& s : sales) {
            const double nit = s.cliente.toDouble();
            if (done.contains(nit))
                continue;
            done.insert(nit);
            known.bindValue(0, nit);
            if (!known.exec())
                throw DbError(databaseText(known.lastError()), databaseCode(known.lastError()));
            if (tavro_.next(known) && known.value(0).toInt() > 0)
                continue;
            auto orNull = [](const QString& v) { return v.isEmpty() ? QVariant() : QVariant(v); };
            terceros.add({nit, orNull(s.dv), orNull(s.nombre), orNull(s.direccion), orNull(s.telefono), orNull(s.email),
                          orNull(s.ica), orNull(s.autorretenedor), 11001, ahora});
            ++sum.newThirdParties;
        }
    }

    BulkInsert movimiento(tavro_, QStringLiteral("MOVIMIENTOCONTABLE"),
                          {QStringLiteral("CODIGOCOMPANIA"), QStringLiteral("CODIGOTIPOCOMPROBANTE"),
                           QStringLiteral("NUMEROCOMPROBANTE"), QStringLiteral("FECHA"), QStringLiteral("ITEM"),
                           QStringLiteral("DOCUMENTO"), QStringLiteral("DETALLE"), QStringLiteral("TIPO"),
                           QStringLiteral("VALOR"), QStringLiteral("FECHAGRABACION"), QStringLiteral("CUENTA"),
                           QStringLiteral("PLACA"), QStringLiteral("CODIGOMONEDA"), QStringLiteral("CODIGOUSUARIO"),
                           QStringLiteral("CODIGOCENTROCOSTO"), QStringLiteral("NIT")});
    int item = 0;
    int salesDone = 0;
    int lastSale = -1;
    for (const VoucherLine& l : lines) {
        if (l.sale != lastSale) {
            lastSale = l.sale;
            if (progress && !progress(salesDone, int(sales.size()))) {
                sum.sales = -1;
                return sum;  // the guard rolls everything back: the previous voucher stays
            }
            ++salesDone;
        }
        movimiento.add({a.empresa, tipo, numero, fecha, ++item, QStringLiteral("PS-%1").arg(l.consecutivo), l.detalle,
                        QString(l.tipo), l.valor, ahora, l.cuenta, QStringLiteral(""), QStringLiteral("1"), 1, l.centro, l.nit});
    }
    if (progress)
        progress(int(sales.size()), int(sales.size()));
    t.commit();
    return sum;
}

}  // namespace kv
