#include "ui/keyed_dialog.h"

#include <QKeyEvent>

namespace dyd::ui {

bool KeyedDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && HandleKey(static_cast<QKeyEvent*>(event)->key())) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void KeyedDialog::keyPressEvent(QKeyEvent* event) {
    if (!HandleKey(event->key())) {
        QDialog::keyPressEvent(event);
    }
}

}  // namespace dyd::ui
