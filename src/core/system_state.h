#pragma once
// What the system statements and functions keep between calls: the file
// search, the printer's text channel, the screen cursor and its table, the
// application's title, and event dispatch's state (events/event_state.h).
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "events/event_state.h"
#include "platform/file_search.h"

namespace kestrel {

class Machine;
class TextPrintJob;

struct SystemState {
  SystemState();
  ~SystemState();  // a print job still open is ended (shutdown closes the channel)

  platform::FileSearch search;
  std::unique_ptr<TextPrintJob> printJob;
  int16_t screenCursor = 0;
  std::map<int32_t, int64_t> cursorHandles;  // loaded cursors by number
  // The title the program gave its application (captions of message boxes,
  // print jobs); none: the program's file name.
  std::optional<std::string> applicationTitle;
  events::EventState events;
};

// The handle of a cursor number: one loaded under that number, else the
// run-time's own handle of a standard shape (numbers -22 to 0), else 0.
int64_t cursorHandle(const SystemState& state, int32_t number);
// The shape the toolkit shows for a cursor number (a loaded cursor that is
// not one of the standard shapes shows as the arrow).
int cursorShapeFor(const SystemState& state, int32_t number);

// The folder of the program's own file ("" when it has none): programs
// started by name are looked for there first.
std::string programFolder(const Machine& m);

// Sleeps `milliseconds` (nothing for 0 or less).
void sleepMilliseconds(int64_t milliseconds);

// Plays WAV data with the Windows sound flags (1 asynchronous, 8 loop,
// 16 do not interrupt a sound that plays). Data that is not WAV plays
// nothing.
void playWav(const std::vector<uint8_t>& data, int flags);

}  // namespace kestrel
