#pragma once

// Closes every message box (TForm20) that opens while it lives, as a learner who read it would,
// and keeps its text.

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QStringList>
#include <QTimer>

namespace dyd::test {

class MessageWatch {
  public:
    MessageWatch() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (modal == nullptr || modal->objectName() != QStringLiteral("TForm20")) {
                return;
            }
            if (auto* label = modal->findChild<QLabel*>(QStringLiteral("Label1"))) {
                texts_.append(label->text());
            }
            modal->done(0);
        });
        timer_.start();
    }
    const QStringList& texts() const { return texts_; }

  private:
    QTimer timer_;
    QStringList texts_;
};

}  // namespace dyd::test
