#include "ui/session/set_chooser_window.h"

#include <QAbstractListModel>
#include <QBitmap>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

#include "core/exercise_sets.h"
#include "core/history.h"
#include "core/text.h"
#include "runner/runner.h"
#include "session/plan_builder.h"
#include "ui/app_context.h"
#include "ui/session/plan_window.h"
#include "ui/shell/dialogs.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_paint.h"
#include "ui/widgets/window_parts.h"

namespace dyd::ui {

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kImageUp = 13;
constexpr int kImageDown = 14;
const QRect kSectionArea(48, 71, 310, 341);
const QRect kSetArea(437, 150, 317, 343);
const QRect kInfoArea(437, 100, 317, 46);
constexpr int kRepeatDelay = 250;
constexpr int kRepeatInterval = 60;

enum Role {
    kLevelRole = Qt::UserRole,
    kDoneRole,
    kSelectedRole,
    kPercentRole,
    kBarRole,
    kResultsRole,
};

const QColor kInk(25, 35, 50);
const QColor kSelection(0, 0, 128);
const QColor kBarFill(70, 140, 90);
const QColor kBarFrame(120, 120, 120);

QFont ListFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    return font;
}

}  // namespace

// One row of a chooser list as the view draws it.
struct ChooserRow {
    QString name;
    int level = 0;
    bool done = false;
    bool results = false;  // a results row: percentage and bar
    int percent = 0;
    int bar = 0;
    QString tip;
};

// The rows of one list; the view shows the kChooserVisibleRows rows from top on, so a scroll step
// is a change of top and the view itself never scrolls.
class ChooserListModel final : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;

    void SetRows(std::vector<ChooserRow> rows) {
        beginResetModel();
        rows_ = std::move(rows);
        top_ = 0;
        selected_ = -1;
        endResetModel();
    }
    int size() const { return static_cast<int>(rows_.size()); }
    int top() const { return top_; }
    void SetTop(int top) {
        if (top == top_) {
            return;
        }
        beginResetModel();
        top_ = top;
        endResetModel();
    }
    void SetSelected(int row) {
        const int old = selected_;
        selected_ = row;
        Changed(old);
        Changed(row);
    }

    int rowCount(const QModelIndex& parent) const override {
        if (parent.isValid()) {
            return 0;
        }
        return std::clamp(size() - top_, 0, kChooserVisibleRows);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const int row = top_ + index.row();
        if (!index.isValid() || row < 0 || row >= size()) {
            return {};
        }
        const ChooserRow& r = rows_[static_cast<std::size_t>(row)];
        switch (role) {
            case Qt::DisplayRole:
                return r.name;
            case Qt::ToolTipRole:
                return r.tip.isEmpty() ? QVariant() : QVariant(r.tip);
            case kLevelRole:
                return r.level;
            case kDoneRole:
                return r.done;
            case kSelectedRole:
                return row == selected_;
            case kPercentRole:
                return r.percent;
            case kBarRole:
                return r.bar;
            case kResultsRole:
                return r.results;
            default:
                return {};
        }
    }

  private:
    void Changed(int row) {
        const int shown = row - top_;
        if (shown >= 0 && shown < rowCount({})) {
            emit dataChanged(index(shown), index(shown));
        }
    }

    std::vector<ChooserRow> rows_;
    int top_ = 0;
    int selected_ = -1;
};

namespace {

// Draws a row: the selection bar, then for a set its level and done pictures and its name, for
// a results row the name, the percentage and the bar.
class ChooserRowDelegate final : public QStyledItemDelegate {
  public:
    ChooserRowDelegate(const std::array<QPixmap, 4>& levels, const QPixmap& done,
                       const QPixmap& notDone, bool setRows, QObject* parent)
        : QStyledItemDelegate(parent),
          levels_(levels),
          done_(done),
          notDone_(notDone),
          setRows_(setRows) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QRect rect = option.rect;
        const bool selected = index.data(kSelectedRole).toBool();
        painter->save();
        painter->setFont(ListFont());
        if (selected) {
            painter->fillRect(rect.adjusted(1, 0, -1, 0), kSelection);
        }
        painter->setPen(selected ? QColor(Qt::white) : kInk);
        const QString name = index.data(Qt::DisplayRole).toString();
        if (index.data(kResultsRole).toBool()) {
            const QRect nameRect(rect.left() + 4, rect.top(), 175, rect.height());
            painter->drawText(nameRect, Qt::AlignVCenter | Qt::AlignLeft,
                              painter->fontMetrics().elidedText(name, Qt::ElideRight,
                                                                nameRect.width()));
            painter->drawText(QRect(rect.left() + 183, rect.top(), 36, rect.height()),
                              Qt::AlignVCenter | Qt::AlignLeft,
                              QString::number(index.data(kPercentRole).toInt()) +
                                  QLatin1Char('%'));
            const QRect frame(rect.left() + 220, rect.top() + 4, kResultBarWidth + 1,
                              rect.height() - 8);
            const int fill = std::clamp(index.data(kBarRole).toInt(), 0, kResultBarWidth);
            painter->fillRect(QRect(frame.left() + 1, frame.top() + 1, fill, frame.height() - 1),
                              kBarFill);
            painter->setPen(kBarFrame);
            painter->drawRect(frame);
        } else if (setRows_) {
            const int level = index.data(kLevelRole).toInt();
            const int y = rect.top() + (rect.height() - 16) / 2;
            if (level >= 1 && level <= 4) {
                const QPixmap& picture = levels_[static_cast<std::size_t>(level - 1)];
                if (!picture.isNull()) {
                    painter->drawPixmap(rect.left() + 4, y, picture);
                } else {
                    painter->drawText(QRect(rect.left() + 4, y, 16, 16), Qt::AlignCenter,
                                      QString::number(level));
                }
            }
            const bool done = index.data(kDoneRole).toBool();
            const QPixmap& mark = done ? done_ : notDone_;
            if (!mark.isNull()) {
                painter->drawPixmap(rect.left() + 22, y, mark);
            } else {
                painter->drawText(QRect(rect.left() + 22, y, 16, 16), Qt::AlignCenter,
                                  done ? QStringLiteral("✓") : QStringLiteral("·"));
            }
            const QRect nameRect(rect.left() + 42, rect.top(), rect.width() - 46, rect.height());
            painter->drawText(nameRect, Qt::AlignVCenter | Qt::AlignLeft,
                              painter->fontMetrics().elidedText(name, Qt::ElideRight,
                                                                nameRect.width()));
        } else {
            const QRect nameRect = rect.adjusted(6, 0, -4, 0);
            painter->drawText(nameRect, Qt::AlignVCenter | Qt::AlignLeft,
                              painter->fontMetrics().elidedText(name, Qt::ElideRight,
                                                                nameRect.width()));
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {100, kChooserRowHeight};
    }

  private:
    const std::array<QPixmap, 4>& levels_;
    const QPixmap& done_;
    const QPixmap& notDone_;
    bool setRows_;
};

QListView* MakeList(QWidget* parent, const QString& name, const QRect& area,
                    ChooserListModel* model) {
    auto* list = new QListView(parent);
    list->setObjectName(name);
    list->setGeometry(area);
    list->setModel(model);
    list->setFrameShape(QFrame::NoFrame);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setUniformItemSizes(true);
    list->setFocusPolicy(Qt::StrongFocus);
    list->setStyleSheet(QStringLiteral("QListView { background: transparent; }"));
    list->viewport()->setAutoFillBackground(false);
    list->viewport()->setMouseTracking(true);
    list->setContentsMargins(0, 2, 0, 0);
    return list;
}

QFrame* MakeFrame(QWidget* parent, const QString& name, const QString& colour) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setStyleSheet(QStringLiteral("QFrame { border: 2px solid %1; border-radius: 3px; "
                                        "background: transparent; }")
                             .arg(colour));
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    frame->hide();
    return frame;
}

}  // namespace

// The statistics panel of the results view: a line per count, each with its bar.
class StatisticsPanel final : public QWidget {
  public:
    explicit StatisticsPanel(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("pb_stat"));
    }
    void SetLines(std::vector<PanelLine> lines) {
        lines_ = std::move(lines);
        update();
    }
    const std::vector<PanelLine>& lines() const { return lines_; }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setFont(ListFont());
        constexpr int kLeft = 10;
        constexpr int kTop = 12;
        for (const PanelLine& line : lines_) {
            const int y = kTop + line.y;
            painter.setPen(kInk);
            painter.drawText(QRect(kLeft, y, kPanelBarX - kLeft - 4, kPanelLineStep),
                             Qt::AlignVCenter | Qt::AlignLeft, Utf8(line.text));
            const QRect frame(kLeft + kPanelBarX, y + 3, kResultBarWidth + 1, kPanelLineStep - 6);
            painter.fillRect(QRect(frame.left() + 1, frame.top() + 1,
                                   std::clamp(line.barWidth, 0, kResultBarWidth),
                                   frame.height() - 1),
                             kBarFill);
            painter.setPen(kBarFrame);
            painter.drawRect(frame);
        }
    }

  private:
    std::vector<PanelLine> lines_;
};

SetChooserWindow::SetChooserWindow(AppContext& context, PlanWindow* planWindow, QWidget* parent)
    : KeyedDialog(parent), context_(context), planWindow_(planWindow) {
    setObjectName(QStringLiteral("TWyborZdanForm"));
    setWindowTitle(QStringLiteral("Ćwiczenia"));
    MakeBorderlessCentred(this, kWidth, kHeight);

    sectionModel_ = new ChooserListModel(this);
    setModel_ = new ChooserListModel(this);
    sectionList_ = MakeList(this, QStringLiteral("pb_dzialy2"), kSectionArea, sectionModel_);
    setList_ = MakeList(this, QStringLiteral("pb_paczki"), kSetArea, setModel_);
    setList_->setAccessibleName(QStringLiteral("Zestawy ćwiczeń w dziale"));
    sectionList_->setAccessibleName(QStringLiteral("Działy"));
    sectionList_->setItemDelegate(new ChooserRowDelegate(levelPictures_, donePicture_,
                                                         notDonePicture_, false, sectionList_));
    setList_->setItemDelegate(
        new ChooserRowDelegate(levelPictures_, donePicture_, notDonePicture_, true, setList_));
    focusFrame_ = MakeFrame(this, QStringLiteral("shp_focus"), QStringLiteral("#d89a2a"));

    info_ = MakeLabel(this, QStringLiteral("lbl_info"), QString(), kInfoArea, 9);
    info_->setWordWrap(true);
    info_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    const auto scrollButton = [&context, this](const char* name, int image, const QString& text,
                                               QPoint topRight) {
        ImageButton* button = MakeImageButton(context, image, QString::fromLatin1(name), text,
                                              this, topRight, QSize(24, 24));
        button->setCursor(Qt::PointingHandCursor);
        button->setAutoRepeat(true);
        button->setAutoRepeatDelay(kRepeatDelay);
        button->setAutoRepeatInterval(kRepeatInterval);
        button->hide();
        return button;
    };
    const int sectionRight = kSectionArea.right() + 1;
    const int setRight = kSetArea.right() + 1;
    sectionUp_ = scrollButton("L_btn_up", kImageUp, QStringLiteral("▲"),
                              QPoint(sectionRight - 28, kSectionArea.bottom() + 6));
    sectionDown_ = scrollButton("L_btn_dn", kImageDown, QStringLiteral("▼"),
                                QPoint(sectionRight, kSectionArea.bottom() + 6));
    setUp_ = scrollButton("btn_up", kImageUp, QStringLiteral("▲"),
                          QPoint(setRight - 28, kSetArea.bottom() + 6));
    setDown_ = scrollButton("btn_dn", kImageDown, QStringLiteral("▼"),
                            QPoint(setRight, kSetArea.bottom() + 6));

    // Drawn as its neighbour "Usuń" is (the image list has no picture for that one).
    okButton_ = MakeImageButton(context, -1, QStringLiteral("B_OK"), QStringLiteral("Rozpocznij"),
                                this, QPoint(setRight, kSetArea.bottom() + 40), QSize(110, 30));
    okButton_->setToolTip(QStringLiteral("Rozpocznij ćwiczenie."));
    deleteButton_ =
        MakeImageButton(context, -1, QStringLiteral("k_usun"), QStringLiteral("Usuń"), this,
                        QPoint(kSetArea.left() + 90, kSetArea.bottom() + 40), QSize(90, 30));
    deleteButton_->setToolTip(QStringLiteral("Wykasuj cwiczenie."));

    learntButton_ = MakeImageButton(context, -1, QStringLiteral("btnWyniki_powtorek"),
                                    QStringLiteral("Nauczone"), this,
                                    QPoint(kSetArea.left() + 150, 106), QSize(150, 30));
    learntButton_->setToolTip(QStringLiteral("Jednostki, których się uczysz."));
    masteredButton_ = MakeImageButton(context, -1, QStringLiteral("k_wynik_powt_2"),
                                      QStringLiteral("Opanowane"), this,
                                      QPoint(setRight, 106), QSize(150, 30));
    masteredButton_->setToolTip(QStringLiteral("Jednostki, które już umiesz."));
    toggleFrame_ = MakeFrame(this, QStringLiteral("Shape1"), QStringLiteral("#d02020"));
    statistics_ = new StatisticsPanel(this);
    statistics_->setGeometry(kSetArea);
    statistics_->hide();

    closeButton_ = MakeImageButton(context, kImageClose, QStringLiteral("B_Zamknij"),
                                   QStringLiteral("X"), this, QPoint(kWidth, 0), QSize(24, 24));
    closeButton_->setToolTip(QStringLiteral("Zamknij"));
    for (ImageButton* button :
         {okButton_, deleteButton_, learntButton_, masteredButton_, closeButton_}) {
        button->setCursor(Qt::PointingHandCursor);
        button->hide();
    }
    closeButton_->show();

    connect(sectionUp_, &QAbstractButton::clicked, this, [this] { ScrollSections(sectionTop_ - 1); });
    connect(sectionDown_, &QAbstractButton::clicked, this,
            [this] { ScrollSections(sectionTop_ + 1); });
    connect(setUp_, &QAbstractButton::clicked, this, [this] { ScrollSets(setTop_ - 1); });
    connect(setDown_, &QAbstractButton::clicked, this, [this] { ScrollSets(setTop_ + 1); });
    connect(sectionList_, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (mode_ == Mode::Sets) {
            FocusList(false);
            SelectSection(sectionTop_ + index.row());
        }
    });
    connect(setList_, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        FocusList(true);
        SelectSet(setTop_ + index.row());
    });
    connect(setList_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (selectedSet_ != setTop_ + index.row()) {
            SelectSet(setTop_ + index.row());
        }
        LoadSelected();
    });
    connect(okButton_, &QAbstractButton::clicked, this, &SetChooserWindow::LoadSelected);
    connect(deleteButton_, &QAbstractButton::clicked, this, &SetChooserWindow::DeleteSelected);
    connect(learntButton_, &QAbstractButton::clicked, this,
            [this] { ShowResults(ResultsView::Learnt); });
    connect(masteredButton_, &QAbstractButton::clicked, this,
            [this] { ShowResults(ResultsView::Mastered); });
    connect(closeButton_, &QAbstractButton::clicked, this, &QDialog::reject);

    for (QListView* list : {sectionList_, setList_}) {
        list->installEventFilter(this);
        list->viewport()->installEventFilter(this);
    }
    SetKeys({&context_, QStringLiteral("jak.html"), false, okButton_, [this] { LoadSelected(); }});
}

SetChooserWindow::~SetChooserWindow() = default;

// ---- Opening ------------------------------------------------------------------------------------

void SetChooserWindow::ShowChooser(Mode mode) {
    mode_ = mode;
    forCaller_ = false;
    setModal(false);
    Prepare();
    show();
    raise();
    activateWindow();
    FocusList(false);
}

std::optional<std::vector<std::int32_t>> SetChooserWindow::ChooseSetModally() {
    mode_ = Mode::Sets;
    forCaller_ = true;
    chosen_.reset();
    Prepare();
    exec();
    forCaller_ = false;
    return std::move(chosen_);
}

std::optional<std::vector<std::int32_t>> SetChooserWindow::ChooseSet(AppContext& context,
                                                                      QWidget* parent) {
    SetChooserWindow window(context, nullptr, parent);
    return window.ChooseSetModally();
}

void SetChooserWindow::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, kWidth, kHeight);
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FocusList(false);
    }
}

namespace {

// The small pictures of a row are drawn on the list's paper; on the selected row their paper
// would show as a box, so the colour of their corner is made transparent.
QPixmap WithoutPaper(const QPixmap& picture) {
    if (picture.isNull()) {
        return picture;
    }
    const QImage image = picture.toImage();
    QPixmap cut = picture;
    cut.setMask(QBitmap::fromImage(image.createMaskFromColor(image.pixel(0, 0), Qt::MaskInColor)));
    return cut;
}

}  // namespace

void SetChooserWindow::LoadPictures() {
    if (picturesLoaded_) {
        return;
    }
    picturesLoaded_ = true;
    const AppPaths& paths = context_.paths();
    setsBackground_ = InterfacePicture(paths, "wybor_cw_a.bmp");
    resultsBackground_ = InterfacePicture(paths, "wybor_cw_2.bmp");
    for (int level = 1; level <= 4; ++level) {
        levelPictures_[static_cast<std::size_t>(level - 1)] =
            WithoutPaper(InterfacePicture(paths, "poziom" + std::to_string(level) + ".bmp"));
    }
    donePicture_ = WithoutPaper(InterfacePicture(paths, "cw_zrobione.bmp"));
    notDonePicture_ = WithoutPaper(InterfacePicture(paths, "cw_niezrobione.bmp"));
}

void SetChooserWindow::Prepare() {
    LoadPictures();
    info_->clear();
    statistics_->SetLines({});
    deleteButton_->hide();
    okButton_->hide();
    selectedSection_ = -1;
    selectedSet_ = -1;
    sectionTop_ = 0;
    setTop_ = 0;
    setListFocused_ = false;
    sets_.clear();
    setModel_->SetRows({});
    const bool sets = mode_ == Mode::Sets;
    setWindowTitle(sets ? QStringLiteral("Ćwiczenia") : QStringLiteral("Wyniki"));
    setList_->setVisible(sets);
    info_->setVisible(sets);
    setUp_->hide();
    setDown_->hide();
    focusFrame_->setVisible(sets);
    learntButton_->setVisible(!sets);
    masteredButton_->setVisible(!sets);
    toggleFrame_->setVisible(!sets);
    statistics_->setVisible(!sets);
    sectionList_->viewport()->setCursor(Qt::ArrowCursor);
    if (sets) {
        BuildSections();
    } else {
        view_ = ResultsView::Learnt;
        ShowResults(ResultsView::Learnt);
    }
    update();
}

// ---- Sets view ----------------------------------------------------------------------------------

void SetChooserWindow::BuildSections() {
    sections_ = SetSections(context_.session.history, context_.session.db.groups);
    std::vector<ChooserRow> rows;
    rows.reserve(sections_.size());
    for (const ChooserSection& section : sections_) {
        ChooserRow row;
        row.name = Polish(section.name);
        rows.push_back(std::move(row));
    }
    sectionModel_->SetRows(std::move(rows));
    sectionTop_ = -1;
    ScrollSections(0);
}

void SetChooserWindow::SelectSection(int row) {
    if (mode_ != Mode::Sets || row < 0 || row >= static_cast<int>(sections_.size())) {
        return;
    }
    deleteButton_->hide();
    selectedSection_ = row;
    sectionModel_->SetSelected(row);
    BuildSetList();
    ClearSetSelection();
}

void SetChooserWindow::BuildSetList() {
    const LearnerSession& session = context_.session;
    sets_.clear();
    if (selectedSection_ >= 0 && selectedSection_ < static_cast<int>(sections_.size())) {
        sets_ = SetsOfSection(session.history,
                              GroupKey(sections_[static_cast<std::size_t>(selectedSection_)].groupId));
    }
    std::vector<ChooserRow> rows;
    rows.reserve(sets_.size());
    for (const ChooserSet& set : sets_) {
        const HistoryRecord& record =
            session.history.records[static_cast<std::size_t>(set.record - 1)];
        ChooserRow row;
        row.name = Polish(record.name);
        row.level = record.level;
        row.done = SetDone(record);
        rows.push_back(std::move(row));
    }
    setModel_->SetRows(std::move(rows));
    setTop_ = -1;
    ScrollSets(0);
}

void SetChooserWindow::ClearSetSelection() {
    selectedSet_ = -1;
    setModel_->SetSelected(-1);
    info_->clear();
    okButton_->hide();
    deleteButton_->hide();
}

void SetChooserWindow::SelectSet(int row) {
    if (mode_ != Mode::Sets || row < 0 || row >= static_cast<int>(sets_.size())) {
        return;
    }
    const LearnerSession& session = context_.session;
    selectedSet_ = row;
    setModel_->SetSelected(row);
    const HistoryRecord& record =
        session.history.records[static_cast<std::size_t>(sets_[static_cast<std::size_t>(row)].record - 1)];
    selectedSetId_ = record.id;
    const SetProblem problem =
        ProbeSet(session.paths, session.db.params.language, record.id, session.db.units);
    if (problem == SetProblem::None) {
        info_->setText(Utf8(LatestResultText(session.history, record.id)));
    } else {
        info_->setText(Utf8(SetProblemText(problem, record.name)));
    }
    okButton_->setVisible(problem == SetProblem::None);
    deleteButton_->setVisible(UserSetId(record.id));
}

void SetChooserWindow::ScrollSections(int top) {
    const int count = sectionModel_->size();
    top = std::clamp(top, 0, std::max(0, count - kChooserVisibleRows));
    sectionTop_ = top;
    sectionModel_->SetTop(top);
    sectionUp_->setVisible(top > 0);
    sectionDown_->setVisible(top + kChooserVisibleRows < count);
}

void SetChooserWindow::ScrollSets(int top) {
    const int count = setModel_->size();
    top = std::clamp(top, 0, std::max(0, count - kChooserVisibleRows));
    setTop_ = top;
    setModel_->SetTop(top);
    const bool sets = mode_ == Mode::Sets;
    setUp_->setVisible(sets && top > 0);
    setDown_->setVisible(sets && top + kChooserVisibleRows < count);
}

void SetChooserWindow::FocusList(bool setList) {
    if (mode_ != Mode::Sets) {
        sectionList_->setFocus();
        return;
    }
    setListFocused_ = setList;
    QListView* list = setList ? setList_ : sectionList_;
    focusFrame_->setGeometry(list->geometry().adjusted(-3, -3, 3, 3));
    focusFrame_->raise();
    list->setFocus();
}

void SetChooserWindow::MoveSelection(int step) {
    const bool setList = setListFocused_;
    const int count = setList ? static_cast<int>(sets_.size()) : static_cast<int>(sections_.size());
    if (count == 0) {
        return;
    }
    const int current = setList ? selectedSet_ : selectedSection_;
    const int row = current < 0 ? 0 : std::clamp(current + step, 0, count - 1);
    if (row == current) {
        return;
    }
    const int top = setList ? setTop_ : sectionTop_;
    int newTop = top;
    if (row < top) {
        newTop = row;
    } else if (row >= top + kChooserVisibleRows) {
        newTop = row - kChooserVisibleRows + 1;
    }
    if (setList) {
        ScrollSets(newTop);
        SelectSet(row);
    } else {
        ScrollSections(newTop);
        SelectSection(row);
    }
}

bool SetChooserWindow::HandleKey(int key) {
    if (key == Qt::Key_F1) {
        if (context_.openHelp) {
            context_.openHelp(mode_ == Mode::Results ? QStringLiteral("wyniki.html")
                                                     : QStringLiteral("jak.html"));
        }
        return true;
    }
    if (mode_ == Mode::Sets) {
        switch (key) {
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
                FocusList(!setListFocused_);
                if (setListFocused_ && selectedSet_ < 0 && !sets_.empty()) {
                    SelectSet(0);
                }
                return true;
            case Qt::Key_Up:
                MoveSelection(-1);
                return true;
            case Qt::Key_Down:
                MoveSelection(1);
                return true;
            default:
                break;
        }
    }
    return KeyedDialog::HandleKey(key);
}

bool SetChooserWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        // The pointing hand over rows that hold an entry, in the sets view.
        for (QListView* list : {sectionList_, setList_}) {
            if (watched == list->viewport()) {
                const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
                const bool entry = mode_ == Mode::Sets && list->indexAt(at).isValid();
                list->viewport()->setCursor(entry ? Qt::PointingHandCursor : Qt::ArrowCursor);
            }
        }
    }
    return KeyedDialog::eventFilter(watched, event);
}

// ---- Loading and deleting -----------------------------------------------------------------------

void SetChooserWindow::LoadSelected() {
    if (mode_ != Mode::Sets || selectedSet_ < 0 ||
        selectedSet_ >= static_cast<int>(sets_.size()) || !okButton_->isVisible()) {
        return;
    }
    LearnerSession& session = context_.session;
    const HistoryRecord record =
        session.history.records[static_cast<std::size_t>(sets_[static_cast<std::size_t>(selectedSet_)].record - 1)];
    const int language = session.db.params.language;
    CurrentSet& set = session.currentSet;
    set.setKey = Trim(record.id);
    set.name = record.name;
    LoadSet(session.paths, language, record.id, set, session.plan);
    PrepareSetForSession(
        set, session.db.units, session.db.relations,
        WantsRelatedSentences(session.settings, exampleSentences_ && exampleSentences_()),
        session.plan);
    if (set.count <= 0) {
        // The set file changed since the set was chosen: nothing to practise.
        set.setKey.clear();
        set.ready = false;
        const SetProblem problem =
            ProbeSet(session.paths, language, record.id, session.db.units);
        const QString text = Utf8(SetProblemText(
            problem == SetProblem::None ? SetProblem::NoUnits : problem, record.name));
        info_->setText(text);
        okButton_->hide();
        ShowMessage(text);
        return;
    }
    if (forCaller_) {
        chosen_.emplace(set.unitNumbers.begin(), set.unitNumbers.begin() + set.count);
        accept();
        return;
    }
    const std::string info =
        BuildPlan(SelectedUnits(set), SessionMode::Learning, session.db.units, session.db.params,
                  session.settings, session.repetitions, session.plan);
    if (planWindow_ != nullptr) {
        planWindow_->Open(info);
    }
    RefreshAfterReturn();
    if (isVisible()) {
        activateWindow();
        FocusList(setListFocused_);
    }
}

void SetChooserWindow::DeleteSelected() {
    if (mode_ != Mode::Sets || selectedSet_ < 0 ||
        selectedSet_ >= static_cast<int>(sets_.size())) {
        return;
    }
    LearnerSession& session = context_.session;
    const HistoryRecord record =
        session.history.records[static_cast<std::size_t>(sets_[static_cast<std::size_t>(selectedSet_)].record - 1)];
    if (!UserSetId(record.id)) {
        return;
    }
    const QString question = Utf8(DeleteSetQuestion(record.name));
    const bool yes = confirmation_ != nullptr ? confirmation_->Ask(question)
                                              : ConfirmationDialog::Confirm(context_, question, this);
    if (!yes) {
        return;
    }
    const int language = session.db.params.language;
    const SaveSetResult saved =
        SaveSet(session.paths, language, CurrentSet{}, {}, record.id, SaveSetMode::Delete);
    if (!saved.message.empty()) {
        ShowMessage(Utf8(saved.message));
    }
    if (saved.status == SaveSetStatus::Written || saved.status == SaveSetStatus::Unchanged) {
        const SyncUserSetsResult sync =
            SyncUserSets(session.paths, language, context_.clock.Now(), session.history);
        if (!sync.message.empty()) {
            ShowMessage(Utf8(sync.message));
        } else if (!sync.saved && !sync.error.empty()) {
            ShowMessage(Utf8(std::string(kHistoryNotSavedMessage) + sync.error));
        }
        // The records of the deleted set were blanked; the store keeps no blanks, as the file
        // written from it holds none.
        std::erase_if(session.history.records,
                      [](const HistoryRecord& record) { return record.blank(); });
    }
    if (catalogueChanged_) {
        catalogueChanged_();
    }
    deleteButton_->hide();
    // The section stays chosen while it still holds sets.
    const int groupId =
        selectedSection_ >= 0 ? sections_[static_cast<std::size_t>(selectedSection_)].groupId : 0;
    const int keepTop = sectionTop_;
    BuildSections();
    ScrollSections(keepTop);
    selectedSection_ = -1;
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (sections_[i].groupId == groupId) {
            SelectSection(static_cast<int>(i));
            return;
        }
    }
    sets_.clear();
    setModel_->SetRows({});
    ScrollSets(0);
    ClearSetSelection();
}

// ---- Results view -------------------------------------------------------------------------------

void SetChooserWindow::ShowResults(ResultsView view) {
    view_ = view;
    const LearnerSession& session = context_.session;
    results_ = ComputeResults(session.db.units, session.db.groups, session.repetitions,
                              session.settings.masteredInterval, view);
    std::vector<ChooserRow> rows;
    rows.reserve(results_.groups.size());
    for (const GroupResult& group : results_.groups) {
        ChooserRow row;
        row.name = Polish(group.name);
        row.results = true;
        row.percent = group.percent;
        row.bar = group.barWidth;
        if (view == ResultsView::Mastered) {
            row.tip = Utf8(group.text);
        }
        rows.push_back(std::move(row));
    }
    const int keepTop = sectionTop_;
    sectionModel_->SetRows(std::move(rows));
    sectionTop_ = -1;
    ScrollSections(keepTop);
    statistics_->SetLines(PanelLines(results_.counters));
    ImageButton* active = view == ResultsView::Learnt ? learntButton_ : masteredButton_;
    toggleFrame_->setGeometry(active->geometry().adjusted(-3, -3, 3, 3));
    toggleFrame_->raise();
}

// ---- Coming back --------------------------------------------------------------------------------

void SetChooserWindow::RefreshAfterReturn() {
    if (refreshing_) {
        return;
    }
    refreshing_ = true;
    if (mode_ == Mode::Results) {
        ShowResults(view_);
    } else if (selectedSection_ >= 0) {
        // The done pictures and the result text follow the results just recorded. A result
        // moves its set's records to the end of the history, and with them the set's row: the
        // set stays chosen wherever its row went.
        const ExerciseHistory& history = context_.session.history;
        const std::string selectedId = selectedSet_ >= 0 ? selectedSetId_ : std::string();
        const int top = setTop_;
        BuildSetList();
        ScrollSets(top);
        int row = -1;
        for (std::size_t i = 0; i < sets_.size() && !selectedId.empty(); ++i) {
            if (history.records[static_cast<std::size_t>(sets_[i].record - 1)].id == selectedId) {
                row = static_cast<int>(i);
                break;
            }
        }
        if (row >= 0) {
            if (row < setTop_ || row >= setTop_ + kChooserVisibleRows) {
                ScrollSets(row - kChooserVisibleRows + 1);
            }
            SelectSet(row);
        } else {
            ClearSetSelection();
        }
    }
    refreshing_ = false;
}

void SetChooserWindow::changeEvent(QEvent* event) {
    KeyedDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isVisible() && isActiveWindow()) {
        RefreshAfterReturn();
    }
}

void SetChooserWindow::ShowMessage(const QString& text) {
    if (messages_ != nullptr) {
        messages_->ShowMessage(text);
    } else {
        MessageBox::Show(context_, text, this);
    }
}

void SetChooserWindow::paintEvent(QPaintEvent*) {
    const QPixmap& picture = mode_ == Mode::Sets ? setsBackground_ : resultsBackground_;
    PaintWindowBackground(this, picture, windowTitle());
    if (picture.isNull()) {
        // The panels the picture would hold, so that the lists read on the plain face.
        QPainter painter(this);
        painter.setPen(QColor(190, 185, 175));
        painter.setBrush(QColor(255, 253, 247));
        painter.drawRect(kSectionArea.adjusted(-2, -2, 1, 1));
        painter.drawRect(kSetArea.adjusted(-2, -2, 1, 1));
    }
}

}  // namespace dyd::ui
