#include "rules/splash_close.h"

int SplashClosingRule::onCommand(int id) const {
    int load = load_.load(std::memory_order_acquire);
    if (id == 3) return load != 0 ? 3 : 0;
    // Escape and Cancel follow the same rule as OK: the result is never 2.
    if (id == 1 || id == 2) return load == 1 && minTimeDone_ ? 1 : 0;
    return 0;
}
