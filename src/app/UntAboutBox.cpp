#include "app/UntAboutBox.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kv {

TFrmAboutBox* FrmAboutBox = nullptr;

TFrmAboutBox::TFrmAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FrmAboutBox"));
    if (!FrmAboutBox)
        FrmAboutBox = this;
    setWindowTitle(QStringLiteral("A Cerca de:"));
    setAccessibleName(QStringLiteral("A Cerca de:"));

    ProgramIcon = new QLabel(this);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
    ProgramIcon->setAccessibleName(QStringLiteral("Korvela"));

    ProductName = new QLabel(QStringLiteral("P o s"), this);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    QFont big = ProductName->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    ProductName->setFont(big);
    Version = new QLabel(QStringLiteral("Version  2.0"), this);
    Version->setObjectName(QStringLiteral("Version"));
    Copyright = new QLabel(QStringLiteral("Korvela POS para tiendas y restaurantes de Colombia"), this);
    Copyright->setObjectName(QStringLiteral("Copyright"));

    Comments = new QPlainTextEdit(this);
    Comments->setObjectName(QStringLiteral("Comments"));
    Comments->setAccessibleName(QStringLiteral("Aviso legal"));
    Comments->setPlainText(QStringLiteral(
        "Este programa está protegido por las leyes de derechos de autor. Su reproducción o "
        "distribución sin autorización, total o parcial, puede dar lugar a sanciones civiles y "
        "penales conforme a la ley."));
    Comments->setEnabled(false);
    Comments->setFixedHeight(80);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setAccessibleName(QStringLiteral("OK"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* head = new QHBoxLayout;
    head->addWidget(ProgramIcon, 0, Qt::AlignTop);
    auto* names = new QVBoxLayout;
    names->addWidget(ProductName);
    names->addWidget(Version);
    names->addWidget(Copyright);
    head->addLayout(names, 1);

    auto* main = new QVBoxLayout(this);
    main->addLayout(head);
    main->addWidget(Comments);
    main->addWidget(OKButton, 0, Qt::AlignHCenter);
    main->setSizeConstraint(QLayout::SetFixedSize);
    Comments->setMinimumWidth(360);
}

TFrmAboutBox::~TFrmAboutBox()
{
    if (FrmAboutBox == this)
        FrmAboutBox = nullptr;
}

}  // namespace kv
