#pragma once

// The search options window of the browser: the text to look for and how to look for it (whole
// text only, letter case, among the foreign and/or the Polish texts). The four options are kept
// in the learner's settings when the learner confirms. In courses of languages above 2 a box
// chooses whether the text is taken in the course's own character set (ticked) or in the
// Central European one, for looking among the Polish texts. Ctrl + a letter types the national
// characters of the course language.

#include <QPixmap>
#include <QString>
#include <array>
#include <optional>
#include <string>

#include "content/browser_search.h"
#include "core/codepage.h"
#include "ui/widgets/keyed_dialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace dyd::ui {

struct AppContext;
class ImageButton;

// The texts of Label3 (which foreign texts) and Label5 (the course's character set) for a
// course language; "&" marks the accelerator letter. Label5 keeps its own text for languages
// the table does not name.
QString ForeignTextsLabel(int language);
QString CourseFontLabel(int language);

class SearchOptionsWindow final : public KeyedDialog {
    Q_OBJECT
  public:
    static constexpr int kMaxQueryLength = 100;

    explicit SearchOptionsWindow(AppContext& context, QWidget* parent = nullptr);

    // Shows the window modally with an empty field. The typed text, trimmed, in the code page
    // of queryCodePage(), when the learner confirmed a text that is not empty (the four options
    // are then stored in the settings); nothing when the window was closed or the text is empty.
    std::optional<std::string> Ask();

    // What Ask does before the window runs: the field, the buttons and the boxes from the
    // settings and the course language.
    void Prepare();

    // After a confirmed Ask: the text as typed (trimmed, for showing it), the code page of
    // Ask's result (the course's, or Windows-1250 when the learner unticked CheckBox1), the
    // options as confirmed, and the text in each kind of text's own code page (empty when that
    // code page cannot hold it), for SearchUnits.
    const QString& queryText() const { return queryText_; }
    CodePage queryCodePage() const { return queryPage_; }
    SearchFlags flags() const { return flags_; }
    const std::string& foreignQuery() const { return foreignQuery_; }
    const std::string& polishQuery() const { return polishQuery_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void Confirm();
    bool TypeNationalKey(const QKeyEvent* event);
    CodePage SelectedCodePage() const;

    AppContext& context_;
    QPixmap background_;
    bool backgroundLoaded_ = false;
    QLineEdit* edit_;
    ImageButton* okButton_;
    ImageButton* closeButton_;
    QCheckBox* wholeText_;   // CH_Jak_cale
    QCheckBox* matchCase_;   // CH_Jak_duze: the opposite of ignoring case
    QCheckBox* foreign_;     // CH_Jak_ang
    QCheckBox* polish_;      // CH_Jak_pol
    QCheckBox* courseFont_;  // CheckBox1
    std::array<QLabel*, 5> labels_{};
    std::array<QCheckBox*, 5> labelBoxes_{};

    std::optional<std::string> result_;
    QString queryText_;
    CodePage queryPage_ = CodePage::Cp1250;
    SearchFlags flags_;
    std::string foreignQuery_;
    std::string polishQuery_;
};

}  // namespace dyd::ui
