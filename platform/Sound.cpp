#include "Sound.h"

#include <canberra.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <unordered_set>

namespace pinleaf {

namespace {

// Plays which a caller is waiting for, and those of them that have ended. libcanberra reports
// the end from a thread of its own, possibly after the caller has stopped waiting: only the
// ids still awaited are recorded, so nothing is left behind.
struct Waits {
    std::mutex mutex;
    std::condition_variable ended;
    std::unordered_set<uint32_t> awaited;
    std::unordered_set<uint32_t> done;
};

Waits& waits() {
    static Waits w;
    return w;
}

void finished(ca_context*, uint32_t id, int, void*) {
    Waits& w = waits();
    std::lock_guard lock(w.mutex);
    if (w.awaited.count(id)) {
        w.done.insert(id);
        w.ended.notify_all();
    }
}

class CanberraPlayer : public SoundPlayer {
public:
    void playEvent(const QString& eventId) override {
        if (ca_context* c = context()) {
            ca_context_play(c, 0, CA_PROP_EVENT_ID, eventId.toUtf8().constData(), nullptr);
        }
    }

    void playEventAndWait(const QString& eventId, std::chrono::milliseconds limit) override {
        ca_context* c = context();
        if (!c) {
            return;
        }
        static std::atomic<uint32_t> lastId{0};
        const uint32_t id = ++lastId;
        Waits& w = waits();
        {
            std::lock_guard lock(w.mutex);
            w.awaited.insert(id);
        }
        ca_proplist* props = nullptr;
        int result = ca_proplist_create(&props);
        if (result == CA_SUCCESS) {
            ca_proplist_sets(props, CA_PROP_EVENT_ID, eventId.toUtf8().constData());
            result = ca_context_play_full(c, id, props, finished, nullptr);
            ca_proplist_destroy(props);
        }
        std::unique_lock lock(w.mutex);
        if (result == CA_SUCCESS) {
            w.ended.wait_for(lock, limit, [&] { return w.done.count(id) > 0; });
        }
        w.awaited.erase(id);
        w.done.erase(id);
    }

private:
    ca_context* context() {
        if (!tried_) {
            tried_ = true;
            if (ca_context_create(&context_) == CA_SUCCESS) {
                ca_context_change_props(context_, CA_PROP_APPLICATION_NAME, "Pinleaf",
                                        CA_PROP_APPLICATION_ID, "pinleaf", nullptr);
            } else {
                context_ = nullptr;
            }
        }
        return context_;
    }

    // Lives for the whole run: a sound may still be playing at exit.
    ca_context* context_ = nullptr;
    bool tried_ = false;
};

SoundPlayer* g_testPlayer = nullptr;

}  // namespace

SoundPlayer& Sound() {
    static CanberraPlayer real;
    return g_testPlayer ? *g_testPlayer : real;
}

void setSoundForTesting(SoundPlayer* player) { g_testPlayer = player; }

}  // namespace pinleaf
