#include "app/tour/tour_controller.hpp"

#include <QTimer>

#include "app/tour/tour_window.hpp"

namespace corvane {

TourController::TourController(Platform& platform, const KeyboardMap* keyboardMap)
    : platform_(platform), keyboardMap_(keyboardMap), lifecycle_(platform.defaults, platform.accessibility) {}

TourController::~TourController() = default;

bool TourController::openOnFirstRun(const std::shared_ptr<ConfigStore>& store) {
    if (!lifecycle_.firstRunOpensTour(*store)) return false;
    show(store);
    return true;
}

void TourController::show(const std::shared_ptr<ConfigStore>& store) {
    if (window_) {
        window_->bringForward();
        return;
    }
    lifecycle_.began(store);
    window_ = std::make_unique<TourWindow>(keyboardMap_,
                                           keyboardMap_ ? keyboardMap_->names() : KeyboardMap::Names{});
    window_->onFinish = [this] { finish(); };
    window_->onClosed = [this] { closed(); };
    window_->present();
}

void TourController::finish() {
    lifecycle_.finished();
    if (window_) window_->close();
    lifecycle_.requestAccessIfMissing();
}

void TourController::closed() {
    lifecycle_.ended();
    if (!window_) return;
    closing_.push_back(std::move(window_));
    QTimer::singleShot(0, &context_, [this] { closing_.clear(); });
}

}  // namespace corvane
