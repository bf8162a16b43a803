#include "wingui/timer.h"

#include "wingui/form.h"

namespace ixo {

TTimer::TTimer(TForm& owner, UINT interval)
    : owner_(owner), id_(owner.NextTimerId()), interval_(interval) {
  owner_.AddTimer(this);
}

TTimer::~TTimer() {
  if (running_ && owner_.Handle()) KillTimer(owner_.Handle(), id_);
  owner_.RemoveTimer(this);
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Update();
}

void TTimer::SetInterval(UINT interval) {
  if (interval == interval_) return;
  interval_ = interval;
  Update();
}

void TTimer::Tick() {
  if (running_ && OnTimer) OnTimer();
}

void TTimer::Update() {
  HWND window = owner_.Handle();
  if (running_ && window) KillTimer(window, id_);
  running_ = false;
  if (enabled_ && interval_ != 0 && window)
    running_ = SetTimer(window, id_, interval_, nullptr) != 0;
}

}  // namespace ixo
