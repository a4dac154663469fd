#pragma once

// A later start of the program asks the running copy, through the socket of its single-instance
// name, to bring itself to the front. The copy shows its minimised windows again, raises its
// windows in the order the learner last used them (the black backdrop lowest) and activates
// the one on top: the modal window that is open, else the window used last (the login, the
// main menu, the exercise-set chooser), and answers with that window's objectName.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>


namespace dyd::ui {

class RaiseRequests final : public QObject {
    Q_OBJECT
  public:
    // Serves the requests arriving on a listening socket, which it owns from now on (-1: none
    // arrive, the windows' order is still followed).
    explicit RaiseRequests(int listeningSocket, QObject* parent = nullptr);
    ~RaiseRequests() override;

    bool listening() const;
    // The window that stays behind every other; may be set after the requests are served.
    void SetBackdrop(QWidget* backdrop) { backdrop_ = backdrop; }

    // Brings the program to the front as a request does; returns the activated window (null
    // when no window of the program shows).
    QWidget* BringToFront();

  signals:
    // After each request of another start: the window brought forward (null: none showed).
    void raised(QWidget* window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Connection;
    void Accept();
    void Serve(Connection* connection);
    void Drop(Connection* connection);
    QList<QWidget*> ShownWindows() const;

    int listening_ = -1;
    std::vector<std::unique_ptr<Connection>> connections_;
    QPointer<QWidget> backdrop_;
    // Windows as they were last activated, the latest at the end.
    QList<QPointer<QWidget>> activated_;
};

}  // namespace dyd::ui
