#pragma once
// Installs a hook through its Set… function for one scope and puts the previous one back:
// every seam of the program answers the hook it replaces, so one guard serves them all.
#include <utility>

template <typename Hook> class ScopedHook {
  public:
    using Setter = Hook (*)(Hook);
    ScopedHook(Setter set, Hook hook) : set(set), previous(set(std::move(hook))) {}
    ~ScopedHook() { set(std::move(previous)); }
    ScopedHook(const ScopedHook&) = delete;
    ScopedHook& operator=(const ScopedHook&) = delete;

  private:
    Setter set;
    Hook previous;
};
