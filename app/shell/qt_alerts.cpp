#include "app/shell/qt_alerts.hpp"

#include <QMessageBox>
#include <memory>

#include "app/shell/status_mark.hpp"

namespace corvane {

namespace {

QMessageBox* showBox(QMessageBox::Icon icon, const std::string& message, const std::string& informative) {
    auto box = std::make_unique<QMessageBox>(icon, QStringLiteral("Corvane"), QString::fromStdString(message),
                                             QMessageBox::Ok);
    box->setInformativeText(QString::fromStdString(informative));
    box->setWindowIcon(statusMarkIcon());
    box->setModal(false);
    // From here on Qt owns the box: it is deleted when it closes.
    box->setAttribute(Qt::WA_DeleteOnClose);
    QMessageBox* shown = box.release();
    shown->show();
    shown->raise();
    shown->activateWindow();
    return shown;
}

}  // namespace

void QtAlerts::showWarning(const std::string& message, const std::string& informative,
                           std::function<void()> closed) {
    QMessageBox* box = showBox(QMessageBox::Warning, message, informative);
    QObject::connect(box, &QDialog::finished, box, [closed = std::move(closed)] {
        if (closed) closed();
    });
}

}  // namespace corvane
