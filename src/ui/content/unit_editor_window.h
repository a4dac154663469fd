#pragma once

// TForm13, the unit editor: the learner adds words, sentences and question/answer items of his
// own to the open database, or changes one he added earlier. The window is low (the kind, the
// foreign text, the meaning, the third field, the recording and the save button) and grows with
// "więcej" to show the plural, comment and hint fields, the group, level and part of speech, a
// new group and saving the added units as an exercise set. A recording is copied from a WAV
// file or recorded from the microphone while the record button is held. The rules live in
// content/unit_editor.h; the window wires its controls to them.

#include <QPixmap>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "content/unit_editor.h"
#include "sound/unit_recording.h"
#include "ui/widgets/keyed_dialog.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace dyd {
class Recorder;
}

namespace dyd::ui {

struct AppContext;
class CommentDialog;
class ConfirmationDialog;
class ImageButton;
class MessageBox;
class RecordButton;
class RecordLimitTimer;

inline constexpr int kEditorWidth = 640;
inline constexpr int kEditorLowHeight = 194;
inline constexpr int kEditorHighHeight = 339;

// The name, group and level of a set about to be saved (Windows-1250 name).
struct EditorSetParameters {
    std::string name;
    int groupId = 0;
    int level = 1;
};

// The windows the editor opens.
struct UnitEditorDialogs {
    MessageBox* messages = nullptr;
    ConfirmationDialog* confirmation = nullptr;
    CommentDialog* prompt = nullptr;  // the text prompt: a new group's name
    // The file chooser in recording mode: the chosen file's path.
    std::function<std::optional<std::string>()> chooseRecording;
    // The set-parameters dialog.
    std::function<std::optional<EditorSetParameters>()> askSetParameters;
    // After a set was saved: the main menu shows its exercise-set button.
    std::function<void()> setsChanged;
};

class UnitEditorWindow final : public KeyedDialog, private UnitRecordingHost {
    Q_OBJECT
  public:
    explicit UnitEditorWindow(AppContext& context, QWidget* parent = nullptr);
    ~UnitEditorWindow() override;

    void SetDialogs(UnitEditorDialogs dialogs) { dialogs_ = std::move(dialogs); }
    void SetRecorder(Recorder& recorder);

    // Opens the editor modally on unit number editedUnit, or for new units when it is 0 or
    // below. composed, when given, is the caller's list of composed units, which the editor
    // empties and fills with the units it adds. True when a unit was stored.
    bool Edit(int editedUnit, std::vector<int>* composed = nullptr);
    // What Edit does before the window runs.
    void Prepare(int editedUnit, std::vector<int>* composed = nullptr);

    // Whether a unit was stored since the window opened (the caller then writes the file).
    bool unitsStored() const { return unitsStored_; }
    bool groupsChanged() const { return groupsChanged_; }
    bool unsavedChanges() const { return dirty_; }
    bool tall() const { return height() == kEditorHighHeight; }
    const std::vector<int>& added() const { return *composed_; }
    UnitEditor& editor() { return *editor_; }

    // Ends a recording still held (the window closes under the button).
    void FinishRecording();

  public slots:
    void reject() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    // UnitRecordingHost
    void ShowRecordPicture(RecordPicture picture) override;
    void ShowMessage(std::string_view text) override;
    void Pause(int ms) override;
    void StopPlayback() override;
    std::optional<long long> SoundLengthMs(const std::string& path) override;
    void RecordingAccepted(const std::string& fileName) override;
    void RecordingLost() override;

    void Build();
    QLineEdit* AddField(EditorField field, const char* name, const char* labelName, int row);
    QLineEdit* Field(EditorField field) const { return fields_[static_cast<std::size_t>(field)]; }
    QLabel* Label(EditorField field) const { return labels_[static_cast<std::size_t>(field)]; }
    void FillGroups();
    void ShowFields(const EditorFields& fields);
    void PrepareForUnit();
    void ApplyKind();
    void SetTall(bool tall);
    void Changed();
    void FieldEdited(EditorField field);
    void UpdateButtons();
    bool TypeNationalKey(QLineEdit* field, const QKeyEvent* event);
    std::optional<EditorFields> ReadFields();
    bool CheckAndStore();
    void Save();
    void AttachFile();
    void Play();
    void RemoveRecording();
    void NewGroup();
    void SaveAsSet();
    bool Ask(std::string_view question);
    CodePage PageOf(EditorField field) const;

    AppContext& context_;
    UnitEditorDialogs dialogs_;
    std::vector<int> ownComposed_;
    std::vector<int>* composed_ = &ownComposed_;
    std::unique_ptr<UnitEditor> editor_;
    std::unique_ptr<UnitRecordingControl> recording_;
    QPixmap background_;

    std::array<QLineEdit*, kEditorFieldCount> fields_{};
    std::array<QLabel*, kEditorFieldCount> labels_{};
    std::array<QString, kEditorFieldCount> lastGood_;
    QComboBox* kind_;
    QComboBox* group_;
    QComboBox* level_;
    QComboBox* part_;
    QLabel* groupHeading_;
    QLabel* levelHeading_;
    QLabel* partHeading_;
    QLabel* editPicture_;
    QLabel* recordingName_;
    QLabel* status_;
    ImageButton* save_;
    ImageButton* close_;
    ImageButton* attach_;
    RecordButton* record_;
    std::array<QPixmap, 3> recordPictures_;
    RecordLimitTimer* recordTimer_;
    ImageButton* play_;
    ImageButton* removeRecording_;
    ImageButton* newGroup_;
    ImageButton* saveSet_;
    ImageButton* more_;
    ImageButton* less_;
    std::vector<std::int32_t> groupIds_;

    bool dirty_ = false;
    bool unitsStored_ = false;
    bool groupsChanged_ = false;
};

}  // namespace dyd::ui
