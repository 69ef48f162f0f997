#include "app/tour/tour_lifecycle.hpp"

namespace corvane {

bool TourLifecycle::firstRunOpensTour(ConfigStore& store) {
    store.setTourActive(true);
    store.applyHotKeys();
    if (defaults_.boolValue(completedKey).value_or(false)) {
        store.setTourActive(false);
        store.applyHotKeys();
        return false;
    }
    return true;
}

void TourLifecycle::began(const std::shared_ptr<ConfigStore>& store) {
    store_ = store;
    active_ = true;
    store->setTourActive(true);
    store->applyHotKeys();
}

void TourLifecycle::finished() {
    defaults_.setBool(completedKey, true);
}

void TourLifecycle::ended() {
    if (!active_) return;
    active_ = false;
    if (const auto store = store_.lock()) {
        store->setTourActive(false);
        store->applyHotKeys();
    }
}

void TourLifecycle::requestAccessIfMissing() {
    if (!accessibility_.isProcessTrusted()) accessibility_.requestTrust();
}

}  // namespace corvane
