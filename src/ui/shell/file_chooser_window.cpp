#include "ui/shell/file_chooser_window.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QSortFilterProxyModel>
#include <QStorageInfo>

#include "sound/sound_player.h"
#include "ui/app_context.h"
#include "ui/shell/dialogs.h"
#include "ui/widgets/focus_return.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ui_text.h"
#include "ui/widgets/window_paint.h"
#include "ui/widgets/window_parts.h"

namespace dyd::ui {
namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 400;
constexpr int kImageSmallSpeaker = 12;
constexpr int kListTop = 122;
constexpr int kListHeight = 214;

// The folder of the last chosen file or folder, for the whole program run: every chooser opens
// where the learner was last.
QString& LastChosenFolder() {
    static QString folder;
    return folder;
}

QString DefaultTitle(FileChooserMode mode) {
    switch (mode) {
        case FileChooserMode::Recording:
            return QStringLiteral("Wybierz plik z nagraniem (*.wav)");
        case FileChooserMode::AnyFile:
            return QStringLiteral("Wybierz plik");
        case FileChooserMode::Folder:
            return QStringLiteral("Wybierz katalog");
    }
    return {};
}

// Volumes worth offering: mounted, readable, not the system's own pseudo file systems.
bool IsUserVolume(const QStorageInfo& volume) {
    if (!volume.isValid() || !volume.isReady()) {
        return false;
    }
    const QByteArray type = volume.fileSystemType();
    static const char* const kHidden[] = {"tmpfs", "devtmpfs", "proc", "sysfs", "cgroup",
                                          "cgroup2", "overlay", "squashfs", "devpts", "mqueue",
                                          "debugfs", "tracefs", "securityfs", "pstore",
                                          "bpf", "autofs", "fusectl", "configfs", "hugetlbfs",
                                          "binfmt_misc", "nsfs", "ramfs", "efivarfs"};
    for (const char* hidden : kHidden) {
        if (type == hidden) {
            return volume.rootPath() == QStringLiteral("/");
        }
    }
    return true;
}

QListView* MakeList(QWidget* parent, const QString& name, const QRect& area) {
    auto* list = new QListView(parent);
    list->setObjectName(name);
    list->setGeometry(area);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setUniformItemSizes(true);
    return list;
}

}  // namespace

// The entries of the folder shown, in name order, letter case aside (".." first); for the file
// list without the subfolders: the file-system model keeps listing a folder that once was a root
// (it lies on a path the model has walked), whatever its filter says.
class FolderEntries final : public QSortFilterProxyModel {
  public:
    FolderEntries(QFileSystemModel* source, bool filesOnly, QObject* parent)
        : QSortFilterProxyModel(parent), source_(source), filesOnly_(filesOnly) {
        setSourceModel(source);
        setSortCaseSensitivity(Qt::CaseInsensitive);
        sort(0);
    }

    // Shows the folder (a source index) and gives its index in this model.
    QModelIndex SetRoot(const QModelIndex& sourceRoot) {
        root_ = sourceRoot;
        invalidateFilter();
        return mapFromSource(sourceRoot);
    }
    QString FilePath(const QModelIndex& index) const {
        return source_->filePath(mapToSource(index));
    }

  protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        if (!filesOnly_ || parent != root_) {
            return true;  // the folders above the one shown
        }
        return !source_->isDir(source_->index(row, 0, parent));
    }

  private:
    QFileSystemModel* source_;
    bool filesOnly_;
    QPersistentModelIndex root_;
};

FileChooserWindow::FileChooserWindow(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm34"));
    ReturnFocusOnClose(this);
    setModal(true);
    MakeBorderlessCentred(this, kWidth, kHeight);
    background_ = InterfacePicture(context.programPaths, "wybor_pliku.bmp");

    title_ = MakeLabel(this, QStringLiteral("L_Tytul"), QString(), QRect(20, 74, 560, 22), 11);
    title_->setTextFormat(Qt::PlainText);
    pathLabel_ = MakeLabel(this, QStringLiteral("L_Katalog"), QString(), QRect(20, 98, 560, 20), 9);
    pathLabel_->setTextFormat(Qt::PlainText);

    places_ = new QListWidget(this);
    places_->setObjectName(QStringLiteral("LB_Miejsca"));
    places_->setAccessibleName(QStringLiteral("Miejsca"));
    places_->setGeometry(20, kListTop, 150, kListHeight);

    folderModel_ = new QFileSystemModel(this);
    folderModel_->setFilter(QDir::AllDirs | QDir::NoDot);
    folderModel_->setReadOnly(true);
    folders_ = MakeList(this, QStringLiteral("LB_Katalogi"), QRect(180, kListTop, 190, kListHeight));
    folders_->setAccessibleName(QStringLiteral("Katalogi"));
    folderEntries_ = new FolderEntries(folderModel_, false, this);
    folders_->setModel(folderEntries_);

    fileModel_ = new QFileSystemModel(this);
    fileModel_->setReadOnly(true);
    fileModel_->setNameFilterDisables(false);
    fileEntries_ = new FolderEntries(fileModel_, true, this);
    files_ = MakeList(this, QStringLiteral("LB_Pliki"), QRect(380, kListTop, 200, kListHeight));
    files_->setAccessibleName(QStringLiteral("Pliki"));
    files_->setModel(fileEntries_);

    playButton_ = MakeImageButton(context, kImageSmallSpeaker, QStringLiteral("k_graj"),
                                  QStringLiteral("♪"), this, QPoint(kWidth - 130, kHeight - 50),
                                  QSize(32, 32));
    playButton_->setToolTip(QStringLiteral("Odtwórz nagranie"));
    playButton_->hide();
    okButton_ = MakeImageButton(context, kImageOk, QStringLiteral("K_OK"), QStringLiteral("OK"),
                                this, QPoint(kWidth - 20, kHeight - 50), QSize(90, 32));
    closeButton_ = MakeImageButton(context, kImageClose, QStringLiteral("B_Zamknij"),
                                   QStringLiteral("X"), this, QPoint(kWidth, 0), QSize(24, 24));

    connect(places_, &QListWidget::itemClicked, this, [this] { PlaceChosen(); });
    connect(places_, &QListWidget::itemActivated, this, [this] { PlaceChosen(); });
    connect(folders_, &QListView::activated, this, &FileChooserWindow::FolderActivated);
    connect(files_, &QListView::clicked, this, &FileChooserWindow::FileClicked);
    connect(files_, &QListView::activated, this, &FileChooserWindow::FileActivated);
    connect(playButton_, &QAbstractButton::clicked, this, &FileChooserWindow::Play);
    connect(okButton_, &QAbstractButton::clicked, this, &FileChooserWindow::Confirm);
    connect(closeButton_, &QAbstractButton::clicked, this, &QDialog::reject);
}

void FileChooserWindow::FillPlaces() {
    places_->clear();
    const auto add = [this](const QString& text, const QString& path) {
        if (path.isEmpty() || !QFileInfo(path).isDir()) {
            return;
        }
        const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
        for (int row = 0; row < places_->count(); ++row) {
            if (places_->item(row)->data(Qt::UserRole).toString() == clean) {
                return;
            }
        }
        auto* item = new QListWidgetItem(text, places_);
        item->setData(Qt::UserRole, clean);
        item->setToolTip(clean);
    };
    add(QStringLiteral("Katalog domowy"), QDir::homePath());
    add(QStringLiteral("Katalog programu"), Utf8(context_.programPaths.programDir));
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!IsUserVolume(volume)) {
            continue;
        }
        const QString root = volume.rootPath();
        QString name = volume.displayName();
        if (name.isEmpty() || name == root) {
            name = root == QStringLiteral("/") ? QStringLiteral("System plików (/)") : root;
        } else {
            name = QStringLiteral("%1 (%2)").arg(name, root);
        }
        add(name, root);
    }
}

void FileChooserWindow::Prepare(FileChooserMode mode, const QString& title) {
    mode_ = mode;
    result_.reset();
    const QString shown = title.isEmpty() ? DefaultTitle(mode) : title;
    setWindowTitle(shown);
    title_->setText(shown);
    switch (mode) {
        case FileChooserMode::Recording:
            fileModel_->setFilter(QDir::Files);
            fileModel_->setNameFilters({QStringLiteral("*.[wW][aA][vV]")});
            break;
        case FileChooserMode::AnyFile:
            fileModel_->setFilter(QDir::Files);
            fileModel_->setNameFilters({});
            break;
        case FileChooserMode::Folder:
            // The files are shown so that the learner sees what the folder holds; they are not
            // chosen.
            fileModel_->setFilter(QDir::Files);
            fileModel_->setNameFilters({});
            break;
    }
    files_->setSelectionMode(mode == FileChooserMode::Folder ? QAbstractItemView::NoSelection
                                                             : QAbstractItemView::SingleSelection);
    FillPlaces();
    QString start = LastChosenFolder();
    if (start.isEmpty() || !QFileInfo(start).isDir()) {
        start = Utf8(context_.programPaths.programDir);
    }
    if (start.isEmpty() || !QFileInfo(start).isDir()) {
        start = QDir::homePath();
    }
    OpenFolder(start);
}

std::optional<std::string> FileChooserWindow::Choose(FileChooserMode mode, const QString& title) {
    Prepare(mode, title);
    exec();
    if (context_.sound != nullptr) {
        context_.sound->CloseMediaPlayer();
    }
    return result_;
}

QString FileChooserWindow::currentFolder() const {
    return folderModel_->rootPath();
}

void FileChooserWindow::OpenFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!QFileInfo(clean).isDir()) {
        return;
    }
    playButton_->hide();
    folders_->setRootIndex(folderEntries_->SetRoot(folderModel_->setRootPath(clean)));
    files_->setRootIndex(fileEntries_->SetRoot(fileModel_->setRootPath(clean)));
    files_->clearSelection();
    files_->setCurrentIndex(QModelIndex());
    // A long path keeps its beginning and its end.
    const QString shownPath = QDir::toNativeSeparators(clean);
    pathLabel_->setText(
        pathLabel_->fontMetrics().elidedText(shownPath, Qt::ElideMiddle, pathLabel_->width()));
    pathLabel_->setToolTip(shownPath);
    // The place that holds the folder is marked, the deepest one when places nest.
    int best = -1;
    qsizetype bestLength = -1;
    for (int row = 0; row < places_->count(); ++row) {
        const QString place = places_->item(row)->data(Qt::UserRole).toString();
        const bool holds = clean == place ||
                           clean.startsWith(place.endsWith(QLatin1Char('/'))
                                                ? place
                                                : place + QLatin1Char('/'));
        if (holds && place.size() > bestLength) {
            best = row;
            bestLength = place.size();
        }
    }
    const QSignalBlocker quiet(places_);
    places_->setCurrentRow(best);
}

void FileChooserWindow::PlaceChosen() {
    const QListWidgetItem* item = places_->currentItem();
    if (item == nullptr) {
        return;
    }
    const QString place = item->data(Qt::UserRole).toString();
    if (!QFileInfo(place).isDir()) {
        // A volume taken out since the list was made.
        MessageBox::Show(context_,
                         QStringLiteral("Katalog „%1” jest niedostępny.")
                             .arg(QDir::toNativeSeparators(place)),
                         this);
        FillPlaces();
        OpenFolder(currentFolder());
        return;
    }
    OpenFolder(place);
}

void FileChooserWindow::FolderActivated(const QModelIndex& index) {
    if (!index.isValid()) {
        return;
    }
    if (index.data().toString() == QStringLiteral("..")) {
        QDir up(currentFolder());
        if (up.cdUp()) {
            OpenFolder(up.absolutePath());
        }
        return;
    }
    OpenFolder(folderEntries_->FilePath(index));
}

void FileChooserWindow::FileClicked(const QModelIndex& index) {
    playButton_->setVisible(mode_ == FileChooserMode::Recording && index.isValid());
}

void FileChooserWindow::FileActivated(const QModelIndex& index) {
    if (index.isValid() && mode_ != FileChooserMode::Folder) {
        files_->setCurrentIndex(index);
        Confirm();
    }
}

void FileChooserWindow::Play() {
    const QModelIndex index = files_->currentIndex();
    if (!index.isValid() || context_.sound == nullptr) {
        return;
    }
    const QByteArray path = fileEntries_->FilePath(index).toUtf8();
    const std::string message = context_.sound->PlaySound(path.toStdString(), false);
    if (!message.empty()) {
        MessageBox::Show(context_, Utf8(message), this);
    }
}

void FileChooserWindow::Confirm() {
    QString chosen;
    if (mode_ == FileChooserMode::Folder) {
        chosen = currentFolder();
    } else {
        const QModelIndex index = files_->currentIndex();
        if (!index.isValid() || !files_->selectionModel()->isSelected(index)) {
            MessageBox::Show(context_, QStringLiteral("Nie wybrano pliku."), this);
            return;
        }
        chosen = fileEntries_->FilePath(index);
        if (!QFileInfo(chosen).isFile()) {
            MessageBox::Show(context_,
                             QStringLiteral("Plik „%1” nie istnieje.").arg(QFileInfo(chosen).fileName()),
                             this);
            return;
        }
    }
    LastChosenFolder() =
        mode_ == FileChooserMode::Folder ? chosen : QFileInfo(chosen).absolutePath();
    result_ = chosen.toUtf8().toStdString();
    accept();
}

void FileChooserWindow::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        reject();
    } else if (key == Qt::Key_Backspace) {
        QDir up(currentFolder());
        if (up.cdUp()) {
            OpenFolder(up.absolutePath());
        }
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // The lists act on Enter themselves: the place list opens the place, the folder list the
        // folder, the file list chooses its current file. Enter elsewhere confirms.
        const QWidget* focus = focusWidget();
        if (focus == places_ || focus == folders_) {
            return;
        }
        if (focus == files_ && mode_ != FileChooserMode::Folder && files_->currentIndex().isValid()) {
            return;
        }
        Confirm();
    } else {
        QDialog::keyPressEvent(event);
    }
}

void FileChooserWindow::paintEvent(QPaintEvent*) {
    PaintWindowBackground(this, background_, windowTitle());
}

void FileChooserWindow::showEvent(QShowEvent* event) {
    MakeBorderlessCentred(this, width(), height());
    QDialog::showEvent(event);
    files_->setFocus();
}

}  // namespace dyd::ui
