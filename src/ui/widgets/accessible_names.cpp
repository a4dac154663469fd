#include "ui/widgets/accessible_names.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <limits>

#include "ui/widgets/focus_marks.h"

namespace dyd::ui {
namespace {

// Properties that remember which name and description were derived here (and may be derived
// again when the texts change), as opposed to those the window set.
constexpr const char* kDerivedName = "dydDerivedAccessibleName";
constexpr const char* kDerivedDescription = "dydDerivedAccessibleDescription";
// The name of a clickable label while it shows no text.
constexpr const char* kFallbackName = "dydAccessibleFallbackName";
constexpr const char* kEmptyName = "dydAccessibleEmptyName";

QString Plain(const QString& text) {
    QString plain = Qt::mightBeRichText(text) ? [&text] {
        QTextDocument document;
        document.setHtml(text);
        return document.toPlainText();
    }()
                                              : text;
    plain.remove(QLatin1Char('&'));
    plain.replace(QLatin1Char('\r'), QLatin1Char(' '));
    plain.replace(QLatin1Char('\n'), QLatin1Char(' '));
    plain = plain.simplified();
    while (plain.endsWith(QLatin1Char(':'))) {
        plain.chop(1);
    }
    return plain.trimmed();
}

// A tooltip that only gives the key of the control ("Ctrl+T", "F8", "Klawisz 1").
bool OnlyAKey(const QString& tip) {
    static const QRegularExpression key(
        QStringLiteral("^(Klawisz\\s+\\S+|((Ctrl|Alt|Shift)\\+)*(F\\d{1,2}|Enter|Esc|[A-Z0-9]|"
                       "Backspace|Delete))$"));
    return key.match(tip).hasMatch();
}

bool HasLetter(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}

// The name of a button that shows only a sign.
QString SignName(const QString& sign) {
    if (sign == QStringLiteral("X") || sign == QStringLiteral("x") || sign == QStringLiteral("×")) {
        return QStringLiteral("Zamknij");
    }
    if (sign == QStringLiteral("♪")) {
        return QStringLiteral("Odtwórz nagranie");
    }
    if (sign == QStringLiteral("▲")) {
        return QStringLiteral("Przewiń w górę");
    }
    if (sign == QStringLiteral("▼")) {
        return QStringLiteral("Przewiń w dół");
    }
    if (sign == QStringLiteral("_")) {
        return QStringLiteral("Minimalizuj");
    }
    return {};
}

bool IsField(const QWidget* widget) {
    return qobject_cast<const QLineEdit*>(widget) != nullptr ||
           qobject_cast<const QComboBox*>(widget) != nullptr ||
           qobject_cast<const QAbstractItemView*>(widget) != nullptr ||
           qobject_cast<const QAbstractSlider*>(widget) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(widget) != nullptr ||
           qobject_cast<const QTextEdit*>(widget) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(widget) != nullptr;
}

bool InsideCompoundControl(const QWidget* widget) {
    for (const QWidget* up = widget->parentWidget(); up != nullptr; up = up->parentWidget()) {
        if (qobject_cast<const QComboBox*>(up) != nullptr ||
            (!up->isWindow() && (qobject_cast<const QAbstractScrollArea*>(up) != nullptr ||
                                 qobject_cast<const QAbstractSpinBox*>(up) != nullptr))) {
            return true;
        }
        if (up->isWindow()) {
            break;
        }
    }
    return false;
}

bool ClickableLabel(const QWidget* widget) {
    return qobject_cast<const QLabel*>(widget) != nullptr &&
           widget->testAttribute(Qt::WA_SetCursor) &&
           widget->cursor().shape() == Qt::PointingHandCursor;
}

bool Interactive(const QWidget* widget) {
    if (widget->isWindow() || InsideCompoundControl(widget)) {
        return false;
    }
    return widget->focusPolicy() != Qt::NoFocus ||
           qobject_cast<const QAbstractButton*>(widget) != nullptr ||
           qobject_cast<const QLineEdit*>(widget) != nullptr ||
           qobject_cast<const QComboBox*>(widget) != nullptr ||
           qobject_cast<const QAbstractItemView*>(widget) != nullptr ||
           qobject_cast<const QAbstractSlider*>(widget) != nullptr ||
           (widget->testAttribute(Qt::WA_SetCursor) &&
            widget->cursor().shape() == Qt::PointingHandCursor);
}

// The control's own visible text.
QString OwnText(const QWidget* widget) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return Plain(button->text());
    }
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return Plain(label->text());
    }
    return {};
}

// The label that names a field: its buddy, else the nearest label with text on its left in
// the same row, or just above it.
QString LabelBefore(const QWidget* widget) {
    const QWidget* parent = widget->parentWidget();
    if (parent == nullptr) {
        return {};
    }
    const QList<QLabel*> labels = widget->window()->findChildren<QLabel*>();
    for (const QLabel* label : labels) {
        if (label->buddy() == widget && !Plain(label->text()).isEmpty()) {
            return Plain(label->text());
        }
    }
    const QRect area(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
    QString best;
    int bestDistance = std::numeric_limits<int>::max();
    for (const QLabel* label : labels) {
        const QString text = Plain(label->text());
        if (text.isEmpty() || label == widget || label->parentWidget() != parent ||
            label->isVisibleTo(parent) != widget->isVisibleTo(parent) ||
            (ClickableLabel(label) && qobject_cast<const QCheckBox*>(widget) == nullptr)) {
            continue;
        }
        const QRect other(label->mapTo(widget->window(), QPoint(0, 0)), label->size());
        const bool sameRow = other.top() < area.bottom() && other.bottom() > area.top();
        const bool sameColumn = other.left() < area.right() && other.right() > area.left();
        int distance = std::numeric_limits<int>::max();
        if (qobject_cast<const QCheckBox*>(widget) != nullptr) {
            // A check box without a text is named by the label right of it.
            if (sameRow && other.left() >= area.right() - 4) {
                distance = other.left() - area.right();
            }
        } else if (sameRow && other.right() <= area.left() + 4) {
            distance = area.left() - other.right();
        } else if (sameColumn && other.bottom() <= area.top() + 4) {
            distance = area.top() - other.bottom();
        }
        if (distance >= 0 && distance <= 48 && distance < bestDistance) {
            bestDistance = distance;
            best = text;
        }
    }
    return best;
}

// What the control is and how the keyboard uses it.
QString KindText(const QWidget* widget) {
    if (qobject_cast<const QCheckBox*>(widget) != nullptr) {
        return QStringLiteral("Pole wyboru: spacja zaznacza je lub odznacza.");
    }
    if (qobject_cast<const QRadioButton*>(widget) != nullptr) {
        return QStringLiteral("Przycisk opcji: spacja go wybiera.");
    }
    if (qobject_cast<const QAbstractButton*>(widget) != nullptr) {
        return widget->focusPolicy() != Qt::NoFocus ? QStringLiteral("Przycisk: spacja go naciska.")
                                                    : QStringLiteral("Przycisk.");
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        return edit->isReadOnly() ? QStringLiteral("Pole tekstowe tylko do odczytu.")
                                  : QStringLiteral("Pole tekstowe do wpisania.");
    }
    if (qobject_cast<const QComboBox*>(widget) != nullptr) {
        return QStringLiteral("Lista rozwijana: strzałki w górę i w dół zmieniają wybór.");
    }
    if (qobject_cast<const QAbstractItemView*>(widget) != nullptr) {
        return QStringLiteral("Lista: strzałki przesuwają wybór.");
    }
    if (qobject_cast<const QAbstractSlider*>(widget) != nullptr) {
        return QStringLiteral("Suwak: strzałki zmieniają wartość.");
    }
    if (qobject_cast<const QTextEdit*>(widget) != nullptr ||
        qobject_cast<const QPlainTextEdit*>(widget) != nullptr) {
        return QStringLiteral("Tekst: strzałki i klawisze stron go przewijają.");
    }
    return QStringLiteral("Pozycja do kliknięcia.");
}

// Sets a derived text unless the window set its own (one that is not the last derived).
void Derive(QWidget* widget, const char* property, const QString& current, const QString& value,
            void (QWidget::*set)(const QString&)) {
    const QString derived = widget->property(property).toString();
    if (!current.isEmpty() && current != derived) {
        return;  // the window's own
    }
    if (value != current) {
        (widget->*set)(value);
    }
    widget->setProperty(property, value);
}

// A label the learner clicks: a button to assistive technology, named by its live text.
class ClickableLabelAccessible final : public QAccessibleWidget {
  public:
    explicit ClickableLabelAccessible(QWidget* label)
        : QAccessibleWidget(label, QAccessible::Button) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) {
            if (!widget()->accessibleName().isEmpty()) {
                return widget()->accessibleName();
            }
            const QString text = Plain(static_cast<const QLabel*>(widget())->text());
            if (HasLetter(text)) {
                return text;
            }
            const QString derived = widget()->property(kFallbackName).toString();
            return derived.isEmpty() ? widget()->property(kEmptyName).toString() : derived;
        }
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* ClickableLabelFactory(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget != nullptr && className == QLatin1String(object->metaObject()->className()) &&
        ClickableLabel(widget)) {
        return new ClickableLabelAccessible(widget);
    }
    return nullptr;
}

class DescribeOnShow final : public QObject {
  public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->isWindow()) {
                DescribeControls(widget);
            }
        }
        return false;
    }
};

}  // namespace

void DescribeControls(QWidget* window) {
    const QList<QWidget*> controls = window->findChildren<QWidget*>();
    for (QWidget* widget : controls) {
        if (!Interactive(widget)) {
            continue;
        }
        const QString tip = Plain(widget->toolTip());
        const QString keyTip = OnlyAKey(tip) ? tip : QString();
        const QString nameTip = keyTip.isEmpty() ? tip : QString();
        const QString text = OwnText(widget);
        // A button or a label with a text of its own is read by that text as it changes (the
        // choices of an exercise change at every step): it gets no name that could grow stale.
        const bool ownText = HasLetter(text) && SignName(text).isEmpty() && !IsField(widget);
        QString name;
        if (!ownText) {
            name = nameTip;
            if (name.isEmpty() && IsField(widget)) {
                name = LabelBefore(widget);
            }
            if (name.isEmpty() && qobject_cast<const QCheckBox*>(widget) != nullptr) {
                name = LabelBefore(widget);
            }
            if (name.isEmpty()) {
                name = SignName(text);
            }
            if (name.isEmpty()) {
                if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
                    name = Plain(edit->placeholderText());
                }
            }
        }
        if (qobject_cast<const QLabel*>(widget) != nullptr) {
            // Read through its own interface: the live text, else this.
            widget->setProperty(kFallbackName, name);
        } else {
            Derive(widget, kDerivedName, widget->accessibleName(), name,
                   &QWidget::setAccessibleName);
        }
        const QString ownName =
            widget->accessibleName().isEmpty() ? OwnText(widget) : widget->accessibleName();
        QString description = !nameTip.isEmpty() && nameTip != ownName ? nameTip : KindText(widget);
        if (!keyTip.isEmpty()) {
            description += (keyTip.startsWith(QStringLiteral("Klawisz"))
                                ? QStringLiteral(" ") + keyTip
                                : QStringLiteral(" Klawisz: ") + keyTip) +
                           QLatin1Char('.');
        }
        Derive(widget, kDerivedDescription, widget->accessibleDescription(), description,
               &QWidget::setAccessibleDescription);
    }
}

void SetEmptyLabelName(QWidget* label, const QString& name) {
    label->setProperty(kEmptyName, name);
}

void DescribeControlsOnShow(QObject* owner) {
    static bool factoryInstalled = false;
    if (!factoryInstalled) {
        QAccessible::installFactory(ClickableLabelFactory);
        factoryInstalled = true;
    }
    qApp->installEventFilter(new DescribeOnShow(owner));
    MarkFocusedControls(owner);
}

}  // namespace dyd::ui
