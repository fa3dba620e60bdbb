#include "HostXTgProgressBar.h"

#include <algorithm>

namespace orvex {

namespace {

constexpr int16_t kFull = 100;

}  // namespace

HostXTgProgressBar::HostXTgProgressBar(QWidget* parent) : QProgressBar(parent) {
    setRange(0, kFull);
    setValue(0);
    setTextVisible(false);
    setVisible(false);
}

void HostXTgProgressBar::SetValue(int16_t percent) { setValue(std::clamp<int16_t>(percent, 0, kFull)); }

}  // namespace orvex
