#pragma once

#include <QObject>
#include <QString>
#include <functional>

namespace corvane::compositor {

class CompositorPort;

// Corvane's object on the session bus, which the compositor plugins call
// (protocol.md): Qt's event loop delivers the calls on the main thread.
class CompositorService final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.corvane.Compositor1")

public:
    static constexpr const char* serviceName = "io.github.corvane.Corvane";
    static constexpr const char* objectPath = "/io/github/corvane/Compositor";

    explicit CompositorService(CompositorPort& port);

public Q_SLOTS:
    QString Attach(const QString& plugin);
    void Report(const QString& report);
    QString Press(const QString& name, const QString& snapshot);
    QString Fetch(const QString& snapshot);
    void Applied(const QString& snapshot);

private:
    CompositorPort& port_;
};

}  // namespace corvane::compositor
