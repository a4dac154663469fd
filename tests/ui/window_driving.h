#pragma once

// Driving windows as a learner would: modal windows answered once they show, buttons clicked by
// name.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <functional>

#include "find_control.h"

namespace dyd::test {

// Runs action on the next modal window once it shows; closes it with Escape if the action leaves
// it open.
inline void WhenModal(const std::function<void(QDialog*)>& action) {
    QTimer::singleShot(0, [action] {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(modal != nullptr);
        action(modal);
        if (QApplication::activeModalWidget() == modal) {
            QTest::keyClick(modal, Qt::Key_Escape);
        }
    });
}

// A click on a button that the learner can see.
inline void Click(QWidget* window, const char* name) {
    auto* button = Find<QAbstractButton>(window, name);
    QVERIFY2(button->isVisible(), name);
    QTest::mouseClick(button, Qt::LeftButton);
}

inline bool Shown(QWidget* window, const char* name) {
    return Find<QWidget>(window, name)->isVisible();
}

}  // namespace dyd::test
