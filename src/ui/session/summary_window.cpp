#include "ui/session/summary_window.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStyledItemDelegate>

#include "core/repetitions.h"
#include "ui/app_context.h"
#include "ui/shell/dialogs.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_paint.h"
#include "ui/widgets/window_parts.h"

namespace dyd::ui {
namespace {

constexpr int kWidth = 340;
constexpr int kHeight = 280;
constexpr int kTextOnly = -1;  // a button without a picture draws its text
constexpr int kUnitRole = Qt::UserRole;

// The list's items: the text in the list's font, 2 pixels in from the left.
class IndentedItemDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = (option.state & QStyle::State_Selected) != 0;
        painter->save();
        painter->fillRect(option.rect,
                          selected ? option.palette.highlight() : option.palette.base());
        painter->setFont(option.font);
        painter->setPen(selected ? option.palette.highlightedText().color()
                                 : option.palette.text().color());
        painter->drawText(option.rect.adjusted(2, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft,
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    }
};

}  // namespace

SummaryWindow::SummaryWindow(AppContext& context, QWidget* parent)
    : KeyedDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm31"));
    setWindowTitle(QStringLiteral("Dydaktor 5.0"));
    setModal(true);
    MakeBorderlessCentred(this, kWidth, kHeight);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("ListBox1"));
    list_->setAccessibleName(QStringLiteral("Ćwiczone jednostki"));
    list_->setGeometry(16, 70, kWidth - 32, 132);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setItemDelegate(new IndentedItemDelegate(list_));
    list_->setFont(QFont(QStringLiteral("Arial"), 10));

    detail_ = MakeLabel(this, QStringLiteral("Label2"), QString(), QRect(16, 206, 200, 30), 9);
    detail_->setWordWrap(true);

    const QSize textButton(96, 26);
    trashButton_ =
        MakeImageButton(context, kTextOnly, QStringLiteral("K_Do_Kosza"),
                        QStringLiteral("Do kosza"), this, QPoint(kWidth - 16, 208), textButton);
    restoreButton_ =
        MakeImageButton(context, kTextOnly, QStringLiteral("K_Przywroc"),
                        QStringLiteral("Przywróć"), this, QPoint(kWidth - 16, 208), textButton);
    clipboardButton_ = MakeImageButton(context, kTextOnly, QStringLiteral("K_do_schowka"),
                                       QStringLiteral("Do schowka"), this,
                                       QPoint(16 + textButton.width(), 244), textButton);
    // The two buttons of one row are drawn alike: the image list has no picture for the
    // clipboard, so printing uses its text too.
    printButton_ =
        MakeImageButton(context, kTextOnly, QStringLiteral("K_wydruk"), QStringLiteral("Drukuj"),
                        this, QPoint(kWidth - 16, 244), textButton);
    closeButton_ = MakeImageButton(context, kImageClose, QStringLiteral("B_Zamknij"),
                                   QStringLiteral("X"), this, QPoint(kWidth, 0), QSize(24, 24));
    closeButton_->setToolTip(QStringLiteral("Zamknij"));
    for (ImageButton* button :
         {trashButton_, restoreButton_, clipboardButton_, printButton_, closeButton_}) {
        button->setCursor(Qt::PointingHandCursor);
    }
    trashButton_->hide();
    restoreButton_->hide();

    // The detail follows the selection (focus alone only marks a current row).
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> selected = list_->selectedItems();
        Selected(selected.isEmpty() ? -1 : list_->row(selected.first()));
    });
    connect(trashButton_, &QAbstractButton::clicked, this, [this] { MoveToTrash(true); });
    connect(restoreButton_, &QAbstractButton::clicked, this, [this] { MoveToTrash(false); });
    connect(clipboardButton_, &QAbstractButton::clicked, this, &SummaryWindow::CopyToClipboard);
    connect(printButton_, &QAbstractButton::clicked, this, &SummaryWindow::Print);
    connect(closeButton_, &QAbstractButton::clicked, this, &QDialog::accept);
    list_->installEventFilter(this);
    SetKeys({&context_, {}, true, nullptr, {}});
}

bool SummaryWindow::ShowSummary() {
    const LearnerSession& session = context_.session;
    if (!session.settings.showSummary || !Fill()) {
        return false;
    }
    background_ = InterfacePicture(context_.paths(), "podsumowanie.bmp");
    exec();
    background_ = QPixmap();
    return true;
}

std::vector<int> SummaryWindow::listedUnits() const {
    std::vector<int> units;
    for (const SummaryItem& item : items_) {
        units.push_back(item.unitNumber);
    }
    return units;
}

bool SummaryWindow::Fill() {
    const LearnerSession& session = context_.session;
    const CodePage page = session.db.params.foreignCodePage();
    const bool meaning = SummaryShowsMeaning(session.db.params.language);
    items_ = BuildSummaryItems(session.plan, session.db, session.repetitions);

    list_->blockSignals(true);
    list_->clear();
    for (const SummaryItem& item : items_) {
        QString text = Foreign(item.foreignText, page);
        if (meaning) {
            text += QStringLiteral(" - ") + Polish(item.nativeText) + Polish(item.tag);
        }
        auto* row = new QListWidgetItem(text, list_);
        row->setData(kUnitRole, item.unitNumber);
    }
    list_->setCurrentRow(-1);
    list_->blockSignals(false);

    detail_->clear();
    trashButton_->hide();
    restoreButton_->hide();
    clipboardButton_->setVisible(meaning);
    printButton_->setVisible(meaning);
    if (items_.empty() && isVisible()) {
        accept();
    }
    return !items_.empty();
}

void SummaryWindow::Selected(int row) {
    if (row < 0 || row >= static_cast<int>(items_.size())) {
        detail_->clear();
        trashButton_->hide();
        restoreButton_->hide();
        return;
    }
    const RepetitionRecord& record =
        context_.session.repetitions.record(items_[static_cast<std::size_t>(row)].unitNumber);
    detail_->setText(Polish(SummaryDetail(record)));
    const bool inTrash = record.inTrash == 1;
    trashButton_->setVisible(!inTrash);
    restoreButton_->setVisible(inTrash);
}

void SummaryWindow::MoveToTrash(bool toTrash) {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    const int row = selected.isEmpty() ? -1 : list_->row(selected.first());
    if (row < 0 || row >= static_cast<int>(items_.size())) {
        return;
    }
    const int unit = items_[static_cast<std::size_t>(row)].unitNumber;
    if (toTrash) {
        TrashUnit(context_.session.repetitions, unit);
    } else {
        RestoreFromTrash(context_.session.repetitions, unit);
    }
    Fill();
}

void SummaryWindow::CopyToClipboard() {
    const LearnerSession& session = context_.session;
    if (!SummaryShowsMeaning(session.db.params.language)) {
        return;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(Utf8(SummaryClipboardText(session.plan, session.db)));
    Message(Utf8(kCopiedMessage));
}

void SummaryWindow::Print() {
    const LearnerSession& session = context_.session;
    if (!SummaryShowsMeaning(session.db.params.language)) {
        return;
    }
    std::unique_ptr<QPrinter> printer;
    if (!printFile_.isEmpty()) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(printFile_);
    } else {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull()) {
            Message(QString::fromUtf8(kNoPrinterText));
            return;
        }
        printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    printer->setDocName(QStringLiteral("Dydaktor 5.0 - Słownictwo"));

    QPainter painter;
    if (!painter.begin(printer.get())) {
        Message(QString::fromUtf8(kPrintFailedText));
        return;
    }
    // The lines as on a text printer: one font, one line after another, a new page when full.
    QFont font(QStringLiteral("Courier New"), 11);
    font.setStyleHint(QFont::TypeWriter);
    painter.setFont(QFont(font, printer.get()));
    const int lineHeight = painter.fontMetrics().lineSpacing();
    const int pageHeight = printer->height();
    int y = 0;
    for (const std::string& line : SummaryPrintLines(session.plan, session.db)) {
        if (y + lineHeight > pageHeight && y > 0) {
            printer->newPage();
            y = 0;
        }
        painter.drawText(0, y + painter.fontMetrics().ascent(), Utf8(line));
        y += lineHeight;
    }
    if (!painter.end()) {
        Message(QString::fromUtf8(kPrintFailedText));
        return;
    }
    Message(Utf8(kPrintedMessage));
}

void SummaryWindow::Message(const QString& text) {
    if (messages_ != nullptr) {
        messages_->ShowMessage(text);
    } else {
        MessageBox::Show(context_, text, this);
    }
}

void SummaryWindow::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, QStringLiteral("Podsumowanie"));
}

void SummaryWindow::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, width(), height());
    QDialog::showEvent(event);
    list_->setFocus();
}

}  // namespace dyd::ui
