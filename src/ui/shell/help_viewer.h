#pragma once

// The help viewer: the HTML pages of the installation's help folder (htm_s, found letter case
// aside), opened on a page a window names or on the start page index.html. Links between the
// pages are followed inside the viewer; web and mail links go to the system's browser or mail
// program. The back button returns to the page before; the print button prints the page shown
// on the default printer. Esc closes the viewer.

#include <QDialog>
#include <QString>
#include <QTextBrowser>
#include <QUrl>
#include <functional>
#include <string>

class QPrinter;

namespace dyd::ui {

struct AppContext;
class ImageButton;

inline constexpr const char* kHelpStartPage = "index.html";

// The page view: resources (pages, style sheets, pictures) are read from the help folder without
// regard to the letter case of their names.
class HelpPageBrowser final : public QTextBrowser {
    Q_OBJECT
  public:
    explicit HelpPageBrowser(QWidget* parent = nullptr);
    QVariant loadResource(int type, const QUrl& name) override;
};

// TForm28.
class HelpViewer final : public QDialog {
    Q_OBJECT
  public:
    explicit HelpViewer(AppContext& context, QWidget* parent = nullptr);

    // Shows the page (a file name of the help folder, optionally with "#anchor"); a page that
    // does not exist opens the start page. Returns the page opened.
    QString Open(const QString& page);
    // Opens the page and shows the viewer modally (over the window that asked for help).
    void ShowPage(const QString& page);

    // The file name of the page shown ("index.html").
    QString currentPage() const;
    void Back();
    // Prints the page shown on the default printer; a message tells when there is none.
    void Print();
    // Prints the page shown on the given printer; false when nothing could be printed.
    bool PrintTo(QPrinter& printer) const;

    // Where web and mail links go (the system's browser by default; tests look at them).
    void SetExternalOpener(std::function<bool(const QUrl&)> opener);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void FollowLink(const QUrl& link);
    QString HelpFolder() const;
    // The local file of a page of the help folder, letter case aside; empty when missing.
    QString PageFile(const QString& page) const;

    AppContext& context_;
    HelpPageBrowser* browser_;
    ImageButton* backButton_;
    ImageButton* printButton_;
    ImageButton* contentsButton_;
    ImageButton* closeButton_;
    std::function<bool(const QUrl&)> openExternal_;
};

}  // namespace dyd::ui
