#include "app/UntPos.h"

#include "platform/ScreenKeys.h"

#include "app/UntAboutBox.h"
#include "app/UntAdministrar.h"
#include "app/UntEjecutaPrograma.h"
#include "app/UntLogin.h"
#include "app/UntUsuarios.h"
#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "common/ProgramRegistry.h"
#include "data/UntDMGeneral.h"
#include "platform/DbControls.h"
#include "platform/DialogParts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMenuBar>
#include <QPainter>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <functional>

namespace kv {

TFrmPos* FrmPos = nullptr;

// ---------------------------------------------------------------- program trees

const QList<QIcon>& programImages()
{
    static const QList<QIcon> images = [] {
        QStyle* s = QApplication::style();
        return QList<QIcon>{
            s->standardIcon(QStyle::SP_ComputerIcon),         // 0 the root
            s->standardIcon(QStyle::SP_DirClosedIcon),        // 1 a group
            s->standardIcon(QStyle::SP_DirOpenIcon),          // 2 a group, selected
            s->standardIcon(QStyle::SP_FileIcon),             // 3 a program
            s->standardIcon(QStyle::SP_ArrowRight),           // 4 a program, selected
            s->standardIcon(QStyle::SP_FileDialogDetailedView),
            s->standardIcon(QStyle::SP_DriveHDIcon),
            s->standardIcon(QStyle::SP_DesktopIcon),
        };
    }();
    return images;
}

QIcon programIcon(int image, int selectedImage)
{
    const QList<QIcon>& images = programImages();
    QIcon icon;
    const QSize size(16, 16);
    if (image >= 0 && image < images.size())
        icon.addPixmap(images[image].pixmap(size), QIcon::Normal);
    if (selectedImage >= 0 && selectedImage < images.size())
        icon.addPixmap(images[selectedImage].pixmap(size), QIcon::Selected);
    return icon;
}

int programIndex(const QTreeWidgetItem* item)
{
    if (!item)
        return -1;
    const QVariant v = item->data(0, ProgramIndexRole);
    return v.isValid() ? v.toInt() : -1;
}

void CargaArbolProgramas(QTreeWidget* tree) { CargaArbolProgramas(tree, DMGeneral->TblProgramas); }

QTreeWidget* programTreeWidget(const QString& objectName, const QString& accessibleName, QWidget* parent)
{
    auto* tree = new QTreeWidget(parent);
    tree->setObjectName(objectName);
    tree->setAccessibleName(accessibleName);
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setRootIsDecorated(false);
    tree->setStyleSheet(QStringLiteral("QTreeView::branch { image: none; border-image: none; }"));
    return tree;
}

void CargaArbolProgramas(QTreeWidget* tree, Dataset& programas)
{
    // Nobody watching the tree may move the cursor while it is being walked.
    const QSignalBlocker quiet(tree);
    tree->clear();
    if (programas.active())
        programas.Refresh();  // the program table screen may have changed the rows
    else
        programas.Open();
    programas.DisableControls();
    struct Enable {
        Dataset& d;
        ~Enable() { d.EnableControls(); }
    } enable{programas};

    // The node most recently added at each level, on the branch being built; deeper entries are
    // forgotten whenever a shallower node starts a new branch.
    std::array<QTreeWidgetItem*, kMaxProgramLevel + 1> latest{};
    QTreeWidgetItem* root = nullptr;
    int i = 0;
    for (programas.First(); !programas.Eof(); programas.Next(), ++i) {
        auto* node = new QTreeWidgetItem;
        node->setText(0, programas.FieldByName(QStringLiteral("DESCRIPCION")).asString());
        const int image = programas.FieldByName(QStringLiteral("INDIMAGEN")).asInteger();
        const int selected = programas.FieldByName(QStringLiteral("INDSELECION")).asInteger();
        node->setIcon(0, programIcon(image, selected));
        node->setData(0, ImageIndexRole, image);
        node->setData(0, SelectedImageRole, selected);
        node->setData(0, ProgramIndexRole, i);

        const int level = std::clamp(programas.FieldByName(QStringLiteral("NIVEL")).asInteger(), 0, kMaxProgramLevel);
        if (!root) {
            // The first row is the root, whatever level it claims.
            tree->addTopLevelItem(node);
            root = node;
            latest.fill(nullptr);
            latest[0] = node;
            continue;
        }
        QTreeWidgetItem* parent = root;
        if (level > 0) {
            // The most recent node one level up; when the table jumps levels, the nearest
            // shallower node of the branch.
            for (int up = level - 1; up >= 0; --up)
                if (latest[up]) {
                    parent = latest[up];
                    break;
                }
        }
        parent->addChild(node);
        // A second level-0 row starts a section of its own under the root: the level-1 rows after
        // it belong to it.
        latest[level] = node;
        std::fill(latest.begin() + level + 1, latest.end(), nullptr);
    }
    tree->update();
}

void AplicaPermisos(QTreeWidget* tree, const QString& opciones)
{
    auto denied = [&](const QTreeWidgetItem* node) {
        const int k = programIndex(node);
        return k >= 1 && k <= opciones.size() && opciones.at(k - 1) == QLatin1Char('0');
    };
    // Depth-first; a removed node takes its subtree with it, whatever its entries' characters say.
    std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* node) {
        for (int c = 0; c < node->childCount();) {
            QTreeWidgetItem* child = node->child(c);
            if (denied(child)) {
                delete child;
                continue;
            }
            walk(child);
            ++c;
        }
    };
    for (int t = 0; t < tree->topLevelItemCount();) {
        QTreeWidgetItem* top = tree->topLevelItem(t);
        if (denied(top)) {
            delete top;
            continue;
        }
        walk(top);
        ++t;
    }
    tree->update();
}

// ---------------------------------------------------------------- main window

namespace {

// The client area behind the panel.
class Background : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        QLinearGradient g(rect().topLeft(), rect().bottomRight());
        g.setColorAt(0, QColor(0x1f, 0x4e, 0x79));
        g.setColorAt(1, QColor(0x0b, 0x25, 0x3d));
        p.fillRect(rect(), g);
        QFont f = font();
        f.setPointSizeF(qMax(24.0, height() / 10.0));
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(255, 255, 255, 28));
        p.drawText(rect().adjusted(0, 0, -24, -16), Qt::AlignRight | Qt::AlignBottom, QStringLiteral("KORVELA"));
    }
};

QLabel* picture(QStyle::StandardPixmap which, QWidget* parent)
{
    auto* l = new QLabel(parent);
    // The style's icons come small; drawn larger they still read well as pictures.
    const QPixmap small = parent->style()->standardIcon(which).pixmap(64, 64);
    l->setPixmap(small.scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    l->setAlignment(Qt::AlignCenter);
    return l;
}

}  // namespace

TFrmPos::TFrmPos(TDMGeneral& dm, QWidget* parent) : QMainWindow(parent), dm_(dm)
{
    setObjectName(QStringLiteral("FrmPos"));
    setWindowTitle(QStringLiteral("Korvela"));
    setWindowIcon(style()->standardIcon(QStyle::SP_ComputerIcon));
    if (!FrmPos)
        FrmPos = this;

    QMenuBar* bar = menuBar();
    auto item = [&](const QString& name, const QString& caption) {
        QAction* a = bar->addAction(caption);
        a->setObjectName(name);
        return a;
    };
    Entrar1 = item(QStringLiteral("Entrar1"), QStringLiteral("&Entrar"));
    Seguridades = item(QStringLiteral("Seguridades"), QStringLiteral("&Seguridades"));
    Acercade1 = item(QStringLiteral("Acercade1"), QStringLiteral("&Acerca de "));
    Salir1 = item(QStringLiteral("Salir1"), QStringLiteral("&Salir"));
    OpcindeMenus1 = item(QStringLiteral("OpcindeMenus1"), QStringLiteral("&Opción de Menus"));
    Seguridades->setEnabled(false);
    OpcindeMenus1->setVisible(false);
    connect(Entrar1, &QAction::triggered, this, &TFrmPos::Entrar1Click);
    connect(Seguridades, &QAction::triggered, this, &TFrmPos::SeguridadesClick);
    connect(Acercade1, &QAction::triggered, this, &TFrmPos::Acercade1Click);
    connect(Salir1, &QAction::triggered, this, &TFrmPos::Salir1Click);
    connect(OpcindeMenus1, &QAction::triggered, this, &TFrmPos::OpcindeMenus1Click);

    auto* background = new Background(this);
    background->setObjectName(QStringLiteral("Fondo"));
    setCentralWidget(background);

    PnlPrincipal = new QFrame(background);
    PnlPrincipal->setObjectName(QStringLiteral("PnlPrincipal"));
    PnlPrincipal->setAutoFillBackground(true);
    static_cast<QFrame*>(PnlPrincipal)->setFrameShape(QFrame::StyledPanel);

    MenuModulo = programTreeWidget(QStringLiteral("MenuModulo"), QStringLiteral("Programas"), PnlPrincipal);
    MenuModulo->setToolTip(QStringLiteral("Doble Click Para Ejecutar"));
    MenuModulo->setMinimumWidth(340);

    TreeBase = new QTreeWidget(PnlPrincipal);
    TreeBase->setObjectName(QStringLiteral("TreeBase"));
    TreeBase->setToolTip(QStringLiteral("De double click para abrir Modulo"));
    TreeBase->setHeaderHidden(true);
    TreeBase->setVisible(false);

    auto* info = new QFrame(PnlPrincipal);
    info->setObjectName(QStringLiteral("PnlInformacion"));
    auto* programa = makeTitleLabel(QStringLiteral("P R O G R A M A"), info, 1.5);
    programa->setObjectName(QStringLiteral("LblPrograma"));
    auto* korvela = makeTitleLabel(QStringLiteral("K O R V E L A"), info, 1.5);
    korvela->setObjectName(QStringLiteral("LblKorvela"));
    DBMemo1 = new DbMemo(dm_.TblProgramas, QStringLiteral("OBSERVACION"), info);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    DBMemo1->setAccessibleName(QStringLiteral("Observación"));
    DBMemo1->setReadOnly(true);
    DBMemo1->setFixedHeight(110);
    auto* infoLayout = new QVBoxLayout(info);
    infoLayout->addWidget(programa);
    infoLayout->addWidget(picture(QStyle::SP_DesktopIcon, info));
    infoLayout->addSpacing(12);
    infoLayout->addWidget(korvela);
    infoLayout->addWidget(picture(QStyle::SP_ComputerIcon, info));
    infoLayout->addStretch();
    infoLayout->addWidget(DBMemo1);

    auto* panelLayout = new QHBoxLayout(PnlPrincipal);
    panelLayout->addWidget(MenuModulo, 3);
    panelLayout->addWidget(info, 2);
    panelLayout->addWidget(TreeBase);

    auto* backLayout = new QVBoxLayout(background);
    backLayout->setContentsMargins(24, 24, 24, 24);
    backLayout->addWidget(PnlPrincipal);
    PnlPrincipal->setVisible(false);

    Panel2 = new QLabel(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(Panel2, 1);

    connect(MenuModulo, &QTreeWidget::itemClicked, this, &TFrmPos::MenuModuloClick);
    // Moving along the tree with the arrow keys shows each entry's help as a click does.
    connect(MenuModulo, &QTreeWidget::currentItemChanged, this, &TFrmPos::MenuModuloClick);
    connect(MenuModulo, &QTreeWidget::itemDoubleClicked, this, &TFrmPos::MenuModuloDblClick);
    connect(MenuModulo, &QTreeWidget::itemCollapsed, this, &TFrmPos::MenuModuloCollapsing);

    // FormKeyUp: Enter moves on to the next control; in the tree Enter opens the entry and Esc
    // hides the panel.
    auto* keys = new ScreenKeys(this, ScreenKeys::EnterEverywhere);
    keys->onEnter(MenuModulo, [this] { MenuModuloDblClick(); });
    keys->escape = [this] {
        if (QApplication::focusWidget() != MenuModulo)
            return false;
        PnlPrincipal->hide();
        return true;
    };
    resize(1024, 720);
}

TFrmPos::~TFrmPos()
{
    if (FrmPos == this)
        FrmPos = nullptr;
}

bool TFrmPos::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::WindowDeactivate: {
        // A message box over the window is not another screen: coming back from it is not an
        // activation, or an error shown by the activation itself would come back for ever.
        QWidget* now = QApplication::activeWindow();
        skipActivation_ = now && now->inherits("QMessageBox");
        break;
    }
    case QEvent::WindowActivate:
        if (skipActivation_)
            skipActivation_ = false;
        else
            FormActivate();
        break;
    default:
        break;
    }
    return QMainWindow::event(e);
}

void TFrmPos::FormActivate()
{
    Dataset& reg = dm_.TbRegistro;
    // The business row is read again each time: a screen that just closed (the POS parameters)
    // may have changed the name or the NIT through a cursor of its own.
    if (reg.active())
        reg.Refresh();
    else
        reg.Open();
    dm_.TblUsuarios.Open();
    dm_.TblMenu.Open();
    // "###,###": whole pesos grouped by three with ","; a NIT of 0 prints nothing at all.
    status_ = reg.FieldByName(QStringLiteral("NOMBRE")).asString() + QStringLiteral("  Nit : ") +
              FormatFloat(QStringLiteral("###,###"), reg.FieldByName(QStringLiteral("NIT")).asFloat());
    Panel2->setText(status_);
    // Amounts are formatted with "," for thousands and "." for decimals for the whole run by
    // FormatFloat, whatever the machine's regional settings; nothing to switch here.
    setWindowTitle(QStringLiteral("[ Korvela ] <> [") + status_ + QStringLiteral("]"));
}

void TFrmPos::Entrar1Click()
{
    Seguridades->setEnabled(false);
    MenuModulo->setEnabled(false);
    OpcindeMenus1->setVisible(false);

    LoginResult = 2;
    if (!FrmLogin)
        FrmLogin = new TFrmLogin(dm_, this);
    FrmLogin->exec();
    backFromModal();
    if (LoginResult != 1)
        return;

    const QString nombre = dm_.TblUsuarios.FieldByName(QStringLiteral("NOMBRE")).asString();
    static const QStringList administrators = {QStringLiteral("ADMIN"), QStringLiteral("vik"),
                                               QStringLiteral("Administrador"), QStringLiteral("VIK")};
    if (administrators.contains(nombre))
        Seguridades->setEnabled(true);
    if (nombre == QLatin1String("Administrador"))
        OpcindeMenus1->setVisible(true);

    CargaMenuUsuario();
    MenuModulo->setEnabled(true);
    PnlPrincipal->show();
    MenuModulo->setFocus();
}

void TFrmPos::CargaMenuUsuario()
{
    CargaArbolProgramas(MenuModulo, dm_.TblProgramas);
    CargaArbolProgramas(TreeBase, dm_.TblProgramas);

    Dataset& menu = dm_.TblMenu;
    // Permissions are read afresh at each sign-on: a change made in the users screen counts from
    // the next one.
    if (menu.active())
        menu.Refresh();
    else
        menu.Open();
    if (menu.Locate(QStringLiteral("CODIGOUSUARIO"), CurrentUserCode))
        AplicaPermisos(MenuModulo, menu.FieldByName(QStringLiteral("OPCIONES")).asString());
}

bool TFrmPos::locateCurrentProgram()
{
    QTreeWidgetItem* node = MenuModulo->currentItem();
    if (!node)
        return false;
    // Entries are found again by their text: two rows with the same description both run the
    // first one's program.
    return dm_.TblProgramas.Locate(QStringLiteral("DESCRIPCION"), node->text(0));
}

void TFrmPos::MenuModuloClick()
{
    // Showing an entry's help is a courtesy: a failure here must not interrupt the user.
    try {
        locateCurrentProgram();
    } catch (...) {
    }
}

void TFrmPos::MenuModuloDblClick()
{
    if (!locateCurrentProgram())
        return;
    EjecutaPrograma(dm_.TblProgramas.FieldByName(QStringLiteral("PROGRAMA")).asInteger());
    backFromModal();
}

void TFrmPos::backFromModal()
{
    // The window manager gives the window back its activation when a modal screen closes, and the
    // activation rebuilds the caption; without one (a bare X server, the offscreen platform) the
    // window asks for it itself. An already active window gets no second activation.
    if (!isActiveWindow())
        activateWindow();
}

void TFrmPos::MenuModuloCollapsing(QTreeWidgetItem* item)
{
    // While the root is the chosen node, nothing folds up: a double click on the root would
    // otherwise hide the whole menu.
    QTreeWidgetItem* selected = MenuModulo->currentItem();
    if (selected && !selected->parent()) {
        const QSignalBlocker quiet(MenuModulo);
        item->setExpanded(true);
    }
}

void TFrmPos::SeguridadesClick()
{
    {
        // The users screen edits permissions on a copy of the complete tree of this sign-on.
        TFrmUsuarios screen(dm_.DbPos, TreeBase, this);
        screen.exec();
    }
    backFromModal();
}

void TFrmPos::OpcindeMenus1Click()
{
    {
        TFrmAdministrar screen(dm_.DbPos, this);
        screen.exec();
    }
    backFromModal();
}

void TFrmPos::Acercade1Click()
{
    {
        TFrmAboutBox box(this);
        box.exec();
    }
    backFromModal();
}

void TFrmPos::Salir1Click() { close(); }

void TFrmPos::closeEvent(QCloseEvent* e)
{
    if (AskYesNo(QStringLiteral("Esta seguro(a) que desea Salir?")))
        e->accept();
    else
        e->ignore();
}

}  // namespace kv
