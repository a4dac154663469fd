// Loaded into the installed program (LD_PRELOAD) by the installation test: it answers the
// program's windows through their controls as a learner would. The login gets a new learner
// (named by DYD_DRIVER_NAME), the hint that follows is closed, and once the main menu is up its
// close button ends the program, which saves the learner's files on the way. What it meets goes
// to the standard error as lines "dyd-driver <what>"; a run that stalls ends with status 3.

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "ui/find_control.h"
#include "ui/modal_driver.h"

namespace {

void Say(const QString& what) {
    std::fprintf(stderr, "dyd-driver %s\n", what.toUtf8().constData());
    std::fflush(stderr);
}

QWidget* VisibleWindow(const char* name) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String(name) && widget->isVisible()) {
            return widget;
        }
    }
    return nullptr;
}

void Start() {
    Say(QStringLiteral("started"));
    auto* driver = new dyd::test::ModalDriver;
    using dyd::test::Find;
    driver->On("TForm9", [](QDialog* login) {
        QTest::mouseClick(Find<QAbstractButton>(login, "TransparentButton1"), Qt::LeftButton);
    });
    driver->On("TForm10", [](QDialog* newUser) {
        Find<QLineEdit>(newUser, "Edit1")->insert(qEnvironmentVariable("DYD_DRIVER_NAME"));
        QTest::mouseClick(Find<QAbstractButton>(newUser, "B_OK"), Qt::LeftButton);
    });
    driver->On("TForm20", [driver](QDialog* box) {
        driver->messages.append(box->objectName());
        QTest::keyClick(box, Qt::Key_Escape);
    });
    driver->On("TForm24", [](QDialog* yesNo) {
        QTest::mouseClick(Find<QAbstractButton>(yesNo, "B_OK"), Qt::LeftButton);
    });

    // The main menu shows once the login is done and no dialog is over it.
    auto* menuWatch = new QTimer(QCoreApplication::instance());
    menuWatch->setInterval(20);
    QObject::connect(menuWatch, &QTimer::timeout, [menuWatch] {
        QWidget* menu = VisibleWindow("TForm1");
        if (menu == nullptr || QApplication::activeModalWidget() != nullptr) {
            return;
        }
        menuWatch->stop();
        Say(QStringLiteral("menu"));
        QTest::mouseClick(Find<QAbstractButton>(menu, "B_Zamknij"), Qt::LeftButton);
    });
    menuWatch->start();

    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, [driver] {
        Say(QStringLiteral("seen ") + driver->seen.join(QLatin1Char(' ')));
        for (const QString& error : driver->errors) {
            Say(QStringLiteral("error ") + error);
        }
        delete driver;
    });
    // A stalled run must not hang the test.
    QTimer::singleShot(60000, [] {
        Say(QStringLiteral("stalled"));
        std::_Exit(3);
    });
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Start)
