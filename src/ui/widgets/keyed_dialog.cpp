#include "ui/widgets/keyed_dialog.h"

#include <QKeyEvent>

#include "ui/app_context.h"
#include "ui/widgets/focus_return.h"

namespace dyd::ui {

KeyedDialog::KeyedDialog(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags) {
    ReturnFocusOnClose(this);
}

bool KeyedDialog::HandleKey(int key) {
    switch (key) {
        case Qt::Key_Escape:
            if (keys_.escapeAccepts) {
                accept();
            } else {
                reject();
            }
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!keys_.main) {
                return false;
            }
            if (keys_.mainButton == nullptr || keys_.mainButton->isVisible()) {
                keys_.main();
            }
            return true;
        case Qt::Key_F1:
            if (keys_.helpPage.isEmpty()) {
                return false;
            }
            if (keys_.context != nullptr && keys_.context->openHelp) {
                keys_.context->openHelp(keys_.helpPage);
            }
            return true;
        default:
            return false;
    }
}

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
