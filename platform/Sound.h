#pragma once
// Desktop sounds: the freedesktop sound events of the user's sound theme ("dialog-warning"),
// played through libcanberra.
//
// Playing never fails towards the caller: with no sound device, no sound server or an
// unknown event the call returns at once and nothing is heard.

#include <QString>

#include <chrono>

namespace pinleaf {

// The warning sound of the questions and error messages.
inline const QString kWarningSound = QStringLiteral("dialog-warning");

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts the sound event `eventId` and returns at once.
    virtual void playEvent(const QString& eventId) = 0;
    // Plays the sound event `eventId` and returns when it has ended, or after `limit` at the
    // latest (the sound then plays on by itself).
    virtual void playEventAndWait(const QString& eventId, std::chrono::milliseconds limit) = 0;
};

// The player in force: libcanberra, or the one set for testing.
SoundPlayer& Sound();
// Puts `player` in force (it stays owned by the caller); nullptr gives the real one back.
void setSoundForTesting(SoundPlayer* player);

}  // namespace pinleaf
