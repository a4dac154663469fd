#include "ui/content/browser_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <algorithm>

#include "content/unit_editor.h"
#include "core/exercise_sets.h"
#include "core/files.h"
#include "core/qa_import.h"
#include "core/recording_path.h"
#include "core/text.h"
#include "exchange/exchange.h"
#include "session/plan_builder.h"
#include "sound/sound_player.h"
#include "ui/app_context.h"
#include "ui/shell/comment_dialog.h"
#include "ui/shell/dialogs.h"
#include "ui/shell/main_menu_window.h"
#include "ui/shell/progress_window.h"
#include "ui/shell/set_parameters_window.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_paint.h"
#include "ui/widgets/window_parts.h"

namespace dyd::ui {
namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kRowHeight = 18;
constexpr int kColumnWidth = 221;
constexpr int kLeft = 16;
constexpr int kRight = 494;  // the list side
constexpr int kSideWidth = 290;
constexpr int kCommentLength = 100;
const QRect kGridArea(kLeft, 154, 462, 292);
const QRect kExampleArea(kLeft, 494, 246, 20);
const QRect kDescriptionLow(kLeft, 516, 246, 78);
const QRect kDescriptionHigh(kLeft, 494, 246, 100);

constexpr const char* kFilterHeadings =
    "Grupa tematyczna:                   Poziom:     Typ:                Typ jedn.:        Uczysz "
    "się:    Inne:";
constexpr const char* kDeleteItemQuestion = "Czy wykasować wybrane słówko (zdanie)?";
constexpr const char* kDeleteAllQuestion = "Czy wykasować wszystkie słówka wybrane do ćwiczenia?";
constexpr const char* kDeleteUnitQuestion = "Czy usunąć oznaczoną jednostkę?";
constexpr const char* kUnitDeletedText =
    "Usunięto jednostkę, aktualizacja nastąpi po ponownym uruchomieniu programu.";
constexpr const char* kRestoredText = "Przywrócono z kosza.";
constexpr const char* kCopiedText = "Wybrane słowa skopiowano do schowka.";

// The busy cursor while a long piece of work runs.
class BusyCursor {
  public:
    explicit BusyCursor(bool busy) : busy_(busy) {
        if (busy_) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        }
    }
    ~BusyCursor() {
        if (busy_) {
            QApplication::restoreOverrideCursor();
        }
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

  private:
    bool busy_;
};
constexpr int kBusyFrom = 2000;  // units: below this the work is too short to notice

// The small pictures of the grid: a recording, and the three unit kinds.
QPixmap RecordingIcon() {
    QPixmap icon(12, 12);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2c, 0x5d, 0x8a));
    p.drawRect(QRectF(1, 4, 3, 4));
    p.drawPolygon(QPolygonF({QPointF(4, 4), QPointF(8, 1), QPointF(8, 11), QPointF(4, 8)}));
    p.setPen(QPen(QColor(0x2c, 0x5d, 0x8a), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(6, 3, 5, 6), -60 * 16, 120 * 16);
    return icon;
}

QPixmap KindIcon(int kind) {
    static const QColor colours[] = {QColor(0x3a, 0x8a, 0x4a), QColor(0xb0, 0x6a, 0x1e),
                                     QColor(0x7a, 0x3e, 0x9a)};
    static const char letters[] = {'S', 'Z', 'Q'};
    QPixmap icon(12, 12);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colours[kind - 1]);
    p.drawRoundedRect(QRectF(0, 0, 12, 12), 2, 2);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 12, 12), Qt::AlignCenter, QString(QLatin1Char(letters[kind - 1])));
    return icon;
}

// Draws a row's icons over the ten spaces that open its first column.
class GridDelegate final : public QStyledItemDelegate {
  public:
    GridDelegate(const AppContext& context, const BrowserGridModel& model, QObject* parent)
        : QStyledItemDelegate(parent), context_(context), model_(model) {
        recording_ = RecordingIcon();
        for (int kind = 1; kind <= 3; ++kind) {
            kinds_[static_cast<std::size_t>(kind - 1)] = KindIcon(kind);
        }
    }
    const QPixmap& recording() const { return recording_; }
    const QPixmap& kind(int k) const { return kinds_[static_cast<std::size_t>(k - 1)]; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (index.column() != 0) {
            return;
        }
        const int n = model_.UnitAt(index.row());
        if (n <= 0) {
            return;
        }
        const Unit& unit = context_.session.db.units.unit(n);
        const QPoint corner = option.rect.topLeft();
        if (HasRecording(unit)) {
            painter->drawPixmap(corner + QPoint(1, 1), recording_);
        }
        if (unit.unitKind >= 1 && unit.unitKind <= 3) {
            painter->drawPixmap(corner + QPoint(14, 1), kind(unit.unitKind));
        }
    }

  private:
    static bool HasRecording(const Unit& unit) {
        const std::string_view reference = TrimView(unit.recording);
        return !reference.empty() && reference != "0";
    }

    const AppContext& context_;
    const BrowserGridModel& model_;
    QPixmap recording_;
    std::array<QPixmap, 3> kinds_;
};

QString Lines(const std::string& utf8) {
    return Utf8(utf8);
}

}  // namespace

// ---- The grid's model ---------------------------------------------------------------------------

BrowserGridModel::BrowserGridModel(const AppContext& context, QObject* parent)
    : QAbstractTableModel(parent), context_(context) {}

void BrowserGridModel::SetUnits(std::vector<int> units) {
    if (units == units_) {
        return;
    }
    beginResetModel();
    units_ = std::move(units);
    endResetModel();
}

void BrowserGridModel::SetColumns(int columns) {
    if (columns == columns_) {
        return;
    }
    beginResetModel();
    columns_ = columns;
    endResetModel();
}

void BrowserGridModel::TextsChanged() {
    emit dataChanged(index(0, 0), index(rowCount() - 1, columns_ - 1));
}

int BrowserGridModel::UnitAt(int row) const {
    if (row < 0 || row >= static_cast<int>(units_.size())) {
        return 0;
    }
    return units_[static_cast<std::size_t>(row)];
}

int BrowserGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    return std::max(1, static_cast<int>(units_.size()));
}

int BrowserGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant BrowserGridModel::data(const QModelIndex& index, int role) const {
    const int n = UnitAt(index.row());
    if (role == Qt::UserRole) {
        return n;
    }
    if (role != Qt::DisplayRole || n <= 0) {
        return {};
    }
    const Unit& unit = context_.session.db.units.unit(n);
    if (index.column() == 0) {
        return QStringLiteral("          ") +
               Foreign(unit.foreignText, context_.session.db.params.foreignCodePage());
    }
    return Polish(unit.nativeText);
}

// ---- The window ---------------------------------------------------------------------------------

BrowserWindow::BrowserWindow(AppContext& context, QWidget* parent)
    : KeyedDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm2"));
    setModal(true);
    MakeBorderlessCentred(this, kWidth, kHeight);
    Build();
    DialogKeys keys;
    keys.context = &context_;
    keys.helpPage = QStringLiteral("przegladaj.html");
    keys.mainButton = composeButton_;
    keys.main = [this] { Compose(); };
    SetKeys(std::move(keys));
}

BrowserWindow::~BrowserWindow() = default;

QPushButton* BrowserWindow::AddButton(const char* name, const QString& text, const QRect& area) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(area);
    button->setFocusPolicy(Qt::TabFocus);
    button->setAutoDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(9);
    button->setFont(font);
    return button;
}

void BrowserWindow::Build() {
    QFont courseFont(QStringLiteral("Arial"));
    courseFont.setPointSize(10);

    // Listing modes, with the frame beside the active one.
    allButton_ =
        AddButton("K_wszystkie", QStringLiteral("Wszystkie"), QRect(kLeft + 12, 76, 96, 24));
    filterButton_ = AddButton("K_filtr", QStringLiteral("Filtr"), QRect(kLeft + 124, 76, 96, 24));
    searchButton_ = AddButton("k_szukaj", QStringLiteral("Szukaj"), QRect(kLeft + 236, 76, 96, 24));
    allButton_->setToolTip(QStringLiteral("Wszystkie jednostki (Ctrl+1)"));
    filterButton_->setToolTip(QStringLiteral("Filtr (Ctrl+2)"));
    searchButton_->setToolTip(QStringLiteral("Szukaj (Ctrl+F, Ctrl+3)"));
    modeFrame_ = new QFrame(this);
    modeFrame_->setObjectName(QStringLiteral("Shape2"));
    modeFrame_->setStyleSheet(QStringLiteral("background: #1d4e7a;"));
    applyButton_ = AddButton("K_Pokaz_slowka", QStringLiteral("Zastosuj filtr"),
                             QRect(kLeft + 350, 76, 112, 24));

    BuildFilterBoxes();

    model_ = new BrowserGridModel(context_, this);
    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("Grid1"));
    grid_->setGeometry(kGridArea);
    grid_->setModel(model_);
    grid_->setFont(courseFont);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the grid for the next control; the arrows move in it.
    grid_->setTabKeyNavigation(false);
    grid_->setShowGrid(true);
    grid_->setWordWrap(false);
    grid_->setTextElideMode(Qt::ElideRight);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    // Rows of one height: the view never measures a row.
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->setDefaultSectionSize(kRowHeight);
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->setItemDelegate(new GridDelegate(context_, *model_, grid_));
    grid_->installEventFilter(this);
    grid_->viewport()->installEventFilter(this);

    countLine_ =
        MakeLabel(this, QStringLiteral("L_Ile_wybrano"), QString(), QRect(kLeft, 448, 300, 18), 9);
    composeButton_ = AddButton("K_przenies", QStringLiteral("Przenieś wybrane słówka/zdania"),
                               QRect(kLeft, 468, 246, 22));

    example_ = MakeLabel(this, QStringLiteral("L_przyklad"), QString(), kExampleArea, 10);
    example_->setFont(courseFont);
    example_->setTextFormat(Qt::PlainText);
    description_ = MakeLabel(this, QStringLiteral("L_Opis"), QString(), kDescriptionLow, 8);
    description_->setTextFormat(Qt::PlainText);
    description_->setWordWrap(true);
    description_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // The single unit's commands, beside its description.
    const int unitX = kLeft + 252;
    const int unitWidth = kGridArea.right() - unitX + 1;
    commentButton_ = AddButton("K_Kom_Usera", QStringLiteral("Dodaj komentarz do słówka"),
                               QRect(unitX, 468, unitWidth, 22));
    editButton_ =
        AddButton("K_Edycja", QStringLiteral("Edytuj słówko"), QRect(unitX, 494, unitWidth, 22));
    deleteButton_ =
        AddButton("K_Usun_Slowko", QStringLiteral("Usuń słówko"), QRect(unitX, 518, unitWidth, 22));
    resetButton_ = AddButton("K_Zeruj", QStringLiteral("Usuń słówko z ciągu powtórek"),
                             QRect(unitX, 542, unitWidth, 22));
    restoreButton_ = AddButton("K_Przywroc", QStringLiteral("Przywróć jednostkę (z kosza)"),
                               QRect(unitX, 566, unitWidth, 22));

    // The list side.
    listHeading_ = MakeLabel(this, QStringLiteral("l_naglowek_cw"), QStringLiteral("Wybrano:"),
                             QRect(kRight, 154, 64, 18), 9);
    listCount_ = MakeLabel(this, QStringLiteral("L_Ile_cw"), QString(),
                           QRect(kRight + 64, 154, kSideWidth - 64, 18), 9);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("ListBox1"));
    list_->setGeometry(kRight, 174, kSideWidth, 156);
    list_->setFont(courseFont);
    list_->setUniformItemSizes(true);
    list_->setStyleSheet(
        QStringLiteral("QListWidget { background: white; color: black; }"
                       "QListWidget::item { padding-left: 2px; }"
                       "QListWidget::item:selected { background: navy; color: white; }"));
    list_->installEventFilter(this);
    int y = 336;
    const auto sideButton = [&](const char* name, const QString& text) {
        QPushButton* button = AddButton(name, text, QRect(kRight, y, kSideWidth, 22));
        y += 25;
        return button;
    };
    removeButton_ = sideButton("k_usun", QStringLiteral("Usuń wybrane słówko"));
    removeAllButton_ = sideButton("K_usun_all", QStringLiteral("Usuń wszystkie wybrane pozycje"));
    saveButton_ = sideButton("K_Zapisz_cw", QStringLiteral("Zapisz ćwiczenie ..."));
    saveAsButton_ = sideButton("K_zapisz_jako", QStringLiteral("Zapisz ćwiczenie pod nazwą ..."));
    learnButton_ = sideButton("K_Nauka", QStringLiteral("Rozpocznij naukę wybranych słówek"));
    clipboardButton_ = sideButton("K_do_schowka", QStringLiteral("Przenieś słówka do schowka"));
    y += 8;
    loadButton_ = sideButton("K_wczytaj", QStringLiteral("Wczytaj zapisane ćwiczenie ..."));
    importButton_ = sideButton("K_import_qa", QStringLiteral("Importuj nowe słówka z pliku QA"));
    // Exchange with other trainers: the composed list out, a file of units in.
    exportButton_ = AddButton("K_eksport", QStringLiteral("Eksportuj listę ..."),
                              QRect(kRight, y, kSideWidth / 2 - 2, 22));
    exportButton_->setToolTip(
        QStringLiteral("Zapisz wybrane słówka w pliku dla innych programów do nauki słówek"));
    importFileButton_ = AddButton("K_import_plik", QStringLiteral("Importuj KVTML/CSV ..."),
                                  QRect(kRight + kSideWidth / 2 + 2, y, kSideWidth / 2 - 2, 22));
    importFileButton_->setToolTip(
        QStringLiteral("Dodaj własne słówka z pliku KVTML, TSV lub CSV innego programu"));
    auto* exportMenu = new QMenu(exportButton_);
    exportMenu->setObjectName(QStringLiteral("M_eksport"));
    const std::pair<const char*, QString> formats[] = {
        {"M_eksport_kvtml", QStringLiteral("KVTML (programy do nauki słówek)")},
        {"M_eksport_tsv", QStringLiteral("TSV (tekst z tabulatorami)")},
        {"M_eksport_csv", QStringLiteral("CSV (arkusz kalkulacyjny)")}};
    const ExchangeFormat formatOf[] = {ExchangeFormat::Kvtml, ExchangeFormat::Tsv,
                                       ExchangeFormat::Csv};
    for (std::size_t i = 0; i < std::size(formats); ++i) {
        QAction* action = exportMenu->addAction(formats[i].second);
        action->setObjectName(QString::fromLatin1(formats[i].first));
        const ExchangeFormat format = formatOf[i];
        connect(action, &QAction::triggered, this, [this, format] { ExportComposed(format); });
    }
    exportButton_->setMenu(exportMenu);

    noAutoPlay_ = new QCheckBox(QStringLiteral("Wyłącz automatyczne odtwarzanie nagrań"), this);
    noAutoPlay_->setObjectName(QStringLiteral("CB_Graj"));
    noAutoPlay_->setGeometry(kRight, 566, kSideWidth, 22);
    noAutoPlay_->setFocusPolicy(Qt::TabFocus);
    noAutoPlay_->setChecked(false);

    closeButton_ = MakeImageButton(context_, kImageClose, QStringLiteral("K_Koniec"),
                                   QStringLiteral("X"), this, QPoint(kWidth - 4, 4), QSize(24, 24));
    closeButton_->setToolTip(QStringLiteral("Zamknij"));

    // The pictures of the grid, kept as the window's hidden pictures.
    auto* delegate = static_cast<GridDelegate*>(grid_->itemDelegate());
    const std::pair<const char*, QPixmap> icons[] = {{"ico_nagranie", delegate->recording()},
                                                     {"ico_typ1", delegate->kind(1)},
                                                     {"ico_typ2", delegate->kind(2)},
                                                     {"ico_typ3", delegate->kind(3)}};
    for (const auto& [name, pixmap] : icons) {
        auto* picture = new QLabel(this);
        picture->setObjectName(QString::fromLatin1(name));
        picture->setPixmap(pixmap);
        picture->hide();
    }

    connect(allButton_, &QAbstractButton::clicked, this, &BrowserWindow::ListAll);
    connect(filterButton_, &QAbstractButton::clicked, this, &BrowserWindow::ShowFilter);
    connect(searchButton_, &QAbstractButton::clicked, this, &BrowserWindow::Search);
    connect(applyButton_, &QAbstractButton::clicked, this, &BrowserWindow::ApplyFilter);
    connect(composeButton_, &QAbstractButton::clicked, this, &BrowserWindow::Compose);
    connect(grid_, &QAbstractItemView::clicked, this, &BrowserWindow::ShowDescription);
    connect(grid_, &QAbstractItemView::doubleClicked, this, &BrowserWindow::Compose);
    connect(grid_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &BrowserWindow::SelectionChanged);
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        connect(grid_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &BrowserWindow::SelectionChanged, Qt::UniqueConnection);
    });
    connect(list_, &QListWidget::itemClicked, this, &BrowserWindow::ListItemClicked);
    connect(removeButton_, &QAbstractButton::clicked, this, [this] { RemoveListItem(true); });
    connect(removeAllButton_, &QAbstractButton::clicked, this, &BrowserWindow::RemoveAll);
    connect(saveButton_, &QAbstractButton::clicked, this, &BrowserWindow::SaveAgain);
    connect(saveAsButton_, &QAbstractButton::clicked, this, &BrowserWindow::SaveAs);
    connect(loadButton_, &QAbstractButton::clicked, this, &BrowserWindow::LoadSet);
    connect(learnButton_, &QAbstractButton::clicked, this, &BrowserWindow::Learn);
    connect(clipboardButton_, &QAbstractButton::clicked, this, &BrowserWindow::CopyToClipboard);
    connect(importButton_, &QAbstractButton::clicked, this, &BrowserWindow::ImportQa);
    connect(importFileButton_, &QAbstractButton::clicked, this, &BrowserWindow::ImportExchangeFile);
    connect(commentButton_, &QAbstractButton::clicked, this, &BrowserWindow::Comment);
    connect(editButton_, &QAbstractButton::clicked, this, &BrowserWindow::EditUnit);
    connect(deleteButton_, &QAbstractButton::clicked, this, &BrowserWindow::DeleteUnit);
    connect(resetButton_, &QAbstractButton::clicked, this, &BrowserWindow::ResetUnit);
    connect(restoreButton_, &QAbstractButton::clicked, this, &BrowserWindow::RestoreUnit);
    connect(closeButton_, &QAbstractButton::clicked, this, &QDialog::reject);
}

void BrowserWindow::BuildFilterBoxes() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(9);
    filterHeadings_ =
        MakeLabel(this, QStringLiteral("L_Filtr_opis"), QString::fromUtf8(kFilterHeadings),
                  QRect(kLeft, 106, kWidth - 2 * kLeft, 16), 9);
    filterHeadings_->setFont(font);
    filterHeadings_->setTextFormat(Qt::PlainText);
    // Each box stands under its heading in the label.
    const QString text = filterHeadings_->text();
    const QFontMetrics metrics = filterHeadings_->fontMetrics();
    const char* headings[] = {
        "Grupa tematyczna:", "Poziom:", "Typ:", "Typ jedn.:", "Uczysz się:", "Inne:"};
    const char* names[] = {"CB_Gr_Tem",   "CB_Poziom", "CB_Rodzaj",
                           "CB_Jakie_Cw", "CB_Uczone", "CB_Filtr_2"};
    std::array<int, 7> x{};
    int from = 0;
    for (int i = 0; i < 6; ++i) {
        const int at = static_cast<int>(text.indexOf(QString::fromUtf8(headings[i]), from));
        from = at + 1;
        x[static_cast<std::size_t>(i)] = kLeft + metrics.horizontalAdvance(text.left(at));
    }
    x[6] = x[5] + 110;
    std::array<QComboBox*, 6> boxes{};
    for (int i = 0; i < 6; ++i) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(names[i]));
        box->setFont(font);
        const int left = x[static_cast<std::size_t>(i)];
        const int right = x[static_cast<std::size_t>(i + 1)] - 4;
        box->setGeometry(left, 124, std::max(40, right - left), 22);
        box->setFocusPolicy(Qt::StrongFocus);
        box->installEventFilter(this);
        boxes[static_cast<std::size_t>(i)] = box;
    }
    groupBox_ = boxes[0];
    levelBox_ = boxes[1];
    partBox_ = boxes[2];
    kindBox_ = boxes[3];
    learntBox_ = boxes[4];
    otherBox_ = boxes[5];
    const auto fill = [](QComboBox* box, const auto& items) {
        for (const std::string_view item : items) {
            box->addItem(Utf8(item));
        }
    };
    fill(levelBox_, kLevelItems);
    fill(partBox_, kPartItems);
    fill(kindBox_, kKindItems);
    fill(learntBox_, kLearntItems);
    fill(otherBox_, kOtherItems);
}

void BrowserWindow::FillGroups() {
    groupBox_->clear();
    groupIds_.clear();
    groupBox_->addItem(Utf8(kAllGroupsItem));
    groupIds_.push_back(0);
    for (const Group& group : context_.session.db.groups) {
        if (group.groupId > 0) {
            groupBox_->addItem(Polish(group.name));
            groupIds_.push_back(group.groupId);
        }
    }
    groupBox_->setCurrentIndex(0);
}

int BrowserWindow::language() const {
    return context_.session.db.params.language;
}

void BrowserWindow::Browse() {
    Prepare();
    exec();
}

void BrowserWindow::Prepare() {
    LearnerSession& session = context_.session;
    changes_ = {};
    session.currentSet.name.clear();
    session.currentSet.setKey.clear();
    session.currentSet.ready = false;
    if (!backgroundLoaded_) {
        background_ = InterfacePicture(context_.paths(), "generator.bmp");
        backgroundLoaded_ = true;
    }
    FillGroups();
    for (QComboBox* box : {levelBox_, partBox_, kindBox_, learntBox_, otherBox_}) {
        box->setCurrentIndex(0);
    }
    const bool twoColumns = language() == 1 || language() == 2;
    model_->SetColumns(twoColumns ? 2 : 1);
    if (twoColumns) {
        grid_->setColumnWidth(0, kColumnWidth);
        grid_->setColumnWidth(1, kColumnWidth);
    } else {
        grid_->setColumnWidth(0, 2 * kColumnWidth);
    }
    description_->setGeometry(twoColumns ? kDescriptionHigh : kDescriptionLow);
    example_->setVisible(!twoColumns);
    importButton_->setVisible(twoColumns);
    composed_.clear();
    played_.clear();
    soundErrorShown_ = false;
    list_->clear();
    ListAll();
    RefreshListSide();
    loadButton_->setVisible(session.history.count() > 0);
}

// ---- Listing ------------------------------------------------------------------------------------

void BrowserWindow::SetMode(Mode mode) {
    mode_ = mode;
    QPushButton* active = mode == Mode::All      ? allButton_
                          : mode == Mode::Filter ? filterButton_
                                                 : searchButton_;
    const QRect area = active->geometry();
    modeFrame_->setGeometry(area.left() - 10, area.top(), 6, area.height());
}

void BrowserWindow::ShowFilterBoxes(bool shown) {
    for (QWidget* widget :
         std::initializer_list<QWidget*>{groupBox_, levelBox_, partBox_, kindBox_, learntBox_,
                                         otherBox_, filterHeadings_, applyButton_}) {
        widget->setVisible(shown);
    }
}

void BrowserWindow::ListAll() {
    SetMode(Mode::All);
    ShowFilterBoxes(false);
    query_.clear();
    searched_ = false;
    ShowList(AllUnits(context_.session.db.units));
}

void BrowserWindow::ShowFilter() {
    SetMode(Mode::Filter);
    query_.clear();
    searched_ = false;
    ShowFilterBoxes(true);
    ApplyFilter();
}

void BrowserWindow::ApplyFilter() {
    const std::size_t groupIndex = static_cast<std::size_t>(std::max(0, groupBox_->currentIndex()));
    BrowserFilter filter;
    filter.groupId = groupIndex < groupIds_.size() ? groupIds_[groupIndex] : 0;
    filter.level = std::max(0, levelBox_->currentIndex());
    filter.partOfSpeech = std::max(0, partBox_->currentIndex());
    filter.unitKind = std::max(0, kindBox_->currentIndex());
    filter.learnt = static_cast<LearntFilter>(std::max(0, learntBox_->currentIndex()));
    filter.other = static_cast<OtherFilter>(std::max(0, otherBox_->currentIndex()));
    const LearnerSession& session = context_.session;
    BusyCursor busy(session.db.units.unitCount() >= kBusyFrom);
    ShowList(FilterUnits(session.db.units, session.repetitions, filter));
}

void BrowserWindow::Search() {
    if (!dialogs_.askSearch) {
        return;
    }
    const std::optional<BrowserQuery> query = dialogs_.askSearch();
    if (!query) {
        return;
    }
    std::vector<int> found;
    {
        const UnitTable& units = context_.session.db.units;
        BusyCursor busy(units.unitCount() >= kBusyFrom);
        found = SearchUnits(units, query->foreign, query->polish, query->flags);
    }
    SetMode(Mode::Search);
    ShowFilterBoxes(false);
    query_ = query->shown;
    searched_ = true;
    ShowList(std::move(found));
}

void BrowserWindow::ShowList(std::vector<int> units) {
    BusyCursor busy(units.size() >= static_cast<std::size_t>(kBusyFrom) &&
                    units != model_->units());
    if (units != model_->units()) {
        ++gridResets_;
        model_->SetUnits(std::move(units));
        grid_->scrollToTop();
    }
    RefreshGrid();
}

void BrowserWindow::RefreshGrid() {
    description_->clear();
    example_->clear();
    const int count = static_cast<int>(model_->units().size());
    countLine_->setText(Utf8(GridCountText(count, searched_, query_, language())));
    grid_->clearSelection();
    grid_->viewport()->update();
    for (QWidget* button : std::initializer_list<QWidget*>{
             editButton_, deleteButton_, commentButton_, restoreButton_, resetButton_}) {
        button->hide();
    }
    composeButton_->setVisible(count > 0);
}

// ---- The chosen unit ----------------------------------------------------------------------------

std::vector<int> BrowserWindow::SelectedUnits() const {
    QModelIndexList rows = grid_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<int> units;
    units.reserve(static_cast<std::size_t>(rows.size()));
    for (const QModelIndex& index : rows) {
        if (const int n = model_->UnitAt(index.row()); n > 0) {
            units.push_back(n);
        }
    }
    return units;
}

int BrowserWindow::TopSelectedUnit() const {
    const std::vector<int> units = SelectedUnits();
    return units.empty() ? 0 : units.front();
}

void BrowserWindow::SelectionChanged() {
    const int n = TopSelectedUnit();
    const bool own = n > 0 && context_.session.db.units.unit(n).recordingSource == 1;
    editButton_->setVisible(own);
    deleteButton_->setVisible(own);
}

void BrowserWindow::ShowDescription() {
    description_->clear();
    example_->clear();
    const std::vector<int> units = SelectedUnits();
    commentButton_->setVisible(!units.empty());
    if (units.size() != 1) {
        return;
    }
    const int n = units.front();
    const LearnerSession& session = context_.session;
    const Unit& unit = session.db.units.unit(n);
    const QString text = Lines(UnitDescription(session.db, session.repetitions, n));
    const bool sentence = unit.unitKind == kSentenceUnit;
    const QString foreign = Foreign(unit.foreignText, session.db.params.foreignCodePage());
    if (language() == 1 || language() == 2) {
        description_->setText(sentence ? foreign + QLatin1Char('\n') + text : text);
    } else {
        description_->setText(text);
        if (sentence) {
            example_->setText(foreign);
        }
    }
    restoreButton_->hide();
    const RepetitionButtons buttons = n <= session.repetitions.capacity()
                                          ? RepetitionButtonsFor(session.repetitions.record(n))
                                          : RepetitionButtons{};
    resetButton_->setVisible(buttons.reset);
    restoreButton_->setVisible(buttons.restore);
    // The box switches the playing off; unticked, recordings play.
    if (!noAutoPlay_->isChecked()) {
        PlayRecordings(unit);
    }
}

void BrowserWindow::PlayRecordings(const Unit& unit) {
    const AppPaths& paths = context_.paths();
    std::vector<std::string> files;
    if (std::string path = RecordingPath(paths, unit); !path.empty()) {
        files.push_back(std::move(path));
    }
    if (unit.unitKind == kQaUnit && !TrimView(unit.answerRecording).empty()) {
        if (std::string path = AnswerRecordingPath(paths, unit); !path.empty()) {
            files.push_back(std::move(path));
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        played_.push_back(files[i]);
        if (context_.sound == nullptr) {
            continue;
        }
        // The question's recording ends before the answer's starts.
        const std::string error = context_.sound->PlaySound(files[i], i + 1 < files.size());
        if (!error.empty()) {
            // Said once while the window is open: without a sound device every click on the
            // grid would bring the same message back.
            if (!soundErrorShown_) {
                soundErrorShown_ = true;
                ShowMessage(Utf8(error));
            }
            return;
        }
    }
}

// ---- Composing ----------------------------------------------------------------------------------

void BrowserWindow::Compose() {
    if (!composeButton_->isVisible()) {
        return;
    }
    const std::vector<int> selected = SelectedUnits();
    const ComposeResult result = AddToComposed(context_.session.db.units, selected, composed_);
    if (result.added > 0) {
        RefreshListSide();
    }
    if (result.limitHit) {
        ShowMessage(Utf8(kComposedLimitMessage));
    }
}

void BrowserWindow::ListItemClicked() {
    removeButton_->setVisible(list_->currentRow() >= 0);
}

void BrowserWindow::RemoveListItem(bool ask) {
    const int row = list_->currentRow();
    if (row < 0 || row >= static_cast<int>(composed_.size())) {
        return;
    }
    if (ask && !Ask(QString::fromUtf8(kDeleteItemQuestion))) {
        return;
    }
    composed_.erase(composed_.begin() + row);
    RefreshListSide();
    if (row < list_->count()) {
        list_->setCurrentRow(row);
        removeButton_->show();
    }
}

void BrowserWindow::RemoveAll() {
    if (!Ask(QString::fromUtf8(kDeleteAllQuestion))) {
        return;
    }
    composed_.clear();
    RefreshListSide();
}

void BrowserWindow::RefreshListSide() {
    const LearnerSession& session = context_.session;
    const CodePage page = session.db.params.foreignCodePage();
    list_->clear();
    for (const int n : composed_) {
        list_->addItem(Foreign(session.db.units.unit(n).foreignText, page));
    }
    const bool any = !composed_.empty();
    for (QWidget* widget :
         std::initializer_list<QWidget*>{saveButton_, saveAsButton_, learnButton_, removeAllButton_,
                                         list_, listHeading_, listCount_}) {
        widget->setVisible(any);
    }
    // Exporting needs a folder to write to; without the export button the import takes the
    // whole row.
    const bool exportShown = any && dialogs_.chooseFolder != nullptr;
    exportButton_->setVisible(exportShown);
    const QRect row(kRight, exportButton_->y(), kSideWidth, exportButton_->height());
    importFileButton_->setGeometry(exportShown ? row.adjusted(kSideWidth / 2 + 2, 0, 0, 0) : row);
    clipboardButton_->setVisible(any && (language() == 1 || language() == 2));
    removeButton_->hide();
    QString count = QString::number(composed_.size());
    if (!session.currentSet.setKey.empty()) {
        count += QStringLiteral(", cw: ") + Polish(session.currentSet.name);
    }
    listCount_->setText(count);
}

// ---- Sets ---------------------------------------------------------------------------------------

void BrowserWindow::SaveAs() {
    if (!dialogs_.askSetParameters) {
        return;
    }
    const std::optional<SetParameters> chosen = dialogs_.askSetParameters();
    if (!chosen || Trim(chosen->name).empty()) {
        return;
    }
    LearnerSession& session = context_.session;
    const std::string name = Trim(chosen->name);
    const SaveComposedResult result = SaveComposedAsSet(
        session.paths, language(), session.db.units, composed_, name, chosen->groupId,
        chosen->level, [this] { return Ask(Utf8(kSetExistsQuestion)); }, session.history,
        context_.clock.Now());
    if (result.saved) {
        PutComposedIntoSet(session.db.units, composed_, session.currentSet);
        session.currentSet.name = name;
        session.currentSet.setKey = SaveAsKey(chosen->groupId, chosen->level);
    }
    AfterSave(result.message, result.saved);
}

void BrowserWindow::SaveAgain() {
    LearnerSession& session = context_.session;
    if (session.currentSet.name.empty()) {
        SaveAs();
        return;
    }
    const SaveAgainResult result =
        SaveComposedAgain(session.paths, language(), session.db.units, composed_,
                          session.currentSet, session.history, context_.clock.Now());
    AfterSave(result.message, result.saved);
}

void BrowserWindow::AfterSave(const std::string& message, bool saved) {
    if (saved) {
        if (dialogs_.setsChanged) {
            dialogs_.setsChanged();
        }
        loadButton_->setVisible(context_.session.history.count() > 0);
        RefreshGrid();
        RefreshListSide();
    } else if (dialogs_.setsChanged) {
        dialogs_.setsChanged();
    }
    if (!message.empty()) {
        ShowMessage(Utf8(message));
    }
}

void BrowserWindow::LoadSet() {
    CurrentSet& set = context_.session.currentSet;
    set.count = 0;
    if (!dialogs_.chooseSet) {
        return;
    }
    const std::optional<std::vector<std::int32_t>> units = dialogs_.chooseSet();
    if (units && !units->empty()) {
        composed_.assign(units->begin(), units->end());
        if (composed_.size() > static_cast<std::size_t>(kMaxComposedUnits)) {
            composed_.resize(static_cast<std::size_t>(kMaxComposedUnits));
        }
    }
    RefreshListSide();
}

void BrowserWindow::Learn() {
    LearnerSession& session = context_.session;
    if (session.db.units.unitCount() < kMinUnitsToLearn) {
        ShowMessage(QString::fromUtf8(kTooFewUnitsText));
        return;
    }
    CurrentSet& set = session.currentSet;
    PutComposedIntoSet(session.db.units, composed_, set);
    const bool sentences = dialogs_.exampleSentences && dialogs_.exampleSentences();
    PrepareSetForSession(set, session.db.units, session.db.relations,
                         WantsRelatedSentences(session.settings, sentences), session.plan);
    const std::string info =
        BuildPlan(dyd::SelectedUnits(set), SessionMode::Learning, session.db.units,
                  session.db.params, session.settings, session.repetitions, session.plan);
    if (dialogs_.openPlan) {
        dialogs_.openPlan(info);
    }
    // The session may have changed what the grid shows (repetitions, the trash).
    RefreshGrid();
}

void BrowserWindow::CopyToClipboard() {
    const LearnerSession& session = context_.session;
    QGuiApplication::clipboard()->setText(
        Utf8(ClipboardText(session.db.units, composed_, session.db.params.foreignCodePage())));
    ShowMessage(QString::fromUtf8(kCopiedText));
}

void BrowserWindow::ImportQa() {
    if (!dialogs_.chooseFile) {
        return;
    }
    const std::optional<std::string> path = dialogs_.chooseFile();
    if (!path) {
        return;
    }
    LearnerSession& session = context_.session;
    const QaImportResult result = ImportQaFileIntoDatabase(*path, session.db, session.repetitions);
    if (!result.message.empty()) {
        ShowMessage(Utf8(result.message));
    }
    ShowMessage(Utf8(QaImportedText(result.imported)));
    if (result.imported > 0) {
        AfterImport();
    }
}

void BrowserWindow::AfterImport() {
    changes_.userUnits = true;
    if (mode_ == Mode::Filter) {
        ApplyFilter();
    } else if (mode_ == Mode::All) {
        ShowList(AllUnits(context_.session.db.units));
    }
}

// ---- Exchange with other trainers ---------------------------------------------------------------

namespace {

// A file name from a set's name: no folder separators or control characters.
std::string ExportFileName(std::string name) {
    for (char& c : name) {
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) {
            c = '_';
        }
    }
    name = Trim(name);
    return name.empty() || name == "." || name == ".." ? std::string("lista") : name;
}

std::string_view Extension(ExchangeFormat format) {
    switch (format) {
        case ExchangeFormat::Tsv:
            return ".tsv";
        case ExchangeFormat::Csv:
            return ".csv";
        case ExchangeFormat::Kvtml:
            break;
    }
    return ".kvtml";
}

constexpr int kErrorsShown = 10;

}  // namespace

void BrowserWindow::ExportComposed(ExchangeFormat format) {
    if (composed_.empty() || !dialogs_.chooseFolder) {
        return;
    }
    const std::optional<std::string> folder = dialogs_.chooseFolder();
    if (!folder || folder->empty()) {
        return;
    }
    const LearnerSession& session = context_.session;
    ExchangeList list = EntriesOfUnits(session.db, composed_);
    std::string name = "lista";
    if (!session.currentSet.setKey.empty() && !session.currentSet.name.empty()) {
        list.title = ToUtf8(session.currentSet.name, CodePage::Cp1250);
        name = list.title;
    }
    std::string path = *folder;
    if (path.back() != '/') {
        path += '/';
    }
    path += ExportFileName(name);
    path += Extension(format);
    if (FileExists(path) && !Ask(Utf8(kReplaceFileQuestion))) {
        return;
    }
    std::string error;
    if (!WriteFileAtomically(path, WriteExchange(list, format), &error)) {
        ShowMessage(QStringLiteral("Nie zapisałem pliku ") + QString::fromStdString(path) +
                    QStringLiteral(": ") + QString::fromStdString(error));
        return;
    }
    ShowMessage(QStringLiteral("Zapisano jednostek: %1 w pliku %2")
                    .arg(list.entries.size())
                    .arg(QString::fromStdString(path)));
}

void BrowserWindow::ImportExchangeFile() {
    if (!dialogs_.chooseFile) {
        return;
    }
    const std::optional<std::string> path = dialogs_.chooseFile();
    if (!path) {
        return;
    }
    LearnerSession& session = context_.session;
    const ExchangeImportResult result =
        ImportExchangeFileIntoDatabase(*path, session.db, session.repetitions);
    if (!result.errors.empty()) {
        QString text = QStringLiteral("Nic nie zaimportowano. Błędy w pliku:");
        const int shown = std::min(kErrorsShown, static_cast<int>(result.errors.size()));
        for (int i = 0; i < shown; ++i) {
            text += QLatin1Char('\n') + QString::fromStdString(ExchangeErrorText(
                                            result.errors[static_cast<std::size_t>(i)]));
        }
        if (static_cast<int>(result.errors.size()) > shown) {
            text += QStringLiteral("\n(i jeszcze %1)").arg(result.errors.size() - shown);
        }
        ShowMessage(text);
        return;
    }
    ShowMessage(Utf8(ExchangeImportedText(result.imported)));
    AfterImport();
}

// ---- One unit -----------------------------------------------------------------------------------

void BrowserWindow::Comment() {
    const int n = TopSelectedUnit();
    if (n <= 0 || dialogs_.comment == nullptr) {
        return;
    }
    Unit& unit = context_.session.db.units.unit(n);
    const std::optional<std::string> text =
        dialogs_.comment->AskBytes(QString(), unit.userComment, kCommentLength, CodePage::Cp1250);
    if (!text) {
        return;
    }
    if (*text != unit.userComment) {
        unit.userComment = *text;
        context_.session.db.commentsDirty = true;
    }
    if (!description_->text().isEmpty()) {
        ShowDescription();
    }
}

void BrowserWindow::EditUnit() {
    const int n = TopSelectedUnit();
    if (n <= 0 || !dialogs_.editUnit) {
        return;
    }
    if (dialogs_.editUnit(n, composed_)) {
        changes_.userUnits = true;
    }
    model_->TextsChanged();
    RefreshGrid();
    RefreshListSide();
}

void BrowserWindow::DeleteUnit() {
    const int n = TopSelectedUnit();
    if (n <= 0 || !Ask(QString::fromUtf8(kDeleteUnitQuestion))) {
        return;
    }
    LearnerSession& session = context_.session;
    const DeleteResult result = DeleteOwnUnit(session.db, session.repetitions, n);
    changes_.userUnits = true;
    changes_.repetitions = changes_.repetitions || result.repetitionsChanged;
    // A deleted unit has no id left to save in a set.
    if (const auto it = std::find(composed_.begin(), composed_.end(), n); it != composed_.end()) {
        composed_.erase(it);
        RefreshListSide();
    }
    ShowMessage(QString::fromUtf8(kUnitDeletedText));
    model_->TextsChanged();
    RefreshGrid();
}

void BrowserWindow::ResetUnit() {
    const int n = TopSelectedUnit();
    if (n <= 0) {
        return;
    }
    ResetRepetitions(context_.session.repetitions, n);
    changes_.repetitions = true;
    resetButton_->hide();
    restoreButton_->hide();
}

void BrowserWindow::RestoreUnit() {
    const int n = TopSelectedUnit();
    if (n <= 0) {
        return;
    }
    RestoreFromTrash(context_.session.repetitions, n);
    changes_.repetitions = true;
    ShowMessage(QString::fromUtf8(kRestoredText));
    RefreshGrid();
}

// ---- Dialogs, keys, closing ---------------------------------------------------------------------

void BrowserWindow::ShowMessage(const QString& text) {
    if (dialogs_.messages != nullptr) {
        dialogs_.messages->ShowMessage(text);
    } else {
        MessageBox::Show(context_, text, this);
    }
}

bool BrowserWindow::Ask(const QString& question) {
    if (dialogs_.confirmation != nullptr) {
        return dialogs_.confirmation->Ask(question);
    }
    return ConfirmationDialog::Confirm(context_, question, this);
}

bool BrowserWindow::HandleKey(int key) {
    if ((modifiers_ & ~Qt::KeypadModifier) == Qt::ControlModifier) {
        switch (key) {
            case Qt::Key_G:
            case Qt::Key_W:
                ShowDescription();
                return true;
            case Qt::Key_F:
            case Qt::Key_3:
                Search();
                return true;
            case Qt::Key_1:
                ListAll();
                return true;
            case Qt::Key_2:
                ShowFilter();
                return true;
            case Qt::Key_D:
            case Qt::Key_K:
                Comment();
                return true;
            default:
                break;
        }
    }
    return KeyedDialog::HandleKey(key);
}

bool BrowserWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* press = static_cast<QKeyEvent*>(event);
        modifiers_ = press->modifiers();
        if (watched == list_ && press->key() == Qt::Key_Delete) {
            RemoveListItem(false);
            return true;
        }
    }
    return KeyedDialog::eventFilter(watched, event);
}

void BrowserWindow::keyPressEvent(QKeyEvent* event) {
    modifiers_ = event->modifiers();
    KeyedDialog::keyPressEvent(event);
}

void BrowserWindow::done(int result) {
    if (isVisible()) {
        LearnerSession& session = context_.session;
        const bool saving = changes_.repetitions || changes_.userUnits || session.db.commentsDirty;
        if (saving && dialogs_.progress != nullptr) {
            dialogs_.progress->ShowWithText(Utf8(kSavingRepetitionsTitle));
        }
        const std::vector<std::string> messages =
            SaveBrowserChanges(session, changes_, context_.clock);
        if (dialogs_.progress != nullptr) {
            dialogs_.progress->hide();
        }
        changes_ = {};
        for (const std::string& message : messages) {
            ShowMessage(Utf8(message));
        }
    }
    KeyedDialog::done(result);
}

void BrowserWindow::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, QStringLiteral("Przeglądanie bazy"));
}

void BrowserWindow::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, kWidth, kHeight);
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        grid_->setFocus();
    }
}

}  // namespace dyd::ui
