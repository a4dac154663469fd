#pragma once

// Small pieces the windows are built from: image buttons placed by their top-right corner, labels
// in the windows' ink, and the indexes of the button pictures they use.

#include <QRect>
#include <QSize>
#include <QString>

class QLabel;
class QWidget;

namespace dyd::ui {

struct AppContext;
class ImageButton;

inline constexpr int kImageOk = 2;
inline constexpr int kImageCancel = 3;
inline constexpr int kImageNewUser = 11;
inline constexpr int kImageClose = 18;

// An image button (reached with Tab, see ImageButton), with its top-right corner at topRight;
// without a picture it takes the fallback size and draws text.
ImageButton* MakeImageButton(const AppContext& context, int image, const QString& name,
                             const QString& text, QWidget* parent, QPoint topRight, QSize fallback);

// A label in the windows' dark ink.
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& area,
                  int pointSize = 10);

}  // namespace dyd::ui
