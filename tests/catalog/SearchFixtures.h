#pragma once
// Small catalogue fixtures for the dialog tests: a handful of third parties and products whose
// order by each search column is easy to see.
#include "data/Connection.h"

#include <QVariant>

namespace kvtest {

// Third parties: NIT, name, telephone, city, PADRE.
//   100  ZAPATA LUIS        555 0100  CALI      -
//   200  ARIAS ANA          311 2000  BOGOTA    100   (referred by 100)
//   300  O'BRIEN & CIA %_   601 3000  MEDELLIN  200   (ABUELO 100: 200's own referrer)
//   400  MENDEZ CARLOS      200 4000  BARRANQUILLA -
inline void addThirdParties(kv::Connection& db)
{
    struct P {
        double nit;
        const char* name;
        const char* phone;
        const char* city;
        QVariant padre;
    };
    const P rows[] = {{100, "ZAPATA LUIS", "555 0100", "CALI", QVariant()},
                      {200, "ARIAS ANA", "311 2000", "BOGOTA", 100.0},
                      {300, "O'BRIEN & CIA %_", "601 3000", "MEDELLIN", 200.0},
                      {400, "MENDEZ CARLOS", "200 4000", "BARRANQUILLA", QVariant()}};
    for (const P& p : rows)
        db.exec("INSERT INTO PROVEEDORES (NIT, DV, NOMBRE, TELEFONO, CIUDAD, PADRE, ABUELO) "
                "VALUES (:N, '1', :NOM, :T, :C, :P, :A)",
                {{"N", p.nit}, {"NOM", p.name}, {"T", p.phone}, {"C", p.city}, {"P", p.padre},
                 {"A", p.nit == 300 ? QVariant(100.0) : QVariant()}});
}

// Products: PRODUCTO, CODIGO, name, reference, barcode, title/author/publisher/subject/lot, IVA,
// Ipoconsumo.
//   10  ARROZ DIANA 500G     REF-C   7700000000010  -            IVA 5, ipo 0
//   20  BARRA DE CHOCOLATE   REF-A   (no barcode)   title "ZORBA"  IVA 19, ipo 8
//   30  O'NEIL GALLETAS      REF-B   7700000000030  title "AMOR", author "ISAACS"...
//   40  50% DCTO CUPON       REF-D   7700000000040
// SALDOS: 10 -> 7 (company 01) then 3 (company 02); 30 -> 12; 20 and 40 have none.
inline void addProducts(kv::Connection& db)
{
    struct P {
        int producto;
        const char* name;
        const char* ref;
        QVariant barcode;
        const char* titulo;
        const char* autor;
        const char* editorial;
        const char* tema;
        const char* lote;
        double iva, ipo;
    };
    const P rows[] = {
        {10, "ARROZ DIANA 500G", "REF-C", "7700000000010", "", "", "", "", "L3", 5, 0},
        {20, "BARRA DE CHOCOLATE", "REF-A", QVariant(), "ZORBA", "KAZANTZAKIS", "NORMA", "NOVELA", "L9", 19, 8},
        {30, "O'NEIL GALLETAS", "REF-B", "7700000000030", "AMOR", "ISAACS", "ANAGRAMA", "POESIA", "L1", 19, 0},
        {40, "50% DCTO CUPON", "REF-D", "7700000000040", "", "", "", "", "", 0, 0},
    };
    for (const P& p : rows) {
        auto opt = [](const char* s) { return *s ? QVariant(QString::fromUtf8(s)) : QVariant(); };
        db.exec("INSERT INTO PRODUCTOS (CODIGO, GRUPO, SUBGRUPO, PRODUCTO, REFERENCIA, NOMBRE, UNIDAD, VALORUNIDAD, "
                "VALORIVA, IPOCONSUMO, CODIGOBARRAS, TITULO, AUTOR, EDITORIAL, TEMA, LOTE) VALUES "
                "(:COD, '01', 1, :P, :R, :N, 'UN', 1500, :IVA, :IPO, :B, :T, :A, :E, :TE, :L)",
                {{"COD", QString("C%1").arg(p.producto)}, {"P", p.producto}, {"R", p.ref}, {"N", p.name},
                 {"IVA", p.iva}, {"IPO", p.ipo}, {"B", p.barcode}, {"T", opt(p.titulo)}, {"A", opt(p.autor)},
                 {"E", opt(p.editorial)}, {"TE", opt(p.tema)}, {"L", opt(p.lote)}});
    }
    db.exec("INSERT INTO SALDOS (EMPRESA, PRODUCTO, SALDO) VALUES ('01', 10, 7)");
    db.exec("INSERT INTO SALDOS (EMPRESA, PRODUCTO, SALDO) VALUES ('02', 10, 3)");
    db.exec("INSERT INTO SALDOS (EMPRESA, PRODUCTO, SALDO) VALUES ('01', 30, 12)");
}

}  // namespace kvtest
