#pragma once
// The rules of editing messages in the main window, free of any window: which numbers new
// messages get, the time stamp they carry, when the view shows no message, the questions the
// delete command asks and which menu entries a blank view leaves enabled.

#include <QDate>
#include <QString>
#include <QTime>

#include <bitset>

class QKeyEvent;

namespace pinleaf {

class TClientDataSet;

// The numbers 0 to 255 of the messages shown in note windows. Numbers outside 0..255 are
// never held: adding one does nothing, and asking for one answers false.
class UndockedNumberSet {
  public:
    static constexpr int kLimit = 256;

    void insert(int number) {
        if (inRange(number)) {
            bits_.set(static_cast<std::size_t>(number));
        }
    }
    void erase(int number) {
        if (inRange(number)) {
            bits_.reset(static_cast<std::size_t>(number));
        }
    }
    bool contains(int number) const {
        return inRange(number) && bits_.test(static_cast<std::size_t>(number));
    }
    bool empty() const { return bits_.none(); }
    int size() const { return static_cast<int>(bits_.count()); }
    void clear() { bits_.reset(); }

  private:
    static bool inRange(int number) { return number >= 0 && number < kLimit; }
    std::bitset<kLimit> bits_;
};

// The highest number a message can have (NUMBER is a signed 16-bit field).
inline constexpr int kHighestMessageNumber = 32767;

// The first number from `start` upwards that `undocked` does not hold. Numbers above 255 are
// returned as they are, as no note can hold them.
int FirstFreeNumber(int start, const UndockedNumberSet& undocked);

// The time stamp of a new message: the time of day `now` less 1.15e-5 of a day (0.9936 s), as
// "hh:mm:ss" with the milliseconds dropped. Within the first 0.9936 s after midnight the
// stamp is 00:00:00; it never falls back to the day before.
QString TimeStamp(const QTime& now);
// The time stamp of the program's clock (Clock.h).
QString TimeStamp();

// Whether the current record of `table` shows no message: its TITLE, NUMBER, DATE, TIME and
// URL all read as empty text (MESSAGE, LOCKED and FINISHED are not looked at). True when the
// table shows no record or is closed.
bool MessageIsBlank(TClientDataSet& table);

// The question before a message is deleted; the date in the locale's short form.
QString DeleteQuestion(int number, const QDate& date, const QString& time);
// The question when a locked message is to be deleted (two lines, joined by a carriage return).
QString UnlockQuestion(int number);
// The error when insert finds no number left above the highest one in the view.
QString NoFreeNumberText();

// Whether a key press typed into a message field changes, or may change, its text: printable
// characters, Return, Backspace and Delete, and the standard paste, cut, undo and redo keys.
// Moving, selecting, copying and the window's own shortcuts do not.
bool KeyTypesIntoField(const QKeyEvent& event);

}  // namespace pinleaf
