#pragma once
// "A Cerca de:": the program's name, version and legal notice.
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kv {

class TFrmAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAboutBox(QWidget* parent = nullptr);
    ~TFrmAboutBox() override;

    QLabel* ProgramIcon;
    QLabel* ProductName;  // "P o s"
    QLabel* Version;      // "Version  2.0"
    QLabel* Copyright;
    QPlainTextEdit* Comments;  // the legal notice, disabled
    QPushButton* OKButton;
};

// The about box created at start-up (the menu entry opens a new one each time).
extern TFrmAboutBox* FrmAboutBox;

}  // namespace kv
