// A window timer of a form. It ticks only while it is enabled and its
// interval is not 0. Setting the enabled state or the interval to the value it
// already has changes nothing; any real change starts a fresh interval, so
// the first tick comes one whole interval after the change. An idle program
// therefore runs no timer at all.
#pragma once

#include <windows.h>

#include <functional>

namespace ixo {

class TForm;

class TTimer {
 public:
  // Disabled, with the given interval in milliseconds.
  explicit TTimer(TForm& owner, UINT interval = 1000);
  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;
  ~TTimer();

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  UINT Interval() const { return interval_; }
  void SetInterval(UINT interval);
  // True while a system timer is set for it.
  bool Running() const { return running_; }
  // The WM_TIMER identifier on the owner form's window.
  UINT_PTR Id() const { return id_; }

  std::function<void()> OnTimer;
  // A tick from the owner form; ignored while the timer is not running.
  void Tick();

 private:
  void Update();

  TForm& owner_;
  UINT_PTR id_;
  UINT interval_;
  bool enabled_ = false;
  bool running_ = false;
};

}  // namespace ixo
