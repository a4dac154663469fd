#include "ui/widgets/window_parts.h"

#include <QLabel>

#include "ui/app_context.h"
#include "ui/widgets/image_button.h"

namespace dyd::ui {

ImageButton* MakeImageButton(const AppContext& context, int image, const QString& name,
                             const QString& text, QWidget* parent, QPoint topRight,
                             QSize fallback) {
    auto* button = new ImageButton(context.images, image, parent);
    button->setObjectName(name);
    button->setText(text);
    const QSize frame = context.images.FrameSize(image);
    const QSize size = frame.isEmpty() ? fallback : frame;
    button->setGeometry(topRight.x() - size.width(), topRight.y(), size.width(), size.height());
    return button;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& area,
                  int pointSize) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(area);
    QFont font = label->font();
    font.setPointSize(pointSize);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(25, 35, 50));
    label->setPalette(palette);
    return label;
}

}  // namespace dyd::ui
