#pragma once

// The unit editor without its window: the fields of each unit kind, loading a unit into them,
// the checks with their messages, storing into the unit table, the id a new unit receives, new
// thematic groups, the recording attached to a unit and the units added in one sitting, which
// can be saved as an exercise set. Texts of the fields are bytes: the foreign fields in the
// course's code page, the others in Windows-1250. Messages are UTF-8.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/codepage.h"
#include "core/database.h"
#include "core/exercise_sets.h"
#include "core/history.h"
#include "core/learner_files.h"
#include "core/paths.h"
#include "core/repetitions.h"
#include "core/unit_table.h"

namespace dyd {

// The seven text fields, in the order the checks name them.
enum class EditorField { Foreign, Native, Synonyms, Plural, Hint, Comment, ExtraTranslation };
inline constexpr int kEditorFieldCount = 7;

inline constexpr int kShortFieldLength = 100;  // E_Ang, E_Pol, E_Synonimy, E_Komentarz, E_Podpowiedz
inline constexpr int kLongFieldLength = 200;   // E_L_Mnoga, E_Tlumaczenie_2
int FieldLength(EditorField field);

// The kinds of CB_Typ_Cw and the part-of-speech list of CB_Rodzaj, in list order.
inline constexpr std::array<std::string_view, 3> kKindNames = {"słówko", "zdanie", "tryb QA"};
inline constexpr std::array<std::string_view, 6> kPartNames = {
    "rzeczownik", "przymiotnik", "czasownik", "inne", "zdanie/zwrot", "przysłówek"};
inline constexpr std::string_view kCommentCaption = "Komentarz:";

// What a kind shows: the captions of the fields (empty where the field is hidden).
struct EditorCaptions {
    std::string foreign;
    std::string native;
    std::string synonyms;
    std::string plural;
    std::string hint;
    bool synonymsShown = false;
    bool pluralShown = false;
    bool hintShown = false;
};
EditorCaptions CaptionsOf(int kind, int language);

// The code page a field's text is typed in: E_Ang in the course's, E_Synonimy in the course's
// for a word, every other field in Windows-1250.
CodePage FieldCodePage(EditorField field, int kind, const DatabaseParameters& params);

struct EditorFields {
    int kind = kWordUnit;
    std::array<std::string, kEditorFieldCount> text;
    std::int32_t groupId = 0;
    int level = 2;
    int partOfSpeech = kOtherPart;
    std::string recording;  // the name shown in L_Wav_Ang

    std::string& operator[](EditorField f) { return text[static_cast<std::size_t>(f)]; }
    const std::string& operator[](EditorField f) const {
        return text[static_cast<std::size_t>(f)];
    }
};

// The fields of a unit as the editor shows them.
EditorFields FieldsOfUnit(const Unit& unit);
// Writes the fields into the unit as the storing table says (kind, texts, group, level, part of
// speech, recording); the fields are taken trimmed, as the learner-units file reads them back.
void StoreFields(const EditorFields& fields, Unit& unit);

// ---- Checks -------------------------------------------------------------------------------------

// "Każdemu oznaczeniu otwierającemu "<" musi odpowiadać zamykające ">"."
std::string GapPairText();
inline constexpr std::string_view kEqualsSignMessage = "Niedozwolony znak \"=\" !";
inline constexpr std::string_view kNoMeaningMessage = "Brak znaczenia!";
inline constexpr std::string_view kNoSentenceMeaningMessage =
    "Musisz wprowadzić znaczenie lub tłumaczenie zdania!";
// A unit without its foreign text would be kept in the table but never written.
inline constexpr std::string_view kNoForeignTextMessage = "Brak słówka, zdania lub pytania!";
inline constexpr std::string_view kTooManyGapsMessage =
    "Błąd! Zbyt dużo oznaczeń w zdaniu (maks. 3).";

// The messages of the gap markers of a sentence, in order; none when they are right.
std::vector<std::string> CheckGapMarkers(std::string_view sentence);

// Every message of the checks, in their order; none when the unit may be stored.
std::vector<std::string> CheckFields(const EditorFields& fields);

// ---- Groups -------------------------------------------------------------------------------------

inline constexpr std::int32_t kFirstLearnerGroup = 60;
inline constexpr std::int32_t kLastLearnerGroup = 98;
inline constexpr std::int32_t kDefaultGroupId = 99;
inline constexpr int kGroupNameLength = 30;
inline constexpr std::string_view kNewGroupPrompt = "Podaj nazwę nowej grupy tematycznej:";
inline constexpr std::string_view kGroupExistsMessage = "Grupa o takiej nazwie już istnieje!";
inline constexpr std::string_view kGroupsFullMessage =
    "Nie można dodać grupy: baza ma już 100 grup tematycznych.";
inline constexpr std::string_view kGroupIdsUsedMessage =
    "Nie można dodać grupy: wszystkie numery grup ucznia (60-98) są już zajęte.";
inline constexpr std::string_view kGroupNameEqualsMessage =
    "Nazwa grupy nie może zawierać znaku \"=\".";
// + the reason.
inline constexpr std::string_view kGroupsNotSavedMessage =
    "Nie udało się zapisać grup tematycznych, grupa nie została dodana: ";

// The id of a new group: one above the highest id between 60 and 98, 60 when there is none; 0
// when 98 is taken (99 is the default group's).
std::int32_t NewGroupId(const std::vector<Group>& groups);

struct AddGroupResult {
    bool added = false;
    std::int32_t groupId = 0;
    std::string message;  // when not added
};
// Adds a group named name (Windows-1250, trimmed) and writes the group file. Nothing changes
// when the name is empty, taken or holds "=", when the table is full, when no id is left, or
// when the file cannot be written.
AddGroupResult AddGroup(const AppPaths& paths, std::vector<Group>& groups, std::string_view name);

// ---- The editor ---------------------------------------------------------------------------------

inline constexpr std::string_view kSavedText = "Zapisano!";
inline constexpr std::string_view kUnsavedQuestion = "Nie zapisano zmian! Zapisać?";
inline constexpr std::string_view kNoIdsLeftMessage =
    "Brak wolnych kodów dla nowych jednostek w tej bazie. Jednostka nie została dodana.";
// + the reason of FormatLearnerUnitLine.
inline constexpr std::string_view kUnitNotWritableMessage =
    "Tej jednostki nie można zapisać w pliku jednostek ucznia: ";
inline constexpr int kMaxComposed = kMaxSetUnits;

// The recordings of a database: databaseDir + "wav/".
std::string RecordingFolder(const AppPaths& paths);

class UnitEditor {
  public:
    // composed: the list of the units added while the editor is open (emptied by Open).
    UnitEditor(const AppPaths& paths, CourseDatabase& db, const RepetitionStore& store,
               std::vector<int>& composed);

    // Opens the editor on unit number editedUnit, or for a new unit when it is 0 or below.
    void Open(int editedUnit);
    // After a new unit was stored: the next one, with the drop-downs as they are.
    void PrepareNew();

    bool editMode() const { return editedUnit_ > 0; }
    int editedUnit() const { return editedUnit_; }
    // The id the unit has or, for a new one, will receive.
    std::int32_t preparedId() const { return preparedId_; }
    // The fields to show after Open / PrepareNew.
    const EditorFields& fields() const { return fields_; }
    // databaseDir + "wav/" + the id + ".wav".
    std::string RecordingTarget() const;

    struct StoreResult {
        bool stored = false;
        std::vector<std::string> messages;  // in order; empty when stored
        int unitNumber = 0;
        bool composedGrew = false;  // the unit joined the composed list
    };
    // Checks the fields and stores them into the edited unit or a new one.
    StoreResult Store(const EditorFields& fields);

    const std::vector<int>& composed() const { return composed_; }

  private:
    const AppPaths& paths_;
    CourseDatabase& db_;
    const RepetitionStore& store_;
    std::vector<int>& composed_;
    int editedUnit_ = 0;
    std::int32_t preparedId_ = 0;
    EditorFields fields_;
};

// ---- Recordings ---------------------------------------------------------------------------------

inline constexpr std::string_view kReplaceFileQuestion =
    "Istnieje już plik o podanej nazwie. Zastąpić?";
inline constexpr std::string_view kRecordingCopiedMessage =
    "Plik z nagraniem został poprawnie skopiowany!";
inline constexpr std::string_view kCannotCreateDirectory = "Cannot create directory";
inline constexpr std::string_view kUnreadableSoundMessage =
    "Tego pliku nie można odtworzyć jako nagrania (to nie jest poprawny plik WAV).";
// + the reason.
inline constexpr std::string_view kCopyFailedMessage =
    "Nie udało się skopiować nagrania, jednostka zostaje bez nagrania: ";
inline constexpr std::string_view kNoRecordingMessage =
    "Nie udało się zapisać nagrania, jednostka zostaje bez nagrania.";
inline constexpr std::uint64_t kMinFreeBytes = 1000000;
// "Za mało wolnego miejsca na dysku twardym (" + the first three characters of programDir + ")."
std::string LowSpaceMessage(std::string_view programDir);

enum class AttachStatus { Attached, Refused, Declined, Failed };
struct AttachResult {
    AttachStatus status = AttachStatus::Refused;
    std::string name;     // the attached file's name
    std::string message;  // to show (UTF-8): the copy's success or why nothing was attached
};

struct AttachHooks {
    // Free bytes on the drive of a folder; nothing when unknown.
    std::function<std::optional<std::uint64_t>(const std::string& folder)> freeBytes;
    // Whether the file can be played as a recording.
    std::function<bool(const std::string& path)> playable;
    // Asked when the target exists: replace it?
    std::function<bool()> confirmReplace;
};

// Copies a chosen WAV file into the database's recording folder under its own name.
AttachResult AttachRecordingFile(const AppPaths& paths, const std::string& source,
                                 const AttachHooks& hooks);

// Free bytes of the file system of a folder.
std::optional<std::uint64_t> FreeBytesOf(const std::string& folder);

// What to tell the learner after the learner-units file was written (UTF-8): why it was not,
// or which units it could not hold; empty when all is well.
std::string LearnerUnitsSaveProblem(const SaveLearnerUnitsResult& result);

// ---- Saving the added units as a set ----------------------------------------------------------

inline constexpr std::string_view kSetExistsQuestion =
    "Ćwiczenie o takiej nazwie już istnieje. Wykasować?";
inline constexpr std::string_view kSetNotSavedMessage = "Ćwiczenie nie zostało zapisane!";
// "Ćwiczenie "name" zapisano." (name in Windows-1250, the text UTF-8).
std::string SetSavedText(std::string_view name);
// "2" + the group zero-padded to two digits + "-" + the level.
std::string SaveAsKey(std::int32_t groupId, int level);
// The set of the composed unit numbers: their count, numbers and ids.
CurrentSet SetOfUnits(const UnitTable& units, const std::vector<int>& unitNumbers);

struct SaveComposedResult {
    bool saved = false;
    std::string message;  // to show (UTF-8): the saved text, or why nothing was saved
};
// Saves the units as a new set of the user set file under name (Windows-1250, trimmed), with the
// key of group and level; a name that exists is overwritten only when confirmOverwrite says so.
// Then the catalogue takes the user sets again (SyncUserSets). The current set is not touched.
SaveComposedResult SaveComposedAsSet(const AppPaths& paths, int language, const UnitTable& units,
                                     const std::vector<int>& composed, std::string_view name,
                                     std::int32_t groupId, int level,
                                     const std::function<bool()>& confirmOverwrite,
                                     ExerciseHistory& history, double now);

}  // namespace dyd
