#pragma once

// Finds a control of a window by its objectName; a missing control ends the test at once.

#include <QString>
#include <QWidget>

namespace dyd::test {

template <typename T>
T* Find(QWidget* window, const char* name) {
    T* child = window->findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) {
        qFatal("no control %s in %s", name, qPrintable(window->objectName()));
    }
    return child;
}

}  // namespace dyd::test
