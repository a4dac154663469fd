#include "ui/shell/raise_requests.h"

#include <QApplication>
#include <QEvent>
#include <QLocalServer>
#include <QLocalSocket>
#include <algorithm>
#include <string_view>

#include "core/single_instance.h"
#include "ui/widgets/focus_return.h"

namespace dyd::ui {
namespace {

// A request is one short line; anything longer is no request of ours.
constexpr qsizetype kLongestRequest = 64;

bool IsProgramWindow(const QWidget* widget) {
    const Qt::WindowType type = widget->windowType();
    return widget->isWindow() && (type == Qt::Window || type == Qt::Dialog);
}

}  // namespace

RaiseRequests::RaiseRequests(int listeningSocket, QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
    if (listeningSocket < 0) {
        return;
    }
    server_ = new QLocalServer(this);
    if (!server_->listen(static_cast<qintptr>(listeningSocket))) {
        delete server_;
        server_ = nullptr;
        return;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* connection = server_->nextPendingConnection()) {
            connect(connection, &QLocalSocket::disconnected, connection, &QObject::deleteLater);
            if (!SingleInstance::PeerIsThisUser(static_cast<int>(connection->socketDescriptor()))) {
                connection->abort();
                connection->deleteLater();
                continue;
            }
            connect(connection, &QLocalSocket::readyRead, this,
                    [this, connection] { Serve(connection); });
            if (connection->bytesAvailable() > 0) {
                Serve(connection);
            }
        }
    });
}

RaiseRequests::~RaiseRequests() {
    if (qApp != nullptr) {
        qApp->removeEventFilter(this);
    }
}

bool RaiseRequests::listening() const {
    return server_ != nullptr && server_->isListening();
}

void RaiseRequests::Serve(QLocalSocket* connection) {
    if (!connection->canReadLine()) {
        if (connection->bytesAvailable() > kLongestRequest) {
            connection->abort();
        }
        return;
    }
    const QByteArray line = connection->readLine(kLongestRequest);
    const std::string_view request(line.constData(), static_cast<std::size_t>(line.size()));
    if (request != kRaiseRequest) {
        connection->abort();
        return;
    }
    QWidget* window = BringToFront();
    const QByteArray answer =
        (window != nullptr && !window->objectName().isEmpty() ? window->objectName().toUtf8()
                                                              : QByteArrayLiteral("-")) +
        '\n';
    connection->write(answer);
    connection->disconnectFromServer();
    emit raised(window);
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
