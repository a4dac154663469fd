#pragma once

// The interludes between exercise steps: a quotation with its translation and recording, a short
// fact, and a picture over the whole screen. Each window plays the database's cue sound b2.wav
// when it shows. InterludeWindows shows them for the runner's interlude scheduler.

#include <QDialog>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <functional>
#include <string>

#include "core/interlude_packs.h"
#include "runner/interludes.h"

class QAbstractButton;
class QLabel;

namespace dyd::ui {

struct AppContext;

// Called with the full name of each sound file a window starts (only files that exist).
using PlayedHook = std::function<void(const std::string& fileName)>;

// What the quotation and the fact window share: 540 x 200, black, borderless, centred; L_Ang the
// text, L_Opis the description, L_Pol the translation (hidden until asked for), K_Tlum shows it,
// K_Graj plays the recording, B_zamknij closes. Escape and Enter close.
class InterludeTextWindow : public QDialog {
    Q_OBJECT
  public:
    void SetPlayedHook(PlayedHook hook) { played_ = std::move(hook); }
    // The recording of the text shown; empty when there is none or it does not exist.
    const std::string& recordingFile() const { return recording_; }
    // Shows the translation and hides its button.
    void ShowTranslation();
    void PlayRecording();

  protected:
    InterludeTextWindow(AppContext& context, const QString& name, const QString& title,
                        QWidget* parent);

    // Fills the controls: the recording is a full file name (empty for none).
    void SetContent(const QString& text, const QString& description, const QString& translation,
                    const std::string& recording);
    void Play(const std::string& fileName);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

    AppContext& context_;

  private:
    QString title_;
    QLabel* text_;
    QLabel* description_;
    QLabel* translation_;
    QAbstractButton* translate_;
    QAbstractButton* play_;
    QAbstractButton* close_;
    std::string recording_;
    PlayedHook played_;
};

// TForm18 ("Sentencje"): a quotation of a pack; a click on the text plays it again, Space shows
// the translation while its button shows.
class QuotationWindow final : public InterludeTextWindow {
    Q_OBJECT
  public:
    explicit QuotationWindow(AppContext& context, QWidget* parent = nullptr);

    // The database folder's bssent/d_roz.cdr/ + the recording name, letter case aside.
    void SetQuotation(const Quotation& quotation);
};

// TForm38 ("Czy wiesz"): a fact; no translation and no recording.
class FactWindow final : public InterludeTextWindow {
    Q_OBJECT
  public:
    explicit FactWindow(AppContext& context, QWidget* parent = nullptr);

    void SetFact(const std::string& fact);
};

// TForm16: a picture item over the whole black screen with its description below; a click, Escape
// or Enter closes it. A missing picture leaves the description alone.
class PictureWindow final : public QDialog {
    Q_OBJECT
  public:
    explicit PictureWindow(AppContext& context, QWidget* parent = nullptr);

    void SetPlayedHook(PlayedHook hook) { played_ = std::move(hook); }
    void SetPicture(const PictureItem& item);
    // The picture file shown; empty when it is missing.
    const std::string& pictureFile() const { return pictureFile_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void Arrange();

    AppContext& context_;
    QLabel* background_;
    QLabel* picture_;
    QLabel* description_;
    QPixmap pixmap_;
    std::string pictureFile_;
    PlayedHook played_;
};

// The windows behind the interlude scheduler. Each show is modal; an item number outside
// 1..itemCount shows item 1, a pack that is not of the window's kind or has no items shows
// nothing.
class InterludeWindows final : public InterludeShows {
  public:
    InterludeWindows(AppContext& context, QWidget* parent);
    ~InterludeWindows() override;
    InterludeWindows(const InterludeWindows&) = delete;
    InterludeWindows& operator=(const InterludeWindows&) = delete;

    void ShowQuotation(int pack, int item) override;
    void ShowFact(int pack, int item) override;
    void ShowPicture(int pack, int item) override;
    // The matching exercise through the offer set by SetMatchingOffer; false without one.
    bool OfferMatching() override;

    void SetMatchingOffer(std::function<bool()> offer) { matching_ = std::move(offer); }
    // Passed to the three windows.
    void SetPlayedHook(const PlayedHook& hook);

    QuotationWindow& quotationWindow() { return *quotation_; }
    FactWindow& factWindow() { return *fact_; }
    PictureWindow& pictureWindow() { return *picture_; }

  private:
    const InterludePack* Pack(int pack, int kind1, int kind2) const;

    AppContext& context_;
    QPointer<QuotationWindow> quotation_;
    QPointer<FactWindow> fact_;
    QPointer<PictureWindow> picture_;
    std::function<bool()> matching_;
};

}  // namespace dyd::ui
