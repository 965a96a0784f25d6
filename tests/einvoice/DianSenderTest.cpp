// The sender against the stand-in of the DIAN: what is stored after each kind of answer, the
// waits between tries, the test set's two steps, and resending.
#include "DianHarness.h"

#include "einvoice/DianSender.h"

#include <gtest/gtest.h>

using namespace kv::dian;
using kvtest::SenderTest;

TEST_F(SenderTest, EachAnswerLeavesItsState)
{
    struct Case {
        const char* mode;
        QStringList rules;
        const char* estado;
        const char* mensajes;  // part of the stored messages
        bool tryAgainLater;
    };
    const Case cases[] = {
        {"accepted", {QStringLiteral("Regla: FAJ44b, Notificación: Nit no registrado en el RUT.")}, "A", "Notificación", false},
        {"rejected",
         {QStringLiteral("Regla: FAU04, Rechazo: Valor total no coincide."), QStringLiteral("Regla: FAJ44b, Notificación: aviso")},
         "R", "Regla: FAU04, Rechazo: Valor total no coincide.", false},
        {"500", {}, "E", "HTTP 500: Error interno del servicio", true},
        {"503", {}, "E", "HTTP 503", true},
        {"silence", {}, "E", "La DIAN no respondió", true},
    };
    DianSender sender(*db, config());
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        const QString cude = addDocument(n);
        standIn->control(QString::fromLatin1(c.mode), -1, c.rules);
        const QDateTime before = QDateTime::currentDateTime();
        const SendRound round = sender.sendDue();
        const QString what = QString::fromLatin1(c.mode);
        EXPECT_EQ(column(n, "ESTADO").toString(), QLatin1String(c.estado)) << c.mode;
        EXPECT_EQ(column(n, "INTENTOS").toInt(), 1) << c.mode;
        EXPECT_TRUE(column(n, "MENSAJES").toString().contains(QString::fromUtf8(c.mensajes)))
            << c.mode << ": " << column(n, "MENSAJES").toString().toStdString();
        const QDateTime next = column(n, "PROXIMOINTENTO").toDateTime();
        if (c.tryAgainLater) {
            EXPECT_GE(next, before.addSecs(retryWaitSeconds(1) - 1)) << c.mode;
            EXPECT_LE(next, QDateTime::currentDateTime().addSecs(retryWaitSeconds(1) + 1)) << c.mode;
            EXPECT_EQ(round.failed, 1) << c.mode;
        } else {
            EXPECT_TRUE(column(n, "PROXIMOINTENTO").isNull()) << c.mode;
        }
        // The stand-in took the envelope and the document apart and found them sound (signature,
        // schema, CUDE recomputed with the PIN).
        const QString received = standIn->received().last();
        EXPECT_EQ(received.section(QLatin1Char('\t'), 0, 1), QStringLiteral("SendBillSync\tok")) << received.toStdString();
        EXPECT_EQ(received.section(QLatin1Char('\t'), 3), cude);
    }
    // A second round finds nothing due: the failed ones wait for their time.
    EXPECT_EQ(sender.sendDue().failed, 0);
}

TEST_F(SenderTest, ServiceDownStopsTheRoundAndTheDocumentsGoOutWhenItReturns)
{
    for (int n = 1; n <= 3; ++n)
        addDocument(n, QDateTime::currentDateTimeUtc().addSecs(n - 10));
    DianSender sender(*db, config());
    standIn->control(QStringLiteral("503"));
    const SendRound down = sender.sendDue();
    EXPECT_TRUE(down.serviceDown);
    EXPECT_EQ(down.failed, 1);
    // Only the oldest was tried; the others wait untouched.
    EXPECT_EQ(column(1, "ESTADO").toString(), QStringLiteral("E"));
    EXPECT_EQ(column(2, "INTENTOS").toInt(), 0);
    EXPECT_EQ(column(3, "ESTADO").toString(), QStringLiteral("P"));

    // The service is back and the wait is over: everything goes out.
    standIn->control(QStringLiteral("accepted"));
    db->exec(QStringLiteral("UPDATE POSDOCUMENTOELECTRONICO SET PROXIMOINTENTO = :T WHERE ESTADO = 'E'"),
             {{QStringLiteral("T"), QDateTime::currentDateTime().addSecs(-1)}});
    const SendRound back = sender.sendDue();
    EXPECT_EQ(back.accepted, 3);
    EXPECT_EQ(column(1, "ESTADO").toString(), QStringLiteral("A"));
    EXPECT_EQ(column(1, "INTENTOS").toInt(), 2);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM POSDOCUMENTOELECTRONICO WHERE ESTADO = 'A'")).toInt(), 3);
}

TEST_F(SenderTest, AnAnswerLostAfterTheDianTookTheDocumentEndsAccepted)
{
    // The first try timed out, but the service had the document: on the next try it says it was
    // processed before, and the sender asks for its real state instead of storing a rejection.
    addDocument(1);
    DianSender sender(*db, config());
    // Only the SendBillSync is rejected; GetStatus (the next request) is answered as accepted.
    standIn->control(QStringLiteral("rejected"), 1, {QStringLiteral("Regla: 90, Rechazo: Documento procesado anteriormente.")});
    sender.sendDue();
    EXPECT_EQ(column(1, "ESTADO").toString(), QStringLiteral("A"));
    EXPECT_EQ(standIn->received().last().section(QLatin1Char('\t'), 0, 0), QStringLiteral("GetStatus"));
}

TEST_F(SenderTest, TestSetIsSentThenItsVerdictAskedFor)
{
    settings.testSetId = QStringLiteral("a8b3c2d1-0000-4000-8000-000000000001");
    kv::saveElectronicSettings(*db, settings, keyFile());
    addDocument(1);
    DianSender sender(*db, config());
    EXPECT_EQ(sender.sendDue().waiting, 1);
    EXPECT_EQ(column(1, "ESTADO").toString(), QStringLiteral("P"));
    EXPECT_FALSE(column(1, "ZIPKEY").toString().isEmpty());
    EXPECT_TRUE(standIn->received().last().startsWith(QStringLiteral("SendTestSetAsync\tok")));

    db->exec(QStringLiteral("UPDATE POSDOCUMENTOELECTRONICO SET PROXIMOINTENTO = :T"),
             {{QStringLiteral("T"), QDateTime::currentDateTime().addSecs(-1)}});
    EXPECT_EQ(sender.sendDue().accepted, 1);
    EXPECT_EQ(column(1, "ESTADO").toString(), QStringLiteral("A"));
    EXPECT_TRUE(standIn->received().last().startsWith(QStringLiteral("GetStatusZip\tok")));
}

TEST_F(SenderTest, ADocumentChangedAfterSigningIsRejectedAndCanBeResent)
{
    addDocument(1);
    addDocument(2);
    // One byte of the stored XML changed: the stand-in's signature check refuses it.
    db->exec(QStringLiteral("UPDATE POSDOCUMENTOELECTRONICO SET XML = REPLACE(XML, 'Arroz 500 g', 'Arroz 900 g') "
                            "WHERE CONSECUTIVO = 1"));
    DianSender sender(*db, config());
    sender.sendDue();
    EXPECT_EQ(column(1, "ESTADO").toString(), QStringLiteral("R"));
    EXPECT_TRUE(column(1, "MENSAJES").toString().contains(QStringLiteral("firma inválida")));
    EXPECT_EQ(column(2, "ESTADO").toString(), QStringLiteral("A"));

    // A rejected document can be sent again; an accepted one never.
    EXPECT_TRUE(DianSender::resend(*db, QStringLiteral("1"), QStringLiteral("POS"), 1, QStringLiteral("20")));
    EXPECT_EQ(column(1, "ESTADO").toString(), QStringLiteral("P"));
    EXPECT_EQ(column(1, "INTENTOS").toInt(), 0);
    EXPECT_FALSE(DianSender::resend(*db, QStringLiteral("1"), QStringLiteral("POS"), 2, QStringLiteral("20")));
    EXPECT_EQ(column(2, "ESTADO").toString(), QStringLiteral("A"));
}

TEST_F(SenderTest, ACompanyWithDocumentsOffSendsNothingAndABadCertificateIsSaid)
{
    addDocument(1);
    settings.activo = false;
    kv::saveElectronicSettings(*db, settings, keyFile());
    DianSender sender(*db, config());
    sender.sendDue();
    EXPECT_EQ(column(1, "ESTADO").toString(), QStringLiteral("P"));
    EXPECT_TRUE(standIn->received().isEmpty());

    settings.activo = true;
    settings.claveCertificado = QStringLiteral("otra clave");
    kv::saveElectronicSettings(*db, settings, keyFile());
    sender.sendDue();
    EXPECT_EQ(column(1, "ESTADO").toString(), QStringLiteral("E"));
    EXPECT_FALSE(column(1, "MENSAJES").toString().isEmpty());
    EXPECT_FALSE(column(1, "MENSAJES").toString().contains(QStringLiteral("otra clave")));
    EXPECT_TRUE(standIn->received().isEmpty());
}

TEST_F(SenderTest, EveryAnswerOfARoundIsStoredWhateverComesAfterIt)
{
    // The answers are written with the next document's claim; a document of a company that
    // cannot send in between, and the end of the round, must not lose one.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int n = 1; n <= 3; ++n)
        addDocument(n, now.addSecs(10 * n - 40));
    db->exec(QStringLiteral("UPDATE POSDOCUMENTOELECTRONICO SET EMPRESA = '2' WHERE CONSECUTIVO = 2"));
    kv::ElectronicSettings other = settings;
    other.empresa = QStringLiteral("2");
    other.claveCertificado = QStringLiteral("otra clave");
    kv::saveElectronicSettings(*db, other, keyFile());
    DianSender sender(*db, config());
    const SendRound round = sender.sendDue();
    EXPECT_EQ(round.accepted, 2);
    EXPECT_EQ(round.failed, 1);
    EXPECT_EQ(column(1, "ESTADO").toString(), QStringLiteral("A"));
    EXPECT_EQ(column(3, "ESTADO").toString(), QStringLiteral("A"));
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT ESTADO FROM POSDOCUMENTOELECTRONICO WHERE CONSECUTIVO = 2")).toString().trimmed(),
              QStringLiteral("E"));
}

TEST_F(SenderTest, ANoteGoesOnlyAfterItsOriginalIsAcceptedAndNeverForARejectedOne)
{
    // The note is older in the queue than its original would be after a retry: taken in date
    // order alone it would overtake it.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QString cude = addDocument(1, now.addSecs(-60));
    const QString noteCude = addNote(1, 1, now.addSecs(-30));
    DianSender sender(*db, config());
    auto sent = [&] { return standIn->received().join(QLatin1Char('\n')); };

    standIn->control(QStringLiteral("503"));
    sender.sendDue();
    EXPECT_EQ(column(1, "ESTADO").toString(), QStringLiteral("E"));
    EXPECT_FALSE(sent().contains(noteCude)) << "the note went out while its original waited for a retry";

    standIn->control(QStringLiteral("rejected"), -1, {QStringLiteral("Regla: FAU04, Rechazo: Valor total no coincide.")});
    ASSERT_TRUE(DianSender::resend(*db, QStringLiteral("1"), QStringLiteral("POS"), 1, QStringLiteral("20")));
    sender.sendDue();
    sender.sendDue();
    EXPECT_EQ(column(1, "ESTADO").toString(), QStringLiteral("R"));
    EXPECT_FALSE(sent().contains(noteCude)) << "the note went out for a rejected original";
    EXPECT_EQ(column(1, "ESTADO", "94").toString(), QStringLiteral("P"));

    // The original mended and accepted: the note follows it on the next round, accepted too, each
    // with the DIAN's ApplicationResponse kept, under names of their own kinds.
    standIn->control(QStringLiteral("accepted"));
    ASSERT_TRUE(DianSender::resend(*db, QStringLiteral("1"), QStringLiteral("POS"), 1, QStringLiteral("20")));
    sender.sendDue();
    EXPECT_EQ(column(1, "ESTADO").toString(), QStringLiteral("A"));
    sender.sendDue();
    EXPECT_EQ(column(1, "ESTADO", "94").toString(), QStringLiteral("A"));
    EXPECT_TRUE(column(1, "RESPUESTA").toString().contains(cude));
    EXPECT_TRUE(column(1, "RESPUESTA", "94").toString().contains(noteCude));
    const QString documentName = column(1, "ARCHIVO").toString(), noteName = column(1, "ARCHIVO", "94").toString();
    EXPECT_TRUE(documentName.startsWith(QStringLiteral("ds0900123456000"))) << documentName.toStdString();
    EXPECT_TRUE(noteName.startsWith(QStringLiteral("ncs0900123456000"))) << noteName.toStdString();
    // Each kind counts its own files; the zips count theirs, so the two never share a name, and
    // a document sent again keeps the names of its first try.
    EXPECT_TRUE(documentName.endsWith(QStringLiteral("00000001.xml"))) << documentName.toStdString();
    EXPECT_TRUE(noteName.endsWith(QStringLiteral("00000001.xml"))) << noteName.toStdString();
    EXPECT_NE(column(1, "ARCHIVOZIP").toString(), column(1, "ARCHIVOZIP", "94").toString());
    EXPECT_EQ(sent().count(column(1, "ARCHIVOZIP").toString()), 3);
}
