#pragma once

// TForm2, the browser of the course database: the units in a grid (one or two columns by the
// course language) listed whole, by the six filter boxes or by a search; the description of the
// chosen unit with its recording; the list of units composed into an exercise, which is saved,
// loaded, learnt or copied to the clipboard; the learner's comment, editing and deleting his own
// units, resetting repetitions and taking a unit out of the trash; the import of QA files, and the
// exchange with other trainers: the composed list exported as KVTML, TSV or CSV, such files
// imported as the learner's own units.
// Closing it writes what changed. The grid is a view over the unit table: a model that reads the
// table, rows of one height, icons drawn by a delegate. The rules live in content/browser.h.

#include <QAbstractTableModel>
#include <QPixmap>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "content/browser.h"
#include "content/browser_search.h"
#include "ui/widgets/keyed_dialog.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class QTableView;

namespace dyd {
enum class ExchangeFormat;
}

namespace dyd::ui {

struct AppContext;
class CommentDialog;
class ConfirmationDialog;
class ImageButton;
class MessageBox;
class ProgressWindow;
struct SetParameters;

// The rows of the grid: one per listed unit (one empty row when none is listed); the first
// column ten spaces and the foreign text, the second the Polish text.
class BrowserGridModel final : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit BrowserGridModel(const AppContext& context, QObject* parent = nullptr);

    // Lists these unit numbers; a list equal to the shown one changes nothing.
    void SetUnits(std::vector<int> units);
    void SetColumns(int columns);
    // The texts of the listed units changed (an edit, a deletion).
    void TextsChanged();
    const std::vector<int>& units() const { return units_; }
    // The unit of a row; 0 for the empty row.
    int UnitAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    const AppContext& context_;
    std::vector<int> units_;
    int columns_ = 2;
};

// What the learner asked to look for: the text as shown in the count line (UTF-8), the text in
// the code page of the foreign and of the Polish texts, and the options.
struct BrowserQuery {
    std::string shown;
    std::string foreign;
    std::string polish;
    SearchFlags flags;
};

// The windows the browser opens; each runs modally and returns.
struct BrowserDialogs {
    MessageBox* messages = nullptr;
    ConfirmationDialog* confirmation = nullptr;
    CommentDialog* comment = nullptr;
    ProgressWindow* progress = nullptr;
    // The unit editor on a unit; it empties and refills the composed list. True when a unit was
    // stored.
    std::function<bool(int unit, std::vector<int>& composed)> editUnit;
    // The set-parameters dialog.
    std::function<std::optional<SetParameters>()> askSetParameters;
    // The exercise-set chooser for a set to load: the prepared set's unit numbers.
    std::function<std::optional<std::vector<std::int32_t>>()> chooseSet;
    // The plan window over the plan just built (its information text).
    std::function<void(const std::string& info)> openPlan;
    // The file chooser in any-file mode.
    std::function<std::optional<std::string>()> chooseFile;
    // The file chooser in folder mode: where an exported list goes.
    std::function<std::optional<std::string>()> chooseFolder;
    // Whether a prepared set gains its example sentences.
    std::function<bool()> exampleSentences;
    // The catalogue of sets changed: the main menu's exercise-set button follows.
    std::function<void()> setsChanged;
    // The search options window: what to look for, or nothing when the learner gave up.
    std::function<std::optional<BrowserQuery>()> askSearch;
};

class BrowserWindow final : public KeyedDialog {
    Q_OBJECT

  public:
    enum class Mode { All, Filter, Search };

    explicit BrowserWindow(AppContext& context, QWidget* parent = nullptr);
    ~BrowserWindow() override;

    void SetDialogs(BrowserDialogs dialogs) { dialogs_ = std::move(dialogs); }

    // Opens the browser modally on the open database; returns when it closed and saved.
    void Browse();
    // What Browse does before the window runs.
    void Prepare();

    Mode mode() const { return mode_; }
    const std::vector<int>& composed() const { return composed_; }
    const std::vector<int>& listed() const { return model_->units(); }
    const BrowserChanges& changes() const { return changes_; }
    // How many times the grid's rows were rebuilt (a list equal to the shown one is not).
    int gridResets() const { return gridResets_; }
    // The recordings played for descriptions, in order (full paths).
    const std::vector<std::string>& played() const { return played_; }

  public slots:
    void done(int result) override;

  protected:
    bool HandleKey(int key) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void Build();
    void BuildFilterBoxes();
    QPushButton* AddButton(const char* name, const QString& text, const QRect& area);
    void FillGroups();

    void ListAll();
    void ShowFilter();
    void ApplyFilter();
    void Search();
    void SetMode(Mode mode);
    void ShowFilterBoxes(bool shown);
    void RefreshGrid();
    void ShowList(std::vector<int> units);

    std::vector<int> SelectedUnits() const;
    int TopSelectedUnit() const;
    void SelectionChanged();
    void ShowDescription();
    void PlayRecordings(const Unit& unit);

    void Compose();
    void ListItemClicked();
    void RemoveListItem(bool ask);
    void RemoveAll();
    void RefreshListSide();

    void SaveAs();
    void SaveAgain();
    void AfterSave(const std::string& message, bool saved);
    void LoadSet();
    void Learn();
    void CopyToClipboard();
    void ImportQa();
    void ExportComposed(ExchangeFormat format);
    void ImportExchangeFile();
    void AfterImport();

    void Comment();
    void EditUnit();
    void DeleteUnit();
    void ResetUnit();
    void RestoreUnit();

    void ShowMessage(const QString& text);
    bool Ask(const QString& question);
    int language() const;

    AppContext& context_;
    BrowserDialogs dialogs_;
    Mode mode_ = Mode::All;
    Qt::KeyboardModifiers modifiers_;  // of the key being handled
    std::string query_;                // UTF-8, empty unless searching
    bool searched_ = false;
    std::vector<int> composed_;
    BrowserChanges changes_;
    int gridResets_ = 0;
    std::vector<std::string> played_;
    bool soundErrorShown_ = false;  // a playing error was said since the window opened
    QPixmap background_;
    bool backgroundLoaded_ = false;

    BrowserGridModel* model_;
    QTableView* grid_;
    QListWidget* list_;
    QLabel* countLine_;
    QLabel* listHeading_;
    QLabel* listCount_;
    QLabel* description_;
    QLabel* example_;
    QLabel* filterHeadings_;
    QFrame* modeFrame_;
    QComboBox* groupBox_;
    QComboBox* levelBox_;
    QComboBox* partBox_;
    QComboBox* kindBox_;
    QComboBox* learntBox_;
    QComboBox* otherBox_;
    std::vector<std::int32_t> groupIds_;
    QPushButton* allButton_;
    QPushButton* filterButton_;
    QPushButton* searchButton_;
    QPushButton* applyButton_;
    QPushButton* composeButton_;
    QPushButton* removeButton_;
    QPushButton* removeAllButton_;
    QPushButton* saveButton_;
    QPushButton* saveAsButton_;
    QPushButton* loadButton_;
    QPushButton* learnButton_;
    QPushButton* clipboardButton_;
    QPushButton* importButton_;
    QPushButton* exportButton_;
    QPushButton* importFileButton_;
    QPushButton* commentButton_;
    QPushButton* editButton_;
    QPushButton* deleteButton_;
    QPushButton* resetButton_;
    QPushButton* restoreButton_;
    QCheckBox* noAutoPlay_;
    ImageButton* closeButton_;
};

}  // namespace dyd::ui
