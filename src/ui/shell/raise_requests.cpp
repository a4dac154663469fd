#include "ui/shell/raise_requests.h"

#include <QApplication>
#include <QEvent>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include "core/single_instance.h"
#include "ui/widgets/focus_return.h"

namespace dyd::ui {
namespace {

// A request is one short line; anything longer is no request of ours.
constexpr std::size_t kLongestRequest = 64;

bool IsProgramWindow(const QWidget* widget) {
    const Qt::WindowType type = widget->windowType();
    return widget->isWindow() && (type == Qt::Window || type == Qt::Dialog);
}

}  // namespace

// One connection of another start: what it sent so far, read as it arrives.
struct RaiseRequests::Connection {
    int socket = -1;
    std::string received;
    QSocketNotifier* readable = nullptr;
};

RaiseRequests::RaiseRequests(int listeningSocket, QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
    if (listeningSocket < 0) {
        return;
    }
    // The socket is served from the event loop through a notifier: plain system calls, so that
    // the program needs no network library for a word with its own later starts.
    listening_ = listeningSocket;
    ::fcntl(listening_, F_SETFL, ::fcntl(listening_, F_GETFL) | O_NONBLOCK);
    auto* incoming = new QSocketNotifier(listening_, QSocketNotifier::Read, this);
    connect(incoming, &QSocketNotifier::activated, this, [this] { Accept(); });
}

RaiseRequests::~RaiseRequests() {
    if (qApp != nullptr) {
        qApp->removeEventFilter(this);
    }
    for (auto& connection : connections_) {
        ::close(connection->socket);
    }
    if (listening_ >= 0) {
        ::close(listening_);
    }
}

bool RaiseRequests::listening() const { return listening_ >= 0; }

void RaiseRequests::Accept() {
    for (;;) {
        const int socket = ::accept4(listening_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (socket < 0) {
            return;  // nothing more waits (or the connection went away before it was taken)
        }
        if (!SingleInstance::PeerIsThisUser(socket)) {
            ::close(socket);
            continue;
        }
        auto connection = std::make_unique<Connection>();
        connection->socket = socket;
        connection->readable = new QSocketNotifier(socket, QSocketNotifier::Read, this);
        Connection* raw = connection.get();
        connect(connection->readable, &QSocketNotifier::activated, this,
                [this, raw] { Serve(raw); });
        connections_.push_back(std::move(connection));
        Serve(raw);
    }
}

void RaiseRequests::Drop(Connection* connection) {
    connection->readable->setEnabled(false);
    connection->readable->deleteLater();
    ::close(connection->socket);
    std::erase_if(connections_, [connection](const std::unique_ptr<Connection>& c) {
        return c.get() == connection;
    });
}

void RaiseRequests::Serve(Connection* connection) {
    char bytes[kLongestRequest + 1];
    for (;;) {
        const ssize_t got = ::recv(connection->socket, bytes, sizeof(bytes), 0);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
            Drop(connection);  // the other start gave up
            return;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        connection->received.append(bytes, static_cast<std::size_t>(got));
        if (connection->received.size() > kLongestRequest) {
            break;
        }
    }
    const std::size_t end = connection->received.find('\n');
    if (end == std::string::npos) {
        if (connection->received.size() > kLongestRequest) {
            Drop(connection);
        }
        return;
    }
    if (std::string_view(connection->received).substr(0, end + 1) != kRaiseRequest) {
        Drop(connection);
        return;
    }
    QWidget* window = BringToFront();
    // Told before the answer goes: whoever waits for the answer finds the request served.
    emit raised(window);
    const QByteArray answer =
        (window != nullptr && !window->objectName().isEmpty() ? window->objectName().toUtf8()
                                                              : QByteArrayLiteral("-")) +
        '\n';
    // A few bytes into an empty socket buffer: the answer goes whole or the other start is gone.
    [[maybe_unused]] const ssize_t sent =
        ::send(connection->socket, answer.constData(), static_cast<std::size_t>(answer.size()),
               MSG_NOSIGNAL);
    Drop(connection);
}

QList<QWidget*> RaiseRequests::ShownWindows() const {
    QList<QWidget*> shown;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && IsProgramWindow(widget) && widget != backdrop_) {
            shown.append(widget);
        }
    }
    // Never used first, then as they were last activated.
    const auto rank = [this](QWidget* widget) {
        for (qsizetype i = activated_.size() - 1; i >= 0; --i) {
            if (activated_[i] == widget) {
                return i;
            }
        }
        return qsizetype{-1};
    };
    std::stable_sort(shown.begin(), shown.end(),
                     [&rank](QWidget* a, QWidget* b) { return rank(a) < rank(b); });
    return shown;
}

QWidget* RaiseRequests::BringToFront() {
    const QList<QWidget*> shown = ShownWindows();
    QWidget* top = QApplication::activeModalWidget();
    if (top == nullptr || !top->isVisible()) {
        top = shown.isEmpty() ? nullptr : shown.back();
    }
    if (top == nullptr) {
        return nullptr;
    }
    // Windows minimised with the program come back where they were.
    const auto restore = [](QWidget* window) {
        if (window->isMinimized()) {
            window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
            window->show();
        }
    };
    if (backdrop_ != nullptr && backdrop_->isVisible()) {
        restore(backdrop_);
        backdrop_->raise();
    }
    for (QWidget* window : shown) {
        if (window != top) {
            restore(window);
            window->raise();
        }
    }
    restore(top);
    top->raise();
    TakeFocusBack(top);
    return top;
}

bool RaiseRequests::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowActivate && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (IsProgramWindow(widget)) {
            activated_.removeIf(
                [widget](const QPointer<QWidget>& w) { return w.isNull() || w == widget; });
            activated_.append(widget);
        }
    }
    return false;
}

}  // namespace dyd::ui
