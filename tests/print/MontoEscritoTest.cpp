// The amount in words of the page invoices: the exact texts (every blank counts, the invoice prints
// them as they are) and, over a wide sweep of amounts, words that read back to the figures.
#include "print/UntMontoEscrito.h"

#include <QHash>
#include <QStringList>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace kv;

namespace {

// Expected texts are written with "␣" for each blank so that runs of blanks can be counted.
QString blanks(const char* s) { return QString::fromUtf8(s).replace(QStringLiteral("␣"), QStringLiteral(" ")); }

struct Case {
    double amount;
    const char* text;
};

// Reads the words back into cents, the way a person reads the invoice: a group below a thousand is
// built from its words, "MIL" multiplies what came since the last "MIL"/"MILLON", "MILLON(ES)"
// multiplies everything since the last "MILLON(ES)".
qint64 readBack(const QString& text)
{
    static const QHash<QString, int> values = {
        {"UN", 1}, {"DOS", 2}, {"TRES", 3}, {"CUATRO", 4}, {"CINCO", 5}, {"SEIS", 6}, {"SIETE", 7}, {"OCHO", 8},
        {"NUEVE", 9}, {"DIEZ", 10}, {"ONCE", 11}, {"DOCE", 12}, {"TRECE", 13}, {"CATORCE", 14}, {"QUINCE", 15},
        {"VEINTE", 20}, {"TREINTA", 30}, {"CUARENTA", 40}, {"CINCUENTA", 50}, {"SESENTA", 60}, {"SETENTA", 70},
        {"OCHENTA", 80}, {"NOVENTA", 90}, {"CIEN", 100}, {"CIENTO", 100}, {"DOSCIENTOS", 200},
        {"TRESCIENTOS", 300}, {"CUATROCIENTOS", 400}, {"QUINIENTOS", 500}, {"SEISCIENTOS", 600},
        {"SETECIENTOS", 700}, {"OCHOCIENTOS", 800}, {"NOVECIENTOS", 900}};
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    qint64 total = 0, sinceMillions = 0, group = 0, cents = 0;
    for (int i = 0; i < words.size(); ++i) {
        const QString& w = words[i];
        if (values.contains(w)) {
            group += values.value(w);
        } else if (w == QLatin1String("MIL")) {
            sinceMillions += (group == 0 ? 1 : group) * 1000;
            group = 0;
        } else if (w == QLatin1String("MILLON") || w == QLatin1String("MILLONES")) {
            total += (sinceMillions + group) * 1000000;
            sinceMillions = group = 0;
        } else if (w == QLatin1String("CON")) {
            cents = words.value(i + 1).toLongLong();
            ++i;
        } else if (w != QLatin1String("Y") && w != QLatin1String("DE") && w != QLatin1String("PESOS") &&
                   w != QLatin1String("M/CTE")) {
            ADD_FAILURE() << "unexpected word " << w.toStdString() << " in " << text.toStdString();
        }
    }
    total += sinceMillions + group;
    return total * 100 + cents;
}

}  // namespace

TEST(MontoEscrito, WordsJoiningPiecesAndBlanks)
{
    const Case cases[] = {
        {0, "␣PESOS␣␣M/CTE"},
        {1, "UN␣␣␣PESOS␣␣M/CTE"},
        {10, "DIEZ␣␣␣PESOS␣␣M/CTE"},
        {12.05, "DOCE␣␣␣PESOS␣CON␣5␣M/CTE"},
        {16, "DIEZ␣Y␣SEIS␣␣␣PESOS␣␣M/CTE"},
        {21, "VEINTE␣Y␣UN␣␣␣PESOS␣␣M/CTE"},
        {100, "CIEN␣␣␣PESOS␣␣M/CTE"},
        {0.50, "␣PESOS␣CON␣50␣M/CTE"},
        {1000, "MIL␣␣PESOS␣␣M/CTE"},
        {1234.29, "MIL␣DOSCIENTOS␣TREINTA␣Y␣CUATRO␣␣␣PESOS␣CON␣29␣M/CTE"},
        {11000, "ONCE␣MIL␣␣PESOS␣␣M/CTE"},
        {57850.50, "CINCUENTA␣Y␣SIETE␣MIL␣OCHOCIENTOS␣CINCUENTA␣␣␣PESOS␣CON␣50␣M/CTE"},
        {100000, "CIEN␣MIL␣␣PESOS␣␣M/CTE"},
        {101000, "CIENTO␣UN␣MIL␣␣PESOS␣␣M/CTE"},
        {1000000, "UN␣␣MILLON␣␣DE␣␣PESOS␣␣M/CTE"},
        {1001000, "UN␣␣MILLON␣MIL␣␣PESOS␣␣M/CTE"},
        {2000000, "DOS␣␣MILLONES␣␣DE␣␣PESOS␣␣M/CTE"},
        {2500000, "DOS␣␣MILLONES␣QUINIENTOS␣MIL␣␣PESOS␣␣M/CTE"},
        {21000000, "VEINTE␣Y␣UN␣␣MILLONES␣␣DE␣␣PESOS␣␣M/CTE"},
        {1000000000, "MIL␣MILLONES␣␣PESOS␣␣M/CTE"},
        {1000000001, "MIL␣MILLONES␣UN␣␣␣PESOS␣␣M/CTE"},
        {1000300000, "MIL␣MILLONES␣TRESCIENTOS␣MIL␣␣PESOS␣␣M/CTE"},
        {1000000000.5, "MIL␣MILLONES␣␣PESOS␣CON␣50␣M/CTE"},
        {2003000000, "DOS␣MIL␣TRES␣␣MILLONES␣␣DE␣␣PESOS␣␣M/CTE"},
        {999999999999.99, "NOVECIENTOS␣NOVENTA␣Y␣NUEVE␣MIL␣NOVECIENTOS␣NOVENTA␣Y␣NUEVE␣␣MILLONES␣NOVECIENTOS␣"
                          "NOVENTA␣Y␣NUEVE␣MIL␣NOVECIENTOS␣NOVENTA␣Y␣NUEVE␣␣␣PESOS␣CON␣99␣M/CTE"},
        // Past the largest amount an invoice can carry, a thousand-millions count of four digits
        // spells only its last two.
        {1234000000000, "TREINTA␣Y␣CUATRO␣MIL␣MILLONES␣␣PESOS␣␣M/CTE"},
        // Cents are rounded, not cut: 0.29 is held as 0.28999...
        {0.29, "␣PESOS␣CON␣29␣M/CTE"},
        // Amounts below a thousand with cents never take a thousands group: these used to read
        // one thousand more than the figures.
        {999.99, "NOVECIENTOS␣NOVENTA␣Y␣NUEVE␣␣␣PESOS␣CON␣99␣M/CTE"},
        {3000999.99, "TRES␣␣MILLONES␣NOVECIENTOS␣NOVENTA␣Y␣NUEVE␣␣␣PESOS␣CON␣99␣M/CTE"},
        {1000999.99, "UN␣␣MILLON␣NOVECIENTOS␣NOVENTA␣Y␣NUEVE␣␣␣PESOS␣CON␣99␣M/CTE"},
        // Nothing is spelled for what is not an amount to pay.
        {-5, "␣PESOS␣␣M/CTE"},
        {-1234.56, "␣PESOS␣␣M/CTE"},
        {std::numeric_limits<double>::quiet_NaN(), "␣PESOS␣␣M/CTE"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MontoEscrito(c.amount), blanks(c.text)) << QString::number(c.amount, 'f', 2).toStdString();
}

TEST(MontoEscrito, WordsReadBackToTheFiguresOverAWideSweep)
{
    // Every amount of the form N,000,999.99 and N,999.99 (where doubles used to slip into the next
    // thousand), then a spread of amounts with cents up to the largest an invoice can carry.
    QList<qint64> amountsInCents;
    for (qint64 n = 0; n < 1000; ++n) {
        amountsInCents << (n * 1000000 + 999) * 100 + 99 << (n * 1000 + 999) * 100 + 99 << n * 100000000000 + 99;
    }
    quint64 state = 12345;
    for (int i = 0; i < 20000; ++i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        amountsInCents << qint64((state >> 11) % 99999999999999ull);
    }
    for (qint64 cents : amountsInCents) {
        const double amount = double(cents / 100) + double(cents % 100) / 100.0;
        ASSERT_EQ(readBack(MontoEscrito(amount)), cents) << MontoEscrito(amount).toStdString();
    }
}
