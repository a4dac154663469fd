#pragma once

// TForm34, the file chooser the editor and the browser open: a list of places (the home folder,
// the mounted volumes, the installation folder), a folder list and a file list, all on Qt's
// file-system model. Recording mode lists WAV files and plays the one clicked; any-file mode
// lists every file; folder mode chooses the folder itself. It opens in the folder chosen last
// (at first the installation folder).

#include <QDialog>
#include <QPixmap>
#include <QString>
#include <optional>
#include <string>

class QFileSystemModel;
class QLabel;
class QListView;
class QListWidget;
class QModelIndex;
class QTreeView;

namespace dyd::ui {

struct AppContext;
class ImageButton;
class FolderEntries;

enum class FileChooserMode { Recording, AnyFile, Folder };

class FileChooserWindow final : public QDialog {
    Q_OBJECT
  public:
    explicit FileChooserWindow(AppContext& context, QWidget* parent = nullptr);

    // Shows the chooser modally. The full path (UTF-8) of the chosen file, or of the chosen
    // folder in folder mode; nothing when the learner closed the chooser.
    std::optional<std::string> Choose(FileChooserMode mode, const QString& title = {});

    // What Choose does before the chooser runs.
    void Prepare(FileChooserMode mode, const QString& title = {});

    // The folder shown now (absolute).
    QString currentFolder() const;
    // Shows a folder in the folder and file lists.
    void OpenFolder(const QString& folder);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void FillPlaces();
    void PlaceChosen();
    void FolderActivated(const QModelIndex& index);
    void FileClicked(const QModelIndex& index);
    void FileActivated(const QModelIndex& index);
    void Play();
    void Confirm();

    AppContext& context_;
    QPixmap background_;
    FileChooserMode mode_ = FileChooserMode::Recording;
    QString lastFolder_;  // of the last chosen file or folder; empty until one was chosen
    QFileSystemModel* folderModel_;
    QFileSystemModel* fileModel_;
    FolderEntries* folderEntries_;
    FolderEntries* fileEntries_;
    QListWidget* places_;
    QListView* folders_;
    QListView* files_;
    QLabel* title_;
    QLabel* pathLabel_;
    ImageButton* playButton_;
    ImageButton* okButton_;
    ImageButton* closeButton_;
    std::optional<std::string> result_;
};

}  // namespace dyd::ui
