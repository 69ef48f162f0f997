#include "ports/compositor/compositor_service.hpp"

#include "ports/compositor/compositor_port.hpp"

namespace corvane::compositor {

CompositorService::CompositorService(CompositorPort& port) : port_(port) {}

QString CompositorService::Attach(const QString& plugin) {
    return QString::fromStdString(port_.attach(plugin.toStdString()));
}

void CompositorService::Report(const QString& report) {
    port_.report(report.toStdString());
}

QString CompositorService::Press(const QString& name, const QString& snapshot) {
    return QString::fromStdString(port_.press(name.toStdString(), snapshot.toStdString()));
}

QString CompositorService::Fetch(const QString& snapshot) {
    return QString::fromStdString(port_.fetch(snapshot.toStdString()));
}

void CompositorService::Applied(const QString& snapshot) {
    port_.applied(snapshot.toStdString());
}

}  // namespace corvane::compositor
