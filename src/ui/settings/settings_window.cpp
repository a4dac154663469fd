#include "ui/settings/settings_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>

#include "core/repetitions.h"
#include "core/session_plan.h"
#include "ui/app_context.h"
#include "ui/shell/database_parameters_window.h"
#include "ui/shell/dialogs.h"
#include "ui/widgets/focus_marks.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_paint.h"
#include "ui/widgets/window_parts.h"

namespace dyd::ui {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
const QString kHelpPage = QStringLiteral("ustawienia.html");
// The action buttons are drawn as text buttons: the image list has no pictures for them.
constexpr int kNoPicture = -1;

const QRect kPanelArea(16, 112, 608, 316);
constexpr int kPanelWidth = 608;

QComboBox* MakeCombo(QWidget* parent, const QString& name, const QRect& area) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setGeometry(area);
    box->setCursor(Qt::PointingHandCursor);
    return box;
}

QListWidget* MakeList(QWidget* parent, const QString& name, const QRect& area) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setGeometry(area);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
    list->setFont(QFont(QStringLiteral("Arial"), 9));
    return list;
}

QCheckBox* MakeCheck(QWidget* parent, const QString& name, const QString& text, const QRect& area) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setGeometry(area);
    box->setCursor(Qt::PointingHandCursor);
    return box;
}

QListWidgetItem* CheckItem(QListWidget* list, const QString& text, int data, bool checked) {
    auto* item = new QListWidgetItem(text, list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    item->setData(Qt::UserRole, data);
    return item;
}

// A list position that the list holds, else none (-1).
void SelectPosition(QComboBox* box, int position) {
    box->setCurrentIndex(position >= 0 && position < box->count() ? position : -1);
}

}  // namespace

SettingsWindow::SettingsWindow(AppContext& context, QWidget* parent)
    : KeyedDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm12"));
    setWindowTitle(QStringLiteral("Ustawienia"));
    setModal(true);
    MakeBorderlessCentred(this, kWidth, kHeight);

    const QString pageNames[3] = {QStringLiteral("L_cw"), QStringLiteral("l_powt"),
                                  QStringLiteral("L_inne")};
    const QString pageTexts[3] = {QStringLiteral("Ćwiczenia"), QStringLiteral("Powtórki"),
                                  QStringLiteral("Inne")};
    for (int i = 0; i < 3; ++i) {
        QLabel* label = MakeLabel(this, pageNames[i], pageTexts[i],
                                  QRect(24 + i * 150, 78, 134, 26), 12);
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
        label->setAlignment(Qt::AlignCenter);
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
        ClickWithKeys(label);
        pageLabels_[i] = label;

        auto* panel = new QWidget(this);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panel->setGeometry(kPanelArea);
        panels_[i] = panel;
    }
    shape_ = new QFrame(this);
    shape_->setObjectName(QStringLiteral("Shape1"));
    shape_->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    shape_->setStyleSheet(
        QStringLiteral("QFrame#Shape1 { border: 2px solid rgb(200, 30, 30); border-radius: 4px; "
                       "background: transparent; }"));

    BuildExercisesPage();
    BuildRepetitionsPage();
    BuildOtherPage();

    okButton_ = MakeImageButton(context, kImageOk, QStringLiteral("B_Ok"), QStringLiteral("OK"),
                                this, QPoint(kWidth - 16, kHeight - 44), QSize(90, 32));
    closeButton_ = MakeImageButton(context, kImageClose, QStringLiteral("B_Zamknij"),
                                   QStringLiteral("X"), this, QPoint(kWidth, 0), QSize(24, 24));
    closeButton_->setToolTip(QStringLiteral("Zamknij"));
    for (ImageButton* button : findChildren<ImageButton*>()) {
        button->setCursor(Qt::PointingHandCursor);
    }
    connect(okButton_, &QAbstractButton::clicked, this, &SettingsWindow::Confirm);
    connect(closeButton_, &QAbstractButton::clicked, this, &QDialog::reject);

    for (QListWidget* list : findChildren<QListWidget*>()) {
        list->installEventFilter(this);
    }
    for (QLineEdit* field : findChildren<QLineEdit*>()) {
        field->installEventFilter(this);
    }
    for (QCheckBox* box : findChildren<QCheckBox*>()) {
        box->installEventFilter(this);
    }
    SetKeys({&context_, kHelpPage, false, okButton_, [this] { Confirm(); }});
    ChoosePage(SettingsPage::Exercises);
}

void SettingsWindow::BuildExercisesPage() {
    QWidget* page = panels_[0];
    QLabel* heading =
        MakeLabel(page, QStringLiteral("Label1"),
                  QStringLiteral("Ćwiczenia w trybie nauki (nowego materiału):"),
                  QRect(8, 0, 300, 20), 9);
    heading->setWordWrap(true);
    kindTable_ = MakeCombo(page, QStringLiteral("CB_Rodzaj_Cw"), QRect(8, 24, 180, 26));
    for (const char* name : kLearningKindTableNames) {
        kindTable_->addItem(QString::fromUtf8(name));
    }
    kinds_ = MakeList(page, QStringLiteral("LB_Cw_dostepne"), QRect(8, 56, 300, 252));
    connect(kindTable_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) {
            workingTable_ = index + 1;
            FillKinds();
        }
    });
    connect(kinds_, &QListWidget::itemChanged, this, &SettingsWindow::KindChecked);

    MakeLabel(page, QStringLiteral("Label2"), QStringLiteral("\"Przerywniki\" ćwiczeń:"),
              QRect(328, 0, 272, 20), 9);
    interludes_ = MakeList(page, QStringLiteral("LB1"), QRect(328, 24, 272, 150));
    interludesAtEnd_ = MakeCheck(page, QStringLiteral("CB_Bonus_koniec"),
                                 QStringLiteral("tylko na końcu ćwiczenia"),
                                 QRect(328, 180, 272, 24));
    sentenceOffer_ = MakeCheck(page, QStringLiteral("CB_Czy_zdania"), QString(),
                               QRect(328, 222, 22, 24));
    sentenceOfferLabel_ = MakeLabel(
        page, QStringLiteral("L_Czy_Zdania"),
        QStringLiteral("Proponuj ćwiczenia na zdaniach z poznanymi słówkami"),
        QRect(352, 222, 248, 40), 9);
    sentenceOfferLabel_->setWordWrap(true);
    sentenceOfferLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    sentenceOfferLabel_->setCursor(Qt::PointingHandCursor);
    sentenceOfferLabel_->installEventFilter(this);
    sentenceOfferLabel_->setBuddy(sentenceOffer_);
}

void SettingsWindow::BuildRepetitionsPage() {
    QWidget* page = panels_[1];
    MakeLabel(page, QStringLiteral("Label3"),
              QStringLiteral("Ćwiczenie wyznaczające powtórkę i weryfikujące znajomość:"),
              QRect(8, 0, 380, 20), 9);
    MakeLabel(page, QStringLiteral("Label4"), QStringLiteral("- słówka:"), QRect(16, 26, 70, 24),
              9);
    wordsKind_ = MakeCombo(page, QStringLiteral("CB_Cw_Wyznacz"), QRect(88, 24, 220, 26));
    for (const int kind : kWordsDeterminingKinds) {
        wordsKind_->addItem(Utf8(KindName(kind)));
    }
    MakeLabel(page, QStringLiteral("Label5"), QStringLiteral("- zdania:"), QRect(16, 56, 70, 24),
              9);
    sentencesKind_ = MakeCombo(page, QStringLiteral("CB_Cw_Wyznacz_Zd"), QRect(88, 54, 220, 26));
    for (const int kind : kSentencesDeterminingKinds) {
        sentencesKind_->addItem(Utf8(KindName(kind)));
    }

    QLabel* frequencyLabel =
        MakeLabel(page, QStringLiteral("Label6"),
                  QStringLiteral("Współczynnik częstotliwości powtórek:"), QRect(400, 0, 200, 44),
                  9);
    frequencyLabel->setWordWrap(true);
    frequencyLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    frequency_ = MakeCombo(page, QStringLiteral("CB_Czestosc_powtorek"), QRect(400, 54, 80, 26));
    for (int item = 1; item <= kFrequencyItems; ++item) {
        frequency_->addItem(QString::number(item));
    }

    MakeLabel(page, QStringLiteral("Label7"), QStringLiteral("Ćwiczenia w trybie Powtórek:"),
              QRect(8, 90, 380, 20), 9);
    rules_ = MakeList(page, QStringLiteral("CB_Typ"), QRect(8, 112, 372, 196));
    connect(rules_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ShowRule(rules_->row(item)); });
    connect(rules_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!filling_) {
            ShowRule(row);
        }
    });
    ruleLabel_ = MakeLabel(page, QStringLiteral("L_zmien"), QStringLiteral("zmień na:"),
                           QRect(392, 112, 208, 20), 9);
    rule_ = MakeCombo(page, QStringLiteral("CB_Cw"), QRect(392, 134, 208, 26));
    for (int rule = 0; rule < kRepetitionRules; ++rule) {
        rule_->addItem(Utf8(RepetitionRuleText(rule)));
    }
    connect(rule_, &QComboBox::activated, this, &SettingsWindow::RuleChosen);

    // Loaded from the settings and given back unchanged: the screen does not show them.
    intensity_ = MakeCombo(page, QStringLiteral("CB_Tryb_Nauki"), QRect(392, 170, 120, 24));
    intensity_->addItems({QStringLiteral("1 dobra odp."), QStringLiteral("2 dobre odp."),
                          QStringLiteral("4 dobre odp.")});
    intensity_->hide();
    intensityOne_ = MakeCheck(page, QStringLiteral("CB_Intens_1"), QString(),
                              QRect(520, 170, 24, 24));
    intensityOne_->setAccessibleName(QStringLiteral("Jedna dobra odpowiedź w powtórkach"));
    intensityOne_->hide();

    importButton_ = MakeImageButton(context_, kNoPicture, QStringLiteral("K_import"),
                                    QStringLiteral("Import z wcześniejszych wersji"), page,
                                    QPoint(kPanelWidth - 8, 236), QSize(208, 30));
    deleteButton_ = MakeImageButton(context_, kNoPicture, QStringLiteral("K_Kasuj_pow"),
                                    QStringLiteral("Skasuj wszystkie powtórki"), page,
                                    QPoint(kPanelWidth - 8, 276), QSize(208, 30));
    // The longer caption takes a point less, so that it fits the button beside the type box.
    QFont smaller = importButton_->font();
    smaller.setPointSizeF(smaller.pointSizeF() - 1);
    importButton_->setFont(smaller);
    connect(importButton_, &QAbstractButton::clicked, this, [this] {
        if (import_) {
            import_();
        }
    });
    connect(deleteButton_, &QAbstractButton::clicked, this, &SettingsWindow::DeleteAll);
}

void SettingsWindow::BuildOtherPage() {
    QWidget* page = panels_[2];
    QLabel* masteredLabel = MakeLabel(
        page, QStringLiteral("Label8"),
        QStringLiteral(
            "Jednostka pojawia się w zakładce 'materiał opanowany', gdy interwał większy jest niż:"),
        QRect(8, 0, 500, 36), 9);
    masteredLabel->setWordWrap(true);
    mastered_ = new QLineEdit(page);
    mastered_->setObjectName(QStringLiteral("E_P_Powt_inter_umiesz"));
    mastered_->setGeometry(530, 4, 60, 26);
    MakeLabel(page, QStringLiteral("Label9"),
              QStringLiteral("Ćwiczenia: przycisk 'Już umiem!' zmienia interwał na:"),
              QRect(8, 42, 500, 22), 9);
    known_ = new QLineEdit(page);
    known_->setObjectName(QStringLiteral("E_P_Powt_juz_Umiem"));
    known_->setGeometry(530, 40, 60, 26);

    statistics_ = MakeCheck(page, QStringLiteral("CB_Czy_statystyka"), QString(),
                            QRect(8, 76, 22, 22));
    statisticsLabel_ = MakeLabel(page, QStringLiteral("Label10"),
                                 QStringLiteral("Pokaż statystykę po każdym ćwiczeniu"),
                                 QRect(32, 76, 400, 22), 9);
    summary_ = MakeCheck(page, QStringLiteral("CB_Info_po_cwicz"), QString(),
                         QRect(8, 102, 22, 22));
    summaryLabel_ = MakeLabel(page, QStringLiteral("Label11"),
                              QStringLiteral("Pokaż podsumowanie ćwiczeń (listę słówek)"),
                              QRect(32, 102, 400, 22), 9);
    statisticsLabel_->setBuddy(statistics_);
    summaryLabel_->setBuddy(summary_);
    for (QLabel* label : {statisticsLabel_, summaryLabel_}) {
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
    }

    MakeLabel(page, QStringLiteral("Label12"), QStringLiteral("Kopie Powtórek:"),
              QRect(8, 134, 300, 20), 9);
    copies_ = MakeList(page, QStringLiteral("ListBox1"), QRect(8, 156, 360, 120));
    restoreButton_ = MakeImageButton(context_, kNoPicture, QStringLiteral("K_import_kopia1"),
                                     QStringLiteral("Wczytaj powtórki z kopii"), page,
                                     QPoint(kPanelWidth - 8, 156), QSize(220, 30));
    restoreButton_->hide();
    connect(copies_, &QListWidget::currentRowChanged, this, [this](int row) {
        restoreButton_->setVisible(row >= 0);
    });
    connect(restoreButton_, &QAbstractButton::clicked, this, &SettingsWindow::RestoreCopy);
    parametersButton_ = MakeImageButton(context_, kNoPicture, QStringLiteral("k_baza_param"),
                                        QStringLiteral("Parametry bazy"), page,
                                        QPoint(kPanelWidth - 8, 246), QSize(220, 30));
    connect(parametersButton_, &QAbstractButton::clicked, this, &SettingsWindow::EditParameters);
    userFolder_ = MakeLabel(page, QStringLiteral("L_Kat_usera"), QString(),
                            QRect(8, 284, kPanelWidth - 16, 22), 9);
    userFolder_->setAccessibleName(QStringLiteral("Katalog ucznia"));
    userFolder_->setTextInteractionFlags(Qt::TextSelectableByMouse);
}

void SettingsWindow::SetDialogs(MessageBox* messages, ConfirmationDialog* confirmation) {
    messages_ = messages;
    confirmation_ = confirmation;
}

void SettingsWindow::ShowSettingsScreen() {
    if (background_.isNull()) {
        background_ = InterfacePicture(context_.paths(), "ustawienia.bmp");
    }
    Fill();
    exec();
}

void SettingsWindow::Fill() {
    const LearnerSession& session = context_.session;
    const Settings& settings = session.settings;
    shown_ = ScreenValuesFrom(settings);
    filling_ = true;

    SelectPosition(intensity_, shown_.intensity);
    intensityOne_->setChecked(shown_.intensityOneInRepetitions);
    SelectPosition(wordsKind_, shown_.wordsPosition);
    SelectPosition(sentencesKind_, shown_.sentencesPosition);
    SelectPosition(frequency_, shown_.frequencyPosition);

    statistics_->setChecked(shown_.showStatistics);
    summary_->setChecked(shown_.showSummary);
    sentenceOffer_->setChecked(shown_.proposeSentenceExercises);
    interludesAtEnd_->setChecked(shown_.interludesAtEndOnly);
    mastered_->setText(Utf8(shown_.masteredInterval));
    known_->setText(Utf8(shown_.knownInterval));
    userFolder_->setText(QStringLiteral("Katalog użytkownika: ") +
                         QString::fromStdString(session.paths.userDir));

    interludes_->clear();
    for (int pack = 1; pack <= kInterludePacks; ++pack) {
        const InterludePack& p = session.packs[static_cast<std::size_t>(pack)];
        if (p.loaded) {
            CheckItem(interludes_, QString::number(pack) + QLatin1Char(' ') + Polish(p.title), pack,
                      shown_.interludeEnabled[static_cast<std::size_t>(pack)]);
        }
    }
    UpdateSentenceOffer();

    workingKinds_ = shown_.learningKinds;
    workingTable_ = 1;
    kindTable_->setCurrentIndex(0);
    filling_ = false;
    FillKinds();
    FillRules();
    ruleKind_ = 0;
    rule_->hide();
    ruleLabel_->hide();
    // The copies may have changed since the page was last chosen.
    if (page_ == SettingsPage::Other) {
        FillCopies();
    }
}

void SettingsWindow::UpdateSentenceOffer() {
    const bool offered = context_.session.db.params.learningMode2;
    sentenceOffer_->setVisible(offered);
    sentenceOfferLabel_->setVisible(offered);
}

void SettingsWindow::FillKinds() {
    const bool wasFilling = filling_;
    filling_ = true;
    kinds_->clear();
    const auto& table = workingKinds_[static_cast<std::size_t>(workingTable_)];
    for (const int kind : ListedLearningKinds(workingTable_, context_.session.db.params.language)) {
        CheckItem(kinds_, Utf8(LearningKindItem(kind)), kind,
                  table[static_cast<std::size_t>(kind)]);
    }
    filling_ = wasFilling;
}

void SettingsWindow::KindChecked(QListWidgetItem* item) {
    if (filling_ || item == nullptr) {
        return;
    }
    const int kind = item->data(Qt::UserRole).toInt();
    if (kind >= 1 && kind <= kKindSlots) {
        workingKinds_[static_cast<std::size_t>(workingTable_)][static_cast<std::size_t>(kind)] =
            item->checkState() == Qt::Checked;
    }
}

void SettingsWindow::FillRules() {
    const Settings& settings = context_.session.settings;
    const int current = rules_->currentRow();
    const bool wasFilling = filling_;
    filling_ = true;
    if (rules_->count() != kRuleListKinds) {
        rules_->clear();
        for (int kind = 1; kind <= kRuleListKinds; ++kind) {
            new QListWidgetItem(rules_);
        }
    }
    for (int kind = 1; kind <= kRuleListKinds; ++kind) {
        rules_->item(kind - 1)->setText(Utf8(RepetitionRuleItem(
            kind, settings.repetitionKindRule[static_cast<std::size_t>(kind)])));
    }
    rules_->setCurrentRow(current);
    filling_ = wasFilling;
}

void SettingsWindow::ShowRule(int row) {
    if (row < 0 || row >= kRuleListKinds) {
        return;
    }
    ruleKind_ = row + 1;
    SelectPosition(rule_, RepetitionRulePosition(
                              context_.session.settings
                                  .repetitionKindRule[static_cast<std::size_t>(ruleKind_)]));
    rule_->show();
    ruleLabel_->show();
}

void SettingsWindow::RuleChosen(int position) {
    if (ruleKind_ < 1 || ruleKind_ > kRuleListKinds || position < 0 ||
        position >= kRepetitionRules) {
        return;
    }
    // Taken at once: the rule stays even when the screen is left without OK.
    context_.session.settings.repetitionKindRule[static_cast<std::size_t>(ruleKind_)] = position;
    FillRules();
}

void SettingsWindow::ChoosePage(SettingsPage page) {
    page_ = page;
    const int index = static_cast<int>(page);
    for (int i = 0; i < 3; ++i) {
        panels_[i]->setVisible(i == index);
    }
    shape_->setGeometry(pageLabels_[index]->geometry().adjusted(-4, -3, 4, 3));
    shape_->raise();
    if (page == SettingsPage::Repetitions) {
        rule_->hide();
        ruleLabel_->hide();
    } else if (page == SettingsPage::Other) {
        FillCopies();
    }
}

void SettingsWindow::FillCopies() {
    copies_->clear();
    restoreButton_->hide();
    for (const auto& [name, text] : ListRepetitionCopies(context_.session.paths)) {
        auto* item = new QListWidgetItem(Polish(text), copies_);
        item->setData(Qt::UserRole, QString::fromStdString(name));
    }
}

SettingsScreenValues SettingsWindow::Values() const {
    SettingsScreenValues values;
    values.intensity = intensity_->currentIndex();
    values.intensityOneInRepetitions = intensityOne_->isChecked();
    values.wordsPosition = wordsKind_->currentIndex();
    values.sentencesPosition = sentencesKind_->currentIndex();
    values.frequencyPosition = frequency_->currentIndex();
    values.showStatistics = statistics_->isChecked();
    values.proposeSentenceExercises = sentenceOffer_->isChecked();
    values.interludesAtEndOnly = interludesAtEnd_->isChecked();
    values.showSummary = summary_->isChecked();
    values.masteredInterval = mastered_->text().toStdString();
    values.knownInterval = known_->text().toStdString();
    values.learningKinds = workingKinds_;
    values.interludeEnabled = shown_.interludeEnabled;
    for (int row = 0; row < interludes_->count(); ++row) {
        const QListWidgetItem* item = interludes_->item(row);
        const int pack = item->data(Qt::UserRole).toInt();
        if (pack >= 1 && pack <= kInterludePacks) {
            values.interludeEnabled[static_cast<std::size_t>(pack)] =
                item->checkState() == Qt::Checked;
        }
    }
    return values;
}

void SettingsWindow::Confirm() {
    LearnerSession& session = context_.session;
    std::vector<int> listed;
    for (int row = 0; row < interludes_->count(); ++row) {
        listed.push_back(interludes_->item(row)->data(Qt::UserRole).toInt());
    }
    const std::string refused = ApplyScreenValues(Values(), shown_, listed, session.settings);
    if (!refused.empty()) {
        ShowMessage(Utf8(refused));
        return;
    }
    // The learner has now chosen settings of his own: they may replace an unreadable file.
    session.settingsUnreadable = false;
    const SaveSettingsResult saved = SaveSettings(session.paths, session.settings, session.db);
    accept();
    if (!saved.ok()) {
        ShowMessage(Utf8(saved.error));
    }
}

void SettingsWindow::RestoreCopy() {
    const QListWidgetItem* item = copies_->currentItem();
    if (item == nullptr || !Ask(Utf8(kRestoreCopyQuestion))) {
        return;
    }
    LearnerSession& session = context_.session;
    const RestoreCopyResult result = RestoreRepetitionCopy(
        session.paths, item->data(Qt::UserRole).toString().toStdString(), session.db.units,
        session.repetitions, session.settings, context_.clock);
    if (!result.load.message.empty()) {
        ShowMessage(Utf8(result.load.message));
    }
    if (!result.save.error.empty()) {
        ShowMessage(Utf8(result.save.error));
    }
    FillCopies();
}

void SettingsWindow::DeleteAll() {
    if (!Ask(Utf8(kDeleteAllQuestion))) {
        return;
    }
    LearnerSession& session = context_.session;
    const DeleteAllResult result = DeleteAllRepetitionsKeepingCopy(
        session.paths, session.db.units, session.repetitions, session.settings, context_.clock);
    if (!result.message.empty()) {
        ShowMessage(Utf8(result.message));
    }
}

void SettingsWindow::EditParameters() {
    if (parameters_ != nullptr) {
        parameters_->EditOpen();
        UpdateSentenceOffer();
    }
}

void SettingsWindow::ShowMessage(const QString& text) {
    if (messages_ != nullptr) {
        messages_->ShowMessage(text);
    } else {
        MessageBox::Show(context_, text, this);
    }
}

bool SettingsWindow::Ask(const QString& question) {
    return confirmation_ != nullptr ? confirmation_->Ask(question)
                                    : ConfirmationDialog::Confirm(context_, question, this);
}

bool SettingsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (int i = 0; i < 3; ++i) {
            if (watched == pageLabels_[i]) {
                ChoosePage(static_cast<SettingsPage>(i));
                return true;
            }
        }
        // The label of a check box toggles it.
        const std::pair<QObject*, QCheckBox*> toggles[] = {{sentenceOfferLabel_, sentenceOffer_},
                                                           {statisticsLabel_, statistics_},
                                                           {summaryLabel_, summary_}};
        for (const auto& [label, box] : toggles) {
            if (watched == label) {
                box->toggle();
                return true;
            }
        }
    }
    return KeyedDialog::eventFilter(watched, event);
}

void SettingsWindow::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, QStringLiteral("Ustawienia"));
}

void SettingsWindow::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, width(), height());
    QDialog::showEvent(event);
    okButton_->setFocus();
}

}  // namespace dyd::ui
