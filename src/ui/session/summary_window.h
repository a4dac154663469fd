#pragma once

// TForm31, the summary at the end of a session: the units the learner answered, each with its
// new repetition number and interval, moving a unit to the trash or back, and (for English and
// German databases) the list to the clipboard or the printer.

#include <QPixmap>
#include <QString>
#include <vector>

#include "session/summary.h"
#include "ui/widgets/keyed_dialog.h"

class QLabel;
class QListWidget;

namespace dyd::ui {

struct AppContext;
class ImageButton;
class MessageBox;

inline constexpr const char* kNoPrinterText =
    "Nie znaleziono drukarki. Lista słówek nie została wydrukowana.";
inline constexpr const char* kPrintFailedText =
    "Nie udało się wydrukować listy słówek (błąd drukarki).";

class SummaryWindow final : public KeyedDialog {
    Q_OBJECT
  public:
    explicit SummaryWindow(AppContext& context, QWidget* parent = nullptr);

    // The message box for "Skopiowano do schowka." and the printer's messages; without one a
    // passing box is shown.
    void SetMessageBox(MessageBox* messages) { messages_ = messages; }
    // Prints into this PDF file instead of the default printer (empty: the default printer).
    void SetPrintToFile(const QString& pdfPath) { printFile_ = pdfPath; }

    // At the end of a session, after the scheduling update and before the records are saved:
    // when showSummary is on and the plan holds an answer, lists the answered units and shows
    // the window modally. Returns whether it was shown.
    bool ShowSummary();

    // The unit numbers of the list, in its order.
    std::vector<int> listedUnits() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    // Returns false when no unit was answered.
    bool Fill();
    void Selected(int row);
    void MoveToTrash(bool toTrash);
    void CopyToClipboard();
    void Print();
    void Message(const QString& text);

    AppContext& context_;
    MessageBox* messages_ = nullptr;
    QString printFile_;
    QPixmap background_;
    std::vector<SummaryItem> items_;

    QListWidget* list_;
    QLabel* detail_;
    ImageButton* trashButton_;
    ImageButton* restoreButton_;
    ImageButton* clipboardButton_;
    ImageButton* printButton_;
    ImageButton* closeButton_;
};

}  // namespace dyd::ui
