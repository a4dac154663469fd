#include "ui/content/unit_editor_window.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QThread>
#include <algorithm>
#include <filesystem>

#include "runner/answer_check.h"
#include "core/text.h"
#include "runner/runner.h"
#include "sound/sound_player.h"
#include "sound/wav_file.h"
#include "ui/app_context.h"
#include "ui/shell/comment_dialog.h"
#include "ui/shell/dialogs.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/record_button.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_paint.h"
#include "ui/widgets/window_parts.h"

namespace dyd::ui {
namespace {

constexpr int kNoPicture = -1;  // text buttons: drawn on a plain face
constexpr int kLabelX = 8;
constexpr int kLabelWidth = 264;
constexpr int kFieldX = 278;
constexpr int kFieldWidth = 252;
constexpr int kRowHeight = 24;
constexpr int kSideX = 540;
constexpr int kSideWidth = 88;
constexpr int kRecordRowY = 162;
constexpr int kGroupRowY = 300;
constexpr const char* kHelpPage = "wlasne_bazy.html";

// Rows 0..2 lie in the low window, rows 3..5 below the recording controls.
int RowY(int row) {
    return row < 3 ? 80 + row * 26 : 196 + (row - 3) * 26;
}

ImageButton* TextButton(const AppContext& context, const char* name, const QString& text,
                        const QString& hint, QWidget* parent, const QRect& area) {
    ImageButton* button = MakeImageButton(context, kNoPicture, QString::fromLatin1(name), text,
                                          parent, area.topRight() + QPoint(1, 0), area.size());
    button->setToolTip(hint);
    QFont font = button->font();
    font.setPointSize(9);
    button->setFont(font);
    return button;
}

QComboBox* MakeCombo(QWidget* parent, const char* name, const QRect& area) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setGeometry(area);
    combo->setCursor(Qt::PointingHandCursor);
    combo->setFocusPolicy(Qt::StrongFocus);
    return combo;
}

QString Text(std::string_view utf8) {
    return Utf8(utf8);
}

}  // namespace

UnitEditorWindow::UnitEditorWindow(AppContext& context, QWidget* parent)
    : KeyedDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm13"));
    setWindowTitle(QStringLiteral("Edycja jednostki"));
    setModal(true);
    MakeBorderlessCentred(this, kEditorWidth, kEditorLowHeight);
    Build();
}

UnitEditorWindow::~UnitEditorWindow() = default;

void UnitEditorWindow::Build() {
    kind_ = MakeCombo(this, "CB_Typ_Cw", QRect(kLabelX, 48, 130, kRowHeight));
    for (const std::string_view kind : kKindNames) {
        kind_->addItem(Text(kind));
    }
    editPicture_ = MakeLabel(this, QStringLiteral("I_edycja"), QStringLiteral("✎ edycja"),
                             QRect(156, 48, 90, kRowHeight), 9);
    editPicture_->setStyleSheet(QStringLiteral(
        "QLabel { background: #f4d27a; color: #3a2a00; border: 1px solid #b08a30;"
        " border-radius: 4px; padding-left: 6px; font-weight: bold; }"));
    status_ = MakeLabel(this, QStringLiteral("L_Opis"), QString(),
                        QRect(256, 48, kFieldX + kFieldWidth - 256, kRowHeight), 9);
    status_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont statusFont = status_->font();
    statusFont.setBold(true);
    status_->setFont(statusFont);

    AddField(EditorField::Foreign, "E_Ang", "L_Ang", 0);
    AddField(EditorField::Native, "E_Pol", "L_Pol", 1);
    AddField(EditorField::Synonyms, "E_Synonimy", "L_Synonimy", 2);
    AddField(EditorField::Plural, "E_L_Mnoga", "L_l_mnoga", 3);
    Field(EditorField::Plural)->setAccessibleName(QStringLiteral("Liczba mnoga"));
    AddField(EditorField::Comment, "E_Komentarz", "L_Komentarz", 4);
    AddField(EditorField::Hint, "E_Podpowiedz", "L_Podpowiedz", 5);
    Label(EditorField::Comment)->setText(Text(kCommentCaption));
    // Never shown: its attribute is kept as the unit holds it.
    AddField(EditorField::ExtraTranslation, "E_Tlumaczenie_2", "L_Tlumaczenie_2", 5);
    Field(EditorField::ExtraTranslation)->hide();
    Label(EditorField::ExtraTranslation)->hide();

    save_ = TextButton(context_, "K_zapisz_i_nowe", QStringLiteral("Zapisz"),
                       QStringLiteral("Zapisz i dodaj następne"), this,
                       QRect(kSideX, RowY(0), kSideWidth, 2 * kRowHeight + 2));
    close_ = MakeImageButton(context_, kImageClose, QStringLiteral("B_Zamknij"),
                             QStringLiteral("X"), this, QPoint(kEditorWidth, 0), QSize(24, 24));
    close_->setToolTip(QStringLiteral("Zamknij"));

    // The recording.
    attach_ = TextButton(context_, "K_Nagranie", QStringLiteral("Wczytaj"),
                         QStringLiteral("Wczytaj nagranie"), this,
                         QRect(kLabelX, kRecordRowY, 70, kRowHeight));
    const QString recordText = QStringLiteral("Nagraj");
    record_ = new RecordButton(QStringLiteral("K_nagraj"), recordText, this);
    record_->setGeometry(90, kRecordRowY, 70, kRowHeight);
    QFont recordFont = record_->font();
    recordFont.setPointSize(9);
    recordFont.setBold(true);
    record_->setFont(recordFont);
    record_->setToolTip(QStringLiteral("Nagraj z mikrofonu"));
    record_->setCursor(Qt::PointingHandCursor);
    const RecordPicture states[] = {RecordPicture::Idle, RecordPicture::Recording,
                                    RecordPicture::Hover};
    for (std::size_t i = 0; i < recordPictures_.size(); ++i) {
        recordPictures_[i] = RecordButtonPicture(states[i], recordText, record_->font());
    }
    record_->ShowPicture(recordPictures_[0]);
    recordTimer_ = new RecordLimitTimer(this);
    recordTimer_->SetHandler([this] {
        if (recording_) {
            recording_->TimerFired();
        }
    });
    play_ = TextButton(context_, "k_graj", QStringLiteral("Odtwórz"),
                       QStringLiteral("Odtwórz nagranie"), this,
                       QRect(164, kRecordRowY, 70, kRowHeight));
    removeRecording_ = TextButton(context_, "k_kasuj_nag", QStringLiteral("usuń"),
                                  QStringLiteral("Usuń nagranie"), this,
                                  QRect(238, kRecordRowY, 50, kRowHeight));
    recordingName_ = MakeLabel(this, QStringLiteral("L_Wav_Ang"), QString(),
                               QRect(296, kRecordRowY, kFieldX + kFieldWidth - 296, kRowHeight),
                               9);
    recordingName_->setTextFormat(Qt::PlainText);

    more_ = TextButton(context_, "k_opcje_wiecej", QStringLiteral("więcej ▼"),
                       QStringLiteral("Pokaż dodatkowe opcje"), this,
                       QRect(kSideX, kRecordRowY, kSideWidth, kRowHeight));
    less_ = TextButton(context_, "K_Ukryj", QStringLiteral("mniej ▲"),
                       QStringLiteral("Schowaj dodatkowe opcje"), this,
                       QRect(kSideX, kRecordRowY, kSideWidth, kRowHeight));

    // Group, level and part of speech, each headed by its word.
    const int groupX = 16;
    const int levelX = 250;
    const int partX = 316;
    groupHeading_ = MakeLabel(this, QStringLiteral("L_Grupa"), QStringLiteral("Grupa tematyczna:"),
                              QRect(groupX, kGroupRowY - 20, 200, 18), 9);
    levelHeading_ = MakeLabel(this, QStringLiteral("L_Poziom"), QStringLiteral("Poziom:"),
                              QRect(levelX, kGroupRowY - 20, 60, 18), 9);
    partHeading_ = MakeLabel(this, QStringLiteral("L_Typ"), QStringLiteral("Typ:"),
                             QRect(partX, kGroupRowY - 20, 100, 18), 9);
    group_ = MakeCombo(this, "CB_Gr_Tem", QRect(groupX, kGroupRowY, 196, kRowHeight));
    newGroup_ = TextButton(context_, "K_nowa_g_tem", QStringLiteral("+"),
                           QStringLiteral("Dodaj nową grupę tematyczną"), this,
                           QRect(groupX + 200, kGroupRowY, 26, kRowHeight));
    level_ = MakeCombo(this, "CB_Poziom", QRect(levelX, kGroupRowY, 56, kRowHeight));
    for (int level = 1; level <= 4; ++level) {
        level_->addItem(QString::number(level));
    }
    part_ = MakeCombo(this, "CB_Rodzaj",
                      QRect(partX, kGroupRowY, kFieldX + kFieldWidth - partX, kRowHeight));
    for (const std::string_view part : kPartNames) {
        part_->addItem(Text(part));
    }
    saveSet_ = TextButton(context_, "K_Zapisz_cw", QStringLiteral("Zapisz\nćwiczenie"),
                          QStringLiteral("Zapisz wprowadzone słówka jako nowe ćwiczenie"), this,
                          QRect(kSideX, RowY(4), kSideWidth, 2 * kRowHeight + 2));

    // Wiring.
    connect(save_, &QAbstractButton::clicked, this, &UnitEditorWindow::Save);
    connect(close_, &QAbstractButton::clicked, this, &UnitEditorWindow::reject);
    connect(attach_, &QAbstractButton::clicked, this, &UnitEditorWindow::AttachFile);
    connect(play_, &QAbstractButton::clicked, this, &UnitEditorWindow::Play);
    connect(removeRecording_, &QAbstractButton::clicked, this,
            &UnitEditorWindow::RemoveRecording);
    connect(more_, &QAbstractButton::clicked, this, [this] { SetTall(true); });
    connect(less_, &QAbstractButton::clicked, this, [this] { SetTall(false); });
    connect(newGroup_, &QAbstractButton::clicked, this, &UnitEditorWindow::NewGroup);
    connect(saveSet_, &QAbstractButton::clicked, this, &UnitEditorWindow::SaveAsSet);
    connect(kind_, &QComboBox::currentIndexChanged, this, [this] {
        ApplyKind();
        Changed();
    });
    for (QComboBox* box : {group_, level_, part_}) {
        connect(box, &QComboBox::currentIndexChanged, this, &UnitEditorWindow::Changed);
    }
    connect(record_, &RecordButton::entered, this, [this] {
        if (recording_) {
            recording_->PointerEntered();
        }
    });
    connect(record_, &RecordButton::left, this, [this] {
        if (recording_) {
            recording_->PointerLeft();
        }
    });
    connect(record_, &RecordButton::pressed, this, [this](PointerButton button) {
        if (recording_) {
            recording_->SetTarget(editor_ != nullptr ? editor_->RecordingTarget() : std::string());
            recording_->ButtonDown(button);
        }
    });
    connect(record_, &RecordButton::released, this, [this] {
        if (recording_) {
            recording_->ButtonUp();
        }
    });

    DialogKeys keys;
    keys.context = &context_;
    keys.helpPage = QString::fromLatin1(kHelpPage);
    keys.mainButton = save_;
    keys.main = [this] { Save(); };
    SetKeys(std::move(keys));
    for (QWidget* control : {static_cast<QWidget*>(kind_), static_cast<QWidget*>(group_),
                             static_cast<QWidget*>(level_), static_cast<QWidget*>(part_)}) {
        control->installEventFilter(this);
    }
    SetTall(false);
}

QLineEdit* UnitEditorWindow::AddField(EditorField field, const char* name, const char* labelName,
                                      int row) {
    auto* label = MakeLabel(this, QString::fromLatin1(labelName), QString(),
                            QRect(kLabelX, RowY(row), kLabelWidth, kRowHeight), 9);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(kFieldX, RowY(row), kFieldWidth, kRowHeight);
    edit->setMaxLength(FieldLength(field));
    edit->setFont(QFont(QStringLiteral("Arial"), 10));
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, [this, field] { FieldEdited(field); });
    label->setBuddy(edit);  // the label names the field for screen readers
    fields_[static_cast<std::size_t>(field)] = edit;
    labels_[static_cast<std::size_t>(field)] = label;
    return edit;
}

void UnitEditorWindow::SetRecorder(Recorder& recorder) {
    recording_ = std::make_unique<UnitRecordingControl>(recorder, *recordTimer_,
                                                        static_cast<UnitRecordingHost&>(*this));
}

// ---- Opening ------------------------------------------------------------------------------------

void UnitEditorWindow::Prepare(int editedUnit, std::vector<int>* composed) {
    composed_ = composed != nullptr ? composed : &ownComposed_;
    LearnerSession& session = context_.session;
    editor_ = std::make_unique<UnitEditor>(session.paths, session.db, session.repetitions,
                                           *composed_);
    unitsStored_ = false;
    groupsChanged_ = false;
    if (recording_) {
        recording_->Forget();
    }
    editor_->Open(editedUnit);
    FillGroups();
    {
        const QSignalBlocker quietLevel(level_);
        const QSignalBlocker quietPart(part_);
        const QSignalBlocker quietKind(kind_);
        level_->setCurrentIndex(1);
        part_->setCurrentIndex(kOtherPart - 1);
        kind_->setCurrentIndex(0);
    }
    saveSet_->hide();
    SetTall(false);
    PrepareForUnit();
    Field(EditorField::Foreign)->setFocus();
}

bool UnitEditorWindow::Edit(int editedUnit, std::vector<int>* composed) {
    Prepare(editedUnit, composed);
    exec();
    return unitsStored_;
}

void UnitEditorWindow::FillGroups() {
    const QSignalBlocker quiet(group_);
    group_->clear();
    groupIds_.clear();
    int chosen = -1;
    for (const Group& group : context_.session.db.groups) {
        if (group.groupId == 0) {
            continue;
        }
        if (group.groupId == kDefaultGroupId && chosen < 0) {
            chosen = group_->count();
        }
        group_->addItem(Polish(group.name));
        groupIds_.push_back(group.groupId);
    }
    group_->setCurrentIndex(chosen >= 0 ? chosen : (group_->count() > 0 ? 0 : -1));
}

void UnitEditorWindow::PrepareForUnit() {
    const bool edit = editor_->editMode();
    const EditorFields& fields = editor_->fields();
    if (edit) {
        ShowFields(fields);
    } else {
        for (QLineEdit* field : fields_) {
            field->clear();
        }
        recordingName_->clear();
    }
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        lastGood_[i] = fields_[i]->text();
    }
    editPicture_->setVisible(edit);
    const bool hasRecording = edit && !recordingName_->text().isEmpty();
    play_->setVisible(hasRecording);
    removeRecording_->setVisible(hasRecording);
    save_->setToolTip(edit ? QStringLiteral("Zapisz") : QStringLiteral("Zapisz i dodaj następne"));
    if (recording_) {
        recording_->Forget();
        recording_->SetTarget(editor_->RecordingTarget());
    }
    status_->clear();
    newGroup_->setVisible(tall() && context_.session.db.params.learnerMade);
    ApplyKind();
    dirty_ = false;
    UpdateButtons();
    save_->hide();
    if (edit) {
        attach_->show();
    }
}

void UnitEditorWindow::ShowFields(const EditorFields& fields) {
    const DatabaseParameters& params = context_.session.db.params;
    {
        const QSignalBlocker quiet(kind_);
        kind_->setCurrentIndex(std::clamp(fields.kind, 1, 3) - 1);
    }
    for (int i = 0; i < kEditorFieldCount; ++i) {
        const auto field = static_cast<EditorField>(i);
        const std::string& bytes = fields[field];
        Field(field)->setText(Utf8(ToUtf8(bytes, FieldCodePage(field, fields.kind, params))));
    }
    const QSignalBlocker quietGroup(group_);
    const QSignalBlocker quietLevel(level_);
    const QSignalBlocker quietPart(part_);
    const auto at = std::find(groupIds_.begin(), groupIds_.end(), fields.groupId);
    if (at != groupIds_.end()) {
        group_->setCurrentIndex(static_cast<int>(at - groupIds_.begin()));
    }
    level_->setCurrentIndex(std::clamp(fields.level, 1, 4) - 1);
    part_->setCurrentIndex(std::clamp(fields.partOfSpeech, 1, 6) - 1);
    recordingName_->setText(Polish(fields.recording));
}

void UnitEditorWindow::ApplyKind() {
    const int kind = kind_->currentIndex() + 1;
    const EditorCaptions captions = CaptionsOf(kind, context_.session.db.params.language);
    Label(EditorField::Foreign)->setText(Text(captions.foreign));
    Label(EditorField::Native)->setText(Text(captions.native));
    Label(EditorField::Synonyms)->setText(Text(captions.synonyms));
    Label(EditorField::Plural)->setText(Text(captions.plural));
    Label(EditorField::Hint)->setText(Text(captions.hint));
    const bool tallNow = tall();
    const auto show = [](QLabel* label, QLineEdit* field, bool visible) {
        label->setVisible(visible);
        field->setVisible(visible);
    };
    show(Label(EditorField::Synonyms), Field(EditorField::Synonyms), captions.synonymsShown);
    show(Label(EditorField::Plural), Field(EditorField::Plural), tallNow && captions.pluralShown);
    show(Label(EditorField::Hint), Field(EditorField::Hint), tallNow && captions.hintShown);
}

void UnitEditorWindow::SetTall(bool isTall) {
    setFixedSize(kEditorWidth, isTall ? kEditorHighHeight : kEditorLowHeight);
    if (isVisible()) {
        MakeBorderlessCentred(this, kEditorWidth, height());
    }
    for (QWidget* w : std::initializer_list<QWidget*>{
             Label(EditorField::Comment), Field(EditorField::Comment), groupHeading_,
             levelHeading_, partHeading_, group_, level_, part_, less_}) {
        w->setVisible(isTall);
    }
    more_->setVisible(!isTall);
    newGroup_->setVisible(isTall && context_.session.db.params.learnerMade);
    saveSet_->setVisible(isTall && !composed_->empty() && !(editor_ && editor_->editMode()));
    ApplyKind();
}

// ---- Changes ------------------------------------------------------------------------------------

void UnitEditorWindow::Changed() {
    dirty_ = true;
    save_->show();
}

CodePage UnitEditorWindow::PageOf(EditorField field) const {
    return FieldCodePage(field, kind_->currentIndex() + 1, context_.session.db.params);
}

void UnitEditorWindow::FieldEdited(EditorField field) {
    QLineEdit* edit = Field(field);
    const auto index = static_cast<std::size_t>(field);
    const QByteArray utf8 = edit->text().toUtf8();
    std::string bad;
    if (!FromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                  PageOf(field), &bad)) {
        // A letter the course's code page cannot hold is taken back at once.
        const int cursor = std::max(0, edit->cursorPosition() - 1);
        edit->setText(lastGood_[index]);
        edit->setCursorPosition(std::min(cursor, static_cast<int>(lastGood_[index].size())));
        ShowMessage(std::string(kCharacterRefusedMessage) + bad);
        return;
    }
    lastGood_[index] = edit->text();
    dirty_ = true;
    if (field == EditorField::Foreign || field == EditorField::Native) {
        UpdateButtons();
    } else {
        save_->show();
    }
    if (field == EditorField::Foreign) {
        UpdateButtons();
    }
}

void UnitEditorWindow::UpdateButtons() {
    const bool foreign = !Field(EditorField::Foreign)->text().isEmpty();
    const bool native = !Field(EditorField::Native)->text().isEmpty();
    save_->setVisible(foreign && native);
    attach_->setVisible(foreign);
    record_->setVisible(foreign);
}

bool UnitEditorWindow::TypeNationalKey(QLineEdit* field, const QKeyEvent* event) {
    const int key = event->key();
    if (key < Qt::Key_A || key > Qt::Key_Z) {
        return false;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const DatabaseParameters& params = context_.session.db.params;
    const std::optional<unsigned char> code =
        NationalKey(params.language, static_cast<char>('A' + (key - Qt::Key_A)),
                    modifiers.testFlag(Qt::ControlModifier), modifiers.testFlag(Qt::AltModifier),
                    modifiers.testFlag(Qt::ShiftModifier));
    if (!code) {
        return false;
    }
    const char byte = static_cast<char>(*code);
    field->insert(Utf8(ToUtf8(std::string_view(&byte, 1), params.foreignCodePage())));
    // Inserting is an edit like typing: the same checks and visibilities follow.
    for (int i = 0; i < kEditorFieldCount; ++i) {
        if (fields_[static_cast<std::size_t>(i)] == field) {
            FieldEdited(static_cast<EditorField>(i));
        }
    }
    return true;
}

bool UnitEditorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (edit != nullptr && TypeNationalKey(edit, static_cast<QKeyEvent*>(event))) {
            return true;
        }
    }
    return KeyedDialog::eventFilter(watched, event);
}

// ---- Saving -------------------------------------------------------------------------------------

std::optional<EditorFields> UnitEditorWindow::ReadFields() {
    EditorFields fields = editor_->fields();
    fields.kind = kind_->currentIndex() + 1;
    for (int i = 0; i < kEditorFieldCount; ++i) {
        const auto field = static_cast<EditorField>(i);
        const QByteArray utf8 = Field(field)->text().toUtf8();
        std::string bad;
        const std::optional<std::string> bytes = FromUtf8(
            std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
            PageOf(field), &bad);
        if (!bytes) {
            ShowMessage(std::string(kCharacterRefusedMessage) + bad);
            Field(field)->setFocus();
            return std::nullopt;
        }
        fields[field] = *bytes;
    }
    const int group = group_->currentIndex();
    fields.groupId = group >= 0 && group < static_cast<int>(groupIds_.size())
                         ? groupIds_[static_cast<std::size_t>(group)]
                         : fields.groupId;
    fields.level = level_->currentIndex() + 1;
    fields.partOfSpeech = part_->currentIndex() + 1;
    const std::optional<std::string> name = ToPolishBytes(recordingName_->text());
    fields.recording = name.value_or(std::string());
    return fields;
}

bool UnitEditorWindow::CheckAndStore() {
    const std::optional<EditorFields> fields = ReadFields();
    if (!fields) {
        return false;
    }
    const UnitEditor::StoreResult result = editor_->Store(*fields);
    for (const std::string& message : result.messages) {
        ShowMessage(message);
    }
    if (!result.stored) {
        return false;
    }
    unitsStored_ = true;
    dirty_ = false;
    if (result.composedGrew) {
        saveSet_->setVisible(tall());
    }
    return true;
}

void UnitEditorWindow::Save() {
    const bool wasEditing = editor_->editMode();
    if (!CheckAndStore()) {
        return;
    }
    status_->setText(Text(kSavedText));
    if (wasEditing) {
        accept();
        return;
    }
    editor_->PrepareNew();
    const QString saved = status_->text();
    PrepareForUnit();
    status_->setText(saved);
    Field(EditorField::Foreign)->setFocus();
}

void UnitEditorWindow::reject() {
    FinishRecording();
    if (dirty_ && Ask(kUnsavedQuestion) && !CheckAndStore()) {
        return;
    }
    dirty_ = false;
    KeyedDialog::reject();
}

void UnitEditorWindow::FinishRecording() {
    if (recordTimer_->isActive()) {
        recordTimer_->Fire();
    }
}

bool UnitEditorWindow::Ask(std::string_view question) {
    if (dialogs_.confirmation != nullptr) {
        return dialogs_.confirmation->Ask(Text(question));
    }
    return ConfirmationDialog::Confirm(context_, Text(question), this);
}

// ---- Recordings ---------------------------------------------------------------------------------

void UnitEditorWindow::AttachFile() {
    Changed();
    if (!dialogs_.chooseRecording) {
        return;
    }
    const std::optional<std::string> chosen = dialogs_.chooseRecording();
    if (!chosen || chosen->empty()) {
        return;
    }
    AttachHooks hooks;
    hooks.playable = [](const std::string& path) { return WavLengthMs(path).has_value(); };
    hooks.confirmReplace = [this] { return Ask(kReplaceFileQuestion); };
    const AttachResult result = AttachRecordingFile(context_.session.paths, *chosen, hooks);
    if (result.status == AttachStatus::Attached) {
        if (recording_) {
            recording_->Forget();
        }
        recordingName_->setText(QString::fromStdString(result.name));
        play_->show();
        removeRecording_->show();
    } else if (result.status == AttachStatus::Failed) {
        RecordingLost();
    }
    if (!result.message.empty()) {
        ShowMessage(result.message);
    }
}

void UnitEditorWindow::Play() {
    if (context_.sound == nullptr) {
        return;
    }
    const std::string folder = RecordingFolder(context_.session.paths);
    std::string name;
    if (recording_ && recording_->recorded()) {
        name = std::filesystem::path(recording_->target()).filename().string();
    } else if (!recordingName_->text().isEmpty()) {
        name = recordingName_->text().toStdString();
    }
    if (!name.empty()) {
        context_.sound->PlaySound(folder + name, false);
    }
}

void UnitEditorWindow::RemoveRecording() {
    if (recording_) {
        recording_->Forget();
    }
    recordingName_->clear();
    play_->hide();
    removeRecording_->hide();
    Changed();
}

void UnitEditorWindow::ShowRecordPicture(RecordPicture picture) {
    const std::size_t index = picture == RecordPicture::Recording ? 1
                              : picture == RecordPicture::Hover   ? 2
                                                                  : 0;
    record_->ShowPicture(recordPictures_[index]);
}

void UnitEditorWindow::ShowMessage(std::string_view text) {
    if (dialogs_.messages != nullptr) {
        dialogs_.messages->ShowMessage(Text(text));
    } else {
        MessageBox::Show(context_, Text(text), this);
    }
}

void UnitEditorWindow::Pause(int ms) {
    QThread::msleep(static_cast<unsigned long>(ms));
}

void UnitEditorWindow::StopPlayback() {
    if (context_.sound != nullptr) {
        context_.sound->CloseMediaPlayer();
    }
}

std::optional<long long> UnitEditorWindow::SoundLengthMs(const std::string& path) {
    return WavLengthMs(path);
}

void UnitEditorWindow::RecordingAccepted(const std::string& fileName) {
    recordingName_->setText(QString::fromStdString(fileName));
    play_->show();
    removeRecording_->show();
    Changed();
}

void UnitEditorWindow::RecordingLost() {
    recordingName_->clear();
    play_->hide();
    removeRecording_->hide();
    Changed();
}

// ---- Groups and sets ----------------------------------------------------------------------------

void UnitEditorWindow::NewGroup() {
    if (dialogs_.prompt == nullptr) {
        return;
    }
    const std::optional<std::string> name =
        dialogs_.prompt->AskBytes(Text(kNewGroupPrompt), {}, kGroupNameLength, CodePage::Cp1250);
    if (!name || Trim(*name).empty()) {
        return;
    }
    const AddGroupResult result =
        AddGroup(context_.session.paths, context_.session.db.groups, *name);
    if (!result.added) {
        ShowMessage(result.message);
        return;
    }
    groupsChanged_ = true;
    const QSignalBlocker quiet(group_);
    group_->addItem(Polish(Trim(*name)));
    groupIds_.push_back(result.groupId);
    group_->setCurrentIndex(group_->count() - 1);
}

void UnitEditorWindow::SaveAsSet() {
    if (!dialogs_.askSetParameters || composed_->empty()) {
        return;
    }
    const std::optional<EditorSetParameters> chosen = dialogs_.askSetParameters();
    if (!chosen || Trim(chosen->name).empty()) {
        return;
    }
    LearnerSession& session = context_.session;
    const SaveComposedResult result = SaveComposedAsSet(
        session.paths, session.db.params.language, session.db.units, *composed_, chosen->name,
        chosen->groupId, chosen->level, [this] { return Ask(kSetExistsQuestion); },
        session.history, context_.clock.Now());
    if (dialogs_.setsChanged) {
        dialogs_.setsChanged();
    }
    if (!result.message.empty()) {
        ShowMessage(result.message);
    }
}

// ---- Painting -----------------------------------------------------------------------------------

void UnitEditorWindow::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, QStringLiteral("Edycja jednostki"));
}

void UnitEditorWindow::showEvent(QShowEvent* event) {
    if (background_.isNull()) {
        background_ = InterfacePicture(context_.programPaths, "nowe_sl.bmp");
    }
    MakeBorderlessCentred(this, kEditorWidth, height());
    KeyedDialog::showEvent(event);
    Field(EditorField::Foreign)->setFocus();
}

}  // namespace dyd::ui
