#pragma once
// A sound player for tests: records what was played, plays nothing, never waits.

#include "Sound.h"

#include <QStringList>

#include <functional>

namespace pinleaf {

class RecordingSound : public SoundPlayer {
public:
    RecordingSound() { setSoundForTesting(this); }
    ~RecordingSound() override { setSoundForTesting(nullptr); }

    // "play EVENT" for a play without waiting, "wait EVENT LIMIT" for a play that waits.
    QStringList played;
    // Runs at every play, while the caller waits for it.
    std::function<void()> onPlay;

    void playEvent(const QString& eventId) override {
        played << QStringLiteral("play ") + eventId;
        if (onPlay) {
            onPlay();
        }
    }
    void playEventAndWait(const QString& eventId, std::chrono::milliseconds limit) override {
        played << QStringLiteral("wait %1 %2").arg(eventId).arg(limit.count());
        if (onPlay) {
            onPlay();
        }
    }
};

}  // namespace pinleaf
