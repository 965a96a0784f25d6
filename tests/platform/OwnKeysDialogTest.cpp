// A register screen goes away only when its own key says so: the window's close button and Esc
// in any other control leave the sale on the screen.
#include "platform/OwnKeysDialog.h"
#include "support/Keyboard.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace kv;

namespace {

// A screen whose one way out is Esc in its first box.
class Screen : public OwnKeysDialog {
public:
    Screen()
    {
        auto* l = new QVBoxLayout(this);
        exitBox = new QLineEdit(this);
        otherBox = new QLineEdit(this);
        l->addWidget(exitBox);
        l->addWidget(otherBox);
        exitBox->installEventFilter(this);
    }
    QLineEdit* exitBox;
    QLineEdit* otherBox;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (o == exitBox && e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
            leave();
            return true;
        }
        return OwnKeysDialog::eventFilter(o, e);
    }
};

TEST(OwnKeysDialog, OnlyTheScreensOwnKeyClosesIt)
{
    Screen screen;
    kvtest::showActive(&screen);
    QTest::keyClick(screen.otherBox, Qt::Key_Escape);
    EXPECT_TRUE(screen.isVisible());
    EXPECT_FALSE(screen.close());  // the window's close button
    screen.reject();
    EXPECT_TRUE(screen.isVisible());
    QTest::keyClick(screen.exitBox, Qt::Key_Escape);
    EXPECT_FALSE(screen.isVisible());
    EXPECT_EQ(screen.result(), QDialog::Rejected);
}

}  // namespace
