#include "ui/widgets/focus_marks.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>

namespace dyd::ui {
namespace {

constexpr int kMargin = 3;

bool NeedsMark(const QWidget* widget) {
    if (qobject_cast<const QComboBox*>(widget) != nullptr) {
        return !static_cast<const QComboBox*>(widget)->isEditable();
    }
    return qobject_cast<const QAbstractItemView*>(widget) != nullptr ||
           qobject_cast<const QTextEdit*>(widget) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(widget) != nullptr ||
           qobject_cast<const QAbstractSlider*>(widget) != nullptr ||
           qobject_cast<const QLabel*>(widget) != nullptr;
}

// The frame: a dark and a light dotted line, readable over any background.
class FocusFrame final : public QWidget {
  public:
    explicit FocusFrame(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("focusMark"));
        setAttribute(Qt::WA_TransparentForMouseEvents, true);
        setAttribute(Qt::WA_NoSystemBackground, true);
        setFocusPolicy(Qt::NoFocus);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(250, 246, 232), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(1, 1, -2, -2));
        painter.setPen(QPen(QColor(30, 50, 80), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

class FocusMarks final : public QObject {
  public:
    explicit FocusMarks(QObject* owner) : QObject(owner) {
        connect(qApp, &QApplication::focusChanged, this, &FocusMarks::Changed);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == control_.data()) {
            switch (event->type()) {
                case QEvent::Move:
                case QEvent::Resize:
                case QEvent::Show:
                    Place();
                    break;
                case QEvent::Hide:
                    if (frame_ != nullptr) {
                        frame_->hide();
                    }
                    break;
                default:
                    break;
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    void Changed(QWidget*, QWidget* now) {
        if (control_ != nullptr) {
            control_->removeEventFilter(this);
        }
        control_ = nullptr;
        if (frame_ != nullptr) {
            frame_->hide();
        }
        if (now == nullptr || now->isWindow() || now->parentWidget() == nullptr ||
            !NeedsMark(now)) {
            return;
        }
        control_ = now;
        now->installEventFilter(this);
        if (frame_ == nullptr) {
            frame_ = new FocusFrame(now->parentWidget());
        } else if (frame_->parentWidget() != now->parentWidget()) {
            frame_->setParent(now->parentWidget());
        }
        Place();
    }

    void Place() {
        if (control_ == nullptr || frame_ == nullptr) {
            return;
        }
        frame_->setGeometry(control_->geometry().adjusted(-kMargin, -kMargin, kMargin, kMargin));
        frame_->setVisible(control_->isVisible());
        frame_->raise();
    }

    QPointer<QWidget> control_;
    QPointer<FocusFrame> frame_;
};

// Enter or the space bar on a focused label: the click of the mouse in its middle.
class KeyClick final : public QObject {
  public:
    explicit KeyClick(QLabel* label) : QObject(label) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        auto* label = static_cast<QLabel*>(watched);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!label->hasFocus() || key->modifiers() != Qt::NoModifier ||
            (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter &&
             key->key() != Qt::Key_Space)) {
            return false;
        }
        if (!key->isAutoRepeat()) {
            const QPointF local = QRectF(label->rect()).center();
            const QPointF global = label->mapToGlobal(local);
            QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(label, &press);
            QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton,
                                Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(label, &release);
        }
        return true;
    }
};

}  // namespace

void MarkFocusedControls(QObject* owner) {
    new FocusMarks(owner);
}

void ClickWithKeys(QLabel* label) {
    label->setFocusPolicy(Qt::TabFocus);
    // Installed last, it sees the keys before the window's own filter.
    label->installEventFilter(new KeyClick(label));
}

}  // namespace dyd::ui
