// The live instances of an engine DLL.  Every exported call finds its instance
// here first, so a null, stale or foreign pointer does nothing; the real
// engine and the recording engine share it.  An instance counts the calls in
// progress with enter() and leave(), and is freed only once none is left.
#pragma once

#include "engine_api.h"
#include "win_sync.h"

#include <algorithm>
#include <new>
#include <vector>

namespace engine {

template <class Instance> class LiveInstances {
  public:
    // One list per kind of instance, for the life of the process.
    static LiveInstances &all() {
        static LiveInstances live;
        return live;
    }

    // False when there is no memory for it.
    bool add(Instance *instance) {
        ExclusiveLock l(lock_);
        if (!list_)
            list_ = new (std::nothrow) std::vector<Instance *>();
        if (!list_)
            return false;
        list_->push_back(instance);
        return true;
    }

    // The instance, no longer to be found, or nullptr when it is not live.
    Instance *remove(EngineInstance *handle) {
        ExclusiveLock l(lock_);
        Instance *instance = find(handle);
        if (instance)
            list_->erase(std::find(list_->begin(), list_->end(), instance));
        return instance;
    }

    // The live instance, entered, or nullptr.
    Instance *enter(EngineInstance *handle) {
        ExclusiveLock l(lock_);
        Instance *instance = find(handle);
        if (instance)
            instance->enter();
        return instance;
    }

  private:
    constexpr LiveInstances() = default;

    // Under the lock.
    Instance *find(EngineInstance *handle) const {
        auto *wanted = reinterpret_cast<Instance *>(handle);
        return wanted && list_ && std::find(list_->begin(), list_->end(), wanted) != list_->end()
                   ? wanted
                   : nullptr;
    }

    SRWLOCK lock_ = SRWLOCK_INIT;
    std::vector<Instance *> *list_ = nullptr; // made on first start-up, never freed
};

// Holds an instance for the length of one call.
template <class Instance> class Use {
  public:
    explicit Use(EngineInstance *handle)
        : instance_(LiveInstances<Instance>::all().enter(handle)) {}
    ~Use() {
        if (instance_)
            instance_->leave();
    }
    Use(const Use &) = delete;
    Use &operator=(const Use &) = delete;
    explicit operator bool() const { return instance_ != nullptr; }
    Instance *operator->() const { return instance_; }
    Instance *get() const { return instance_; }

  private:
    Instance *instance_ = nullptr;
};

} // namespace engine
